# Runs the capability header tool and saves its standard output as HEADER, without a shell.
#   cmake "-DTOOL=<command and its arguments, as a list>" -DHEADER=<path> -P save_header.cmake
# The output goes to a temporary file that is renamed into place only when the tool exited 0 and
# wrote a complete header. On any failure neither file is left behind, so no stale or truncated
# header can look up to date, and the build stops with the tool's own message.
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
if(NOT status STREQUAL "0")
  set(failure "${shown} exited with status ${status}")
else()
  # Exit status 0 with a partial header means the command is not the tool, or not working.
  set(end_of_file "/* END OF FILE */\n")
  file(READ "${partial}" text)
  string(LENGTH "${text}" length)
  string(LENGTH "${end_of_file}" end_length)
  string(FIND "${text}" "${end_of_file}" end REVERSE)
  math(EXPR expected_end "${length} - ${end_length}")
  if(NOT end EQUAL expected_end OR length EQUAL end_length)
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
file(RENAME "${partial}" "${HEADER}")
