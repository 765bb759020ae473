# compile_resources(OUTPUT <file.res> SCRIPT <file.rc> [DEPENDS <files>...])
#
# Compiles a resource script into a Win32 .res file at build time with GNU windres, the same
# compiler the Win32 build uses, preprocessed by the host's cpp so that no mingw-w64 gcc is needed.
# `#include <winresrc.h>` in a script finds the device's constants (platform/resources/rc).
# DEPENDS names the headers and the files the script names (icons, bitmaps): windres reports no
# dependencies of its own, and cpp's dependency file lists only headers.

include_guard(GLOBAL)

find_program(VELORIN_WINDRES NAMES x86_64-w64-mingw32-windres windres)
find_program(VELORIN_CPP NAMES cpp)
if(NOT VELORIN_WINDRES OR NOT VELORIN_CPP)
  message(FATAL_ERROR
    "The resource compiler is missing (windres from binutils-mingw-w64-x86-64, and cpp): run tools/setup.sh")
endif()

set(VELORIN_RC_SYSTEM_INCLUDE ${PROJECT_SOURCE_DIR}/platform/resources/rc CACHE INTERNAL "")

function(compile_resources)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;SCRIPT" "DEPENDS")
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_OUTPUT OR NOT arg_SCRIPT)
    message(FATAL_ERROR "compile_resources(OUTPUT <file.res> SCRIPT <file.rc> [DEPENDS <files>...]): got ${ARGV}")
  endif()
  get_filename_component(script "${arg_SCRIPT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(output "${arg_OUTPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  get_filename_component(script_dir "${script}" DIRECTORY)
  # Absolute paths throughout, so the depfile names what Ninja knows whatever the working folder.
  # RC_INVOKED as every resource compiler defines it; windres leaves that to its default
  # preprocessor. Files the script names are looked up from its own folder.
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${VELORIN_WINDRES}"
            "--preprocessor=${VELORIN_CPP}"
            --preprocessor-arg=-DRC_INVOKED
            --preprocessor-arg=-MD "--preprocessor-arg=-MF${output}.d" "--preprocessor-arg=-MT${output}"
            -I "${VELORIN_RC_SYSTEM_INCLUDE}"
            -J rc -O res -o "${output}" "${script}"
    DEPENDS "${script}" ${arg_DEPENDS}
    DEPFILE "${output}.d"
    WORKING_DIRECTORY "${script_dir}"
    COMMENT "Compiling resources ${arg_SCRIPT}"
    VERBATIM)
endfunction()
