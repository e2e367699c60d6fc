# Lays out the files of the library's installer in STAGE (run with cmake -P).
# Inputs: STAGE, SOURCE_DIR, SHARED_LIB, SHARED_SONAME, STATIC_LIB, STRIP, and
# the optional lists PROGRAMS and EXTRA_LIBS (file;soname pairs).
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/include/vellix" "${STAGE}/lib" "${STAGE}/bin" "${STAGE}/Doc"
     "${STAGE}/src")

file(COPY "${SOURCE_DIR}/pdf/" DESTINATION "${STAGE}/include/vellix" FILES_MATCHING PATTERN "*.h")

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
