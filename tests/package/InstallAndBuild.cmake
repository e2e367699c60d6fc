# Script run by the package test (cmake -P).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix} --component Unspecified
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/consumer -B ${WORK_DIR}/consumer
  -DCMAKE_PREFIX_PATH=${prefix} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND ${WORK_DIR}/consumer/consumer ${WORK_DIR}/consumer.pdf RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the consumer failed")
endif()
execute_process(COMMAND qpdf --check ${WORK_DIR}/consumer.pdf RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "qpdf --check failed on the consumer's document")
endif()
execute_process(COMMAND sh -c "PKG_CONFIG_PATH=${prefix}/lib/pkgconfig pkg-config --cflags --libs vellix"
  OUTPUT_VARIABLE flags RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT flags MATCHES "-lvellix")
  message(FATAL_ERROR "pkg-config does not describe vellix: ${flags}")
endif()

# The pkg-config file locates the prefix from where it lies, whatever prefix
# the install was given.
execute_process(COMMAND sh -c "PKG_CONFIG_PATH=${prefix}/lib/pkgconfig pkg-config --cflags-only-I vellix"
  OUTPUT_VARIABLE includeFlags OUTPUT_STRIP_TRAILING_WHITESPACE)
# The first flag is ours; those of the libraries it needs for static linking follow.
string(REGEX REPLACE "^-I([^ ]*).*$" "\\1" includeDir "${includeFlags}")
file(REAL_PATH "${includeDir}" includeDir)
file(REAL_PATH "${prefix}/include" expectedInclude)
if(NOT includeDir STREQUAL expectedInclude)
  message(FATAL_ERROR "pkg-config points at ${includeFlags}, not at the install prefix ${prefix}")
endif()

# Only the public headers are installed, all below one prefix: <Vellix.h> and
# <vellix/...>; no folder of the sources lands on a user's include path.
file(GLOB installed RELATIVE ${prefix}/include ${prefix}/include/*)
list(SORT installed)
if(NOT installed STREQUAL "Vellix.h;vellix")
  message(FATAL_ERROR "the include folder holds ${installed}")
endif()
foreach(internal PdfWriter.h PdfNumber.h FontMetrics.h DocumentContext.h PdfFont.h PdfImage.h ZlibStream.h)
  file(GLOB_RECURSE found ${prefix}/include/*/${internal})
  if(found)
    message(FATAL_ERROR "an internal header is installed: ${found}")
  endif()
endforeach()

# The umbrella header stands on its own: it pulls in no header of the
# libraries the library is built on.
file(WRITE ${WORK_DIR}/umbrella.cpp "#include <Vellix.h>\n")
execute_process(COMMAND c++ -std=c++20 -E -H -I${prefix}/include ${WORK_DIR}/umbrella.cpp
  OUTPUT_QUIET ERROR_VARIABLE included RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the umbrella header does not preprocess: ${included}")
endif()
foreach(foreign zlib.h ft2build.h freetype fontconfig jpeglib.h png.h)
  if(included MATCHES "/${foreign}")
    message(FATAL_ERROR "<Vellix.h> includes ${foreign}")
  endif()
endforeach()
