# Lays out the library's installer archive in a folder whose name has a
# blank, as the default "Vellix Builder" has, and builds the first program of
# its read-me against it with pkg-config and with find_package, as the
# read-me says. Run with cmake -P by the examples' tests.
file(REMOVE_RECURSE "${WORK_DIR}")
set(dir "${WORK_DIR}/Vellix Builder")

function(run aWhat)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${aWhat} failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

run("staging" ${CMAKE_COMMAND} "-DSTAGE=${dir}" "-DSOURCE_DIR=${SOURCE_DIR}" "-DSHARED_LIB=${SHARED_LIB}"
    "-DSHARED_SONAME=${SHARED_SONAME}" "-DSTATIC_LIB=${STATIC_LIB}" "-DVERSION=${VERSION}" "-DPROGRAMS=${DEMO}"
    -P "${SOURCE_DIR}/installer/package/StageVellix.cmake")
foreach(file "Doc/Read me.txt" "Doc/User guide.txt" "Doc/examples.md" "Example/sample.pdf" "Example/sample-stream.pdf"
             "lib/pkgconfig/vellix.pc" "lib/cmake/Vellix/VellixConfig.cmake" "src/examples/hello.cpp")
  if(NOT EXISTS "${dir}/${file}")
    message(FATAL_ERROR "the archive lacks ${file}")
  endif()
endforeach()
run("qpdf on the sample" qpdf --check "${dir}/Example/sample.pdf")

# The read-me's program, indented by two blanks from "#include" to "}".
file(READ "${dir}/Doc/Read me.txt" readme)
string(FIND "${readme}" "  #include \"Vellix.h\"" first)
string(SUBSTRING "${readme}" ${first} -1 program)
string(FIND "${program}" "\n  }\n" last)
if(first LESS 0 OR last LESS 0)
  message(FATAL_ERROR "no program found in the read-me")
endif()
math(EXPR last "${last} + 5")
string(SUBSTRING "${program}" 0 ${last} program)
string(REPLACE "\n  " "\n" program "\n${program}")
string(REPLACE "/tmp/hello.pdf" "${WORK_DIR}/hello.pdf" program "${program}")
file(WRITE "${WORK_DIR}/hello.cpp" "${program}")

# pkg-config, word for word as the read-me has it.
run("building with pkg-config" ${CMAKE_COMMAND} -E env "PKG_CONFIG_PATH=${dir}/lib/pkgconfig"
    sh -c "cd '${WORK_DIR}' && eval ${CXX} -std=c++20 hello.cpp $(pkg-config --cflags --libs vellix) -o hello")
run("the pkg-config program" "${WORK_DIR}/hello")
run("qpdf on its document" qpdf --check "${WORK_DIR}/hello.pdf")
file(REMOVE "${WORK_DIR}/hello.pdf")

# find_package(Vellix), shared and static.
file(WRITE "${WORK_DIR}/consumer/CMakeLists.txt" "cmake_minimum_required(VERSION 3.20)
project(hello CXX)
find_package(Vellix 1.0 REQUIRED)
add_executable(hello ../hello.cpp)
target_link_libraries(hello PRIVATE Vellix::vellix)
add_executable(hello_static ../hello.cpp)
target_link_libraries(hello_static PRIVATE Vellix::vellix_static)
")
run("configuring with find_package" ${CMAKE_COMMAND} -S "${WORK_DIR}/consumer" -B "${WORK_DIR}/consumer/build"
    "-DCMAKE_PREFIX_PATH=${dir}" "-DCMAKE_CXX_COMPILER=${CXX}")
run("building with find_package" ${CMAKE_COMMAND} --build "${WORK_DIR}/consumer/build")
foreach(program hello hello_static)
  run("the find_package program ${program}" "${WORK_DIR}/consumer/build/${program}")
  run("qpdf on its document" qpdf --check "${WORK_DIR}/hello.pdf")
  file(REMOVE "${WORK_DIR}/hello.pdf")
endforeach()
