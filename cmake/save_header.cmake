# Runs the capability header tool and saves its standard output as HEADER, without a shell.
#   cmake "-DTOOL=<command and its arguments, as a list>" -DHEADER=<path> -P save_header.cmake
# The output goes to a temporary file that replaces HEADER only when the tool exited 0, wrote a
# complete header and the bytes differ from HEADER's, so that an unchanged header keeps its time
# stamp. On any failure neither file is left behind, so no stale or truncated header can look up
# to date, and the build stops with the tool's own message.
cmake_minimum_required(VERSION 3.16)
if(NOT TOOL OR NOT HEADER)
  message(FATAL_ERROR "usage: cmake -DTOOL=<command> -DHEADER=<path> -P save_header.cmake")
endif()

get_filename_component(directory "${HEADER}" DIRECTORY)
file(MAKE_DIRECTORY "${directory}")
set(partial "${HEADER}.tmp")
execute_process(COMMAND ${TOOL}
  OUTPUT_FILE "${partial}"
  ERROR_VARIABLE tool_message
  RESULT_VARIABLE status)

string(REPLACE ";" " " shown "${TOOL}")
set(failure "")
if(NOT status MATCHES "^[0-9]+$")
  set(failure "${shown} could not be started: ${status}")
elseif(NOT status STREQUAL "0")
  set(failure "${shown} exited with status ${status}")
else()
  # Exit status 0 with a partial header means the command is not the tool, or not working.
  file(READ "${partial}" text)
  if(NOT text MATCHES "\n/\\* END OF FILE \\*/\n$")
    set(failure "${shown} exited with status 0 but did not write a complete header")
  endif()
endif()

if(failure)
  file(REMOVE "${partial}" "${HEADER}")
  get_filename_component(name "${HEADER}" NAME)
  message(FATAL_ERROR "${name} was not generated: ${failure}.\n${tool_message}")
endif()
if(tool_message)
  message("${tool_message}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${partial}" "${HEADER}"
  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
if(differs)
  file(RENAME "${partial}" "${HEADER}")
else()
  file(REMOVE "${partial}")
endif()
