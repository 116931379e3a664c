# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Runs the capability header tool and saves its standard output as a header, without a shell.
# Included, it defines capability_header_save(); run as a script, it saves HEADER and stops the
# build when that fails:
#   cmake "-DTOOL=<command and its arguments, as a list>" -DHEADER=<path> -P save_header.cmake
cmake_minimum_required(VERSION 3.18)

# Runs <tool> with its output in a temporary file, which replaces <header> only when the tool
# exited 0, wrote a complete header and the bytes differ from <header>'s, so that an unchanged
# header keeps its time stamp. Otherwise removes both files, so that no stale or truncated header
# can look up to date, and sets <failure> to what went wrong ("exited with status 1"), and
# <message> to what the tool wrote on standard error.
function(capability_header_save tool header failure message)
  get_filename_component(directory "${header}" DIRECTORY)
  file(MAKE_DIRECTORY "${directory}")
  set(partial "${header}.tmp")
  execute_process(COMMAND ${tool} OUTPUT_FILE "${partial}" ERROR_VARIABLE errors RESULT_VARIABLE status)
  set(${message} "${errors}" PARENT_SCOPE)
  set(${failure} "" PARENT_SCOPE)
  if(NOT status MATCHES "^[0-9]+$")
    set(why "could not be started: ${status}")
  elseif(NOT status STREQUAL "0")
    set(why "exited with status ${status}")
  else()
    # Exit status 0 with a partial header means the command is not the tool, or not working.
    file(READ "${partial}" text)
    if(text MATCHES "\n/\\* END OF FILE \\*/\n$")
      # Compared here rather than by another process: the header is small, and configure runs this.
      set(old "")
      if(EXISTS "${header}")
        file(READ "${header}" old)
      endif()
      if(NOT old STREQUAL text)
        file(RENAME "${partial}" "${header}")
      else()
        file(REMOVE "${partial}")
      endif()
      return()
    endif()
    set(why "exited with status 0 but did not write a complete header")
  endif()
  file(REMOVE "${partial}" "${header}")
  set(${failure} "${why}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT TOOL OR NOT HEADER)
    message(FATAL_ERROR "usage: cmake -DTOOL=<command> -DHEADER=<path> -P save_header.cmake")
  endif()
  capability_header_save("${TOOL}" "${HEADER}" failure tool_message)
  if(failure)
    string(REPLACE ";" " " shown "${TOOL}")
    get_filename_component(name "${HEADER}" NAME)
    message(FATAL_ERROR "${name} was not generated: ${shown} ${failure}.\n${tool_message}")
  endif()
  if(tool_message)
    message("${tool_message}")
  endif()
endif()
