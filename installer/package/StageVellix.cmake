# Lays out the files of the library's installer in STAGE (run with cmake -P).
# Inputs: STAGE, SOURCE_DIR, SHARED_LIB, SHARED_SONAME, STATIC_LIB, STRIP, and
# the optional lists PROGRAMS and EXTRA_LIBS (file;soname pairs).
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/include" "${STAGE}/lib" "${STAGE}/bin" "${STAGE}/Doc"
     "${STAGE}/src")

# The public headers only: <Vellix.h> and <vellix/...>.
file(COPY "${SOURCE_DIR}/pdf/include/" DESTINATION "${STAGE}/include" FILES_MATCHING PATTERN "*.h")

# The shared library under its soname, with a linker script as libvellix.so so
# that -lvellix finds it without a second copy (the archive stores no links).
function(stage_shared aFile aSoname)
  file(COPY_FILE "${aFile}" "${STAGE}/lib/${aSoname}")
  string(REGEX REPLACE "\\.so\\..*$" ".so" linkName "${aSoname}")
  file(WRITE "${STAGE}/lib/${linkName}" "INPUT(${aSoname})\n")
  unset(runpath)
  unset(rpath)
  file(READ_ELF "${STAGE}/lib/${aSoname}" RUNPATH runpath RPATH rpath)
  if(runpath OR rpath)
    file(RPATH_SET FILE "${STAGE}/lib/${aSoname}" NEW_RPATH "\$ORIGIN")
  endif()
  if(STRIP)
    execute_process(COMMAND "${STRIP}" --strip-debug "${STAGE}/lib/${aSoname}")
  endif()
endfunction()
stage_shared("${SHARED_LIB}" "${SHARED_SONAME}")
while(EXTRA_LIBS)
  list(POP_FRONT EXTRA_LIBS file soname)
  stage_shared("${file}" "${soname}")
endwhile()
file(COPY_FILE "${STATIC_LIB}" "${STAGE}/lib/libvellix.a")
if(STRIP)
  execute_process(COMMAND "${STRIP}" --strip-debug "${STAGE}/lib/libvellix.a")
endif()

foreach(program IN LISTS PROGRAMS)
  get_filename_component(name "${program}" NAME)
  file(COPY_FILE "${program}" "${STAGE}/bin/${name}")
  # A build-tree run path is replaced by the installation's own library folder.
  unset(runpath)
  unset(rpath)
  file(READ_ELF "${STAGE}/bin/${name}" RUNPATH runpath RPATH rpath)
  if(runpath OR rpath)
    file(RPATH_SET FILE "${STAGE}/bin/${name}" NEW_RPATH "\$ORIGIN/../lib")
  endif()
  if(STRIP)
    execute_process(COMMAND "${STRIP}" --strip-debug "${STAGE}/bin/${name}")
  endif()
endforeach()

foreach(part pdf design examples)
  if(EXISTS "${SOURCE_DIR}/${part}")
    file(COPY "${SOURCE_DIR}/${part}" DESTINATION "${STAGE}/src"
         FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp" PATTERN "*.in" PATTERN "CMakeLists.txt")
  endif()
endforeach()

file(COPY "${SOURCE_DIR}/installer/package/Read me.txt" DESTINATION "${STAGE}/Doc")
file(GLOB manuals "${SOURCE_DIR}/docs/*.md")
if(EXISTS "${SOURCE_DIR}/README.md")
  list(APPEND manuals "${SOURCE_DIR}/README.md")
endif()
if(manuals)
  file(COPY ${manuals} DESTINATION "${STAGE}/Doc")
endif()
file(GLOB samples "${SOURCE_DIR}/examples/sample/*.pdf")
if(samples)
  file(COPY ${samples} DESTINATION "${STAGE}/Example")
endif()

# The user guide next to the read-me.
file(COPY "${SOURCE_DIR}/installer/package/User guide.txt" DESTINATION "${STAGE}/Doc")

# pkg-config and CMake package files that locate the installation from their
# own place, wherever the archive was unpacked. The library folder is not one
# the loader searches, so the pkg-config flags carry it as a run path.
if(NOT VERSION)
  set(VERSION 0)
endif()
file(CONFIGURE OUTPUT "${STAGE}/lib/pkgconfig/vellix.pc" @ONLY CONTENT [=[
prefix=${pcfiledir}/../..
libdir=${prefix}/lib
includedir=${prefix}/include

Name: vellix
Description: PDF 1.3 writer with a printer-canvas API
Version: @VERSION@
Requires.private: zlib freetype2 fontconfig libjpeg libpng harfbuzz harfbuzz-subset icu-uc
Libs: -L${libdir} -Wl,-rpath,${libdir} -lvellix
Cflags: -I${includedir}
]=])
file(CONFIGURE OUTPUT "${STAGE}/lib/cmake/Vellix/VellixConfig.cmake" @ONLY CONTENT [=[
# Vellix::vellix (shared) and Vellix::vellix_static from this installation.
get_filename_component(_vellix_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
include(CMakeFindDependencyMacro)
find_dependency(ZLIB)
find_dependency(Freetype)
find_dependency(Fontconfig)
find_dependency(JPEG)
find_dependency(PNG)
find_dependency(PkgConfig)
pkg_check_modules(HarfBuzz REQUIRED IMPORTED_TARGET harfbuzz harfbuzz-subset)
find_dependency(ICU COMPONENTS uc)
if(NOT TARGET Vellix::vellix)
  set(_vellix_deps ZLIB::ZLIB Freetype::Freetype Fontconfig::Fontconfig JPEG::JPEG PNG::PNG PkgConfig::HarfBuzz ICU::uc)
  add_library(Vellix::vellix SHARED IMPORTED)
  set_target_properties(Vellix::vellix PROPERTIES
    IMPORTED_LOCATION "${_vellix_prefix}/lib/@SHARED_SONAME@"
    IMPORTED_SONAME "@SHARED_SONAME@"
    INTERFACE_INCLUDE_DIRECTORIES "${_vellix_prefix}/include"
    INTERFACE_COMPILE_FEATURES cxx_std_20
    INTERFACE_LINK_LIBRARIES "${_vellix_deps}")
  add_library(Vellix::vellix_static STATIC IMPORTED)
  set_target_properties(Vellix::vellix_static PROPERTIES
    IMPORTED_LOCATION "${_vellix_prefix}/lib/libvellix.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_vellix_prefix}/include"
    INTERFACE_COMPILE_FEATURES cxx_std_20
    INTERFACE_LINK_LIBRARIES "${_vellix_deps}")
  unset(_vellix_deps)
endif()
unset(_vellix_prefix)
]=])
include(CMakePackageConfigHelpers)
write_basic_package_version_file("${STAGE}/lib/cmake/Vellix/VellixConfigVersion.cmake"
  VERSION ${VERSION} COMPATIBILITY SameMajorVersion)

# The sample documents, written by the demonstration program that ships.
foreach(program IN LISTS PROGRAMS)
  get_filename_component(name "${program}" NAME)
  if(name STREQUAL "vellix-demo")
    file(MAKE_DIRECTORY "${STAGE}/Example")
    execute_process(COMMAND "${program}" "${STAGE}/Example/sample.pdf"
                    RESULT_VARIABLE demoResult OUTPUT_QUIET ERROR_VARIABLE demoError)
    if(NOT demoResult EQUAL 0)
      message(WARNING "vellix-demo wrote no sample documents: ${demoError}")
    endif()
  endif()
endforeach()
