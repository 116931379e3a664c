# Generates capability_names.h in the build tree and offers it as the INTERFACE library
# capability_names, also named capability_header::capability_names: a target that links it gets
# the header's directory as an include path, and the header is generated before that target
# compiles.
#
# The tool must run on the build host. It is, in this order:
#   1. the host-built tool named by CAPABILITY_HEADER_EXECUTABLE, checked here once; nothing is
#      then compiled for the target, so a C-only toolchain will do;
#   2. the tool built here, run directly, or when cross-compiling under
#      CMAKE_CROSSCOMPILING_EMULATOR.
# Nothing is ever looked up on PATH.

# Sets <out> to the machine that <path> is a program for, when it is a little-endian ELF file;
# otherwise to "".
function(capability_header_elf_machine path out)
  set(${out} "" PARENT_SCOPE)
  file(READ "${path}" head LIMIT 20 HEX)
  if(NOT head MATCHES "^7f454c46..01")
    return()
  endif()
  # e_machine, two little-endian bytes at offset 18.
  string(SUBSTRING "${head}" 38 2 high)
  string(SUBSTRING "${head}" 36 2 low)
  math(EXPR machine "0x${high}${low}")
  set(names 3 i386 8 mips 20 ppc 21 ppc64 22 s390x 40 arm 62 x86_64 183 aarch64 243 riscv)
  list(FIND names "${machine}" at)
  if(at GREATER_EQUAL 0)
    math(EXPR at "${at} + 1")
    list(GET names ${at} machine)
  endif()
  set(${out} "${machine}" PARENT_SCOPE)
endfunction()

set(CAPABILITY_NAMES_DIR ${CMAKE_CURRENT_BINARY_DIR}/capability_names)
set(CAPABILITY_NAMES_HEADER ${CAPABILITY_NAMES_DIR}/capability_names.h)
include(${CMAKE_CURRENT_LIST_DIR}/save_header.cmake)
add_library(capability_names INTERFACE)
add_library(capability_header::capability_names ALIAS capability_names)
target_include_directories(capability_names INTERFACE ${CAPABILITY_NAMES_DIR})
# The build's record that the header is the output of the tool built here.
set(stamp ${CMAKE_CURRENT_BINARY_DIR}/capability_names.stamp)

# Saves the host tool's header now, or stops configure with what is wrong with the tool.
function(capability_header_from_host_tool tool)
  set(problem "")
  if(NOT IS_ABSOLUTE "${tool}")
    set(problem "must be the absolute path of a capability_header built for the build host")
  elseif(NOT EXISTS "${tool}")
    set(problem "does not exist")
  elseif(IS_DIRECTORY "${tool}")
    set(problem "is a folder, not a capability_header built for the build host")
  endif()
  if(problem)
    message(FATAL_ERROR "CAPABILITY_HEADER_EXECUTABLE (${tool}) ${problem}.")
  endif()
  capability_header_save("${tool}" "${CAPABILITY_NAMES_HEADER}" failure errors)
  if(NOT failure)
    return()
  endif()
  capability_header_elf_machine("${tool}" machine)
  if(machine AND NOT machine STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
    set(failure "is a program for ${machine}, and this build host is ${CMAKE_HOST_SYSTEM_PROCESSOR}. Build it with a compiler for the build host")
    set(errors "")
  endif()
  message(FATAL_ERROR "CAPABILITY_HEADER_EXECUTABLE (${tool}) does not run on this build host: "
                      "it ${failure}.\n${errors}")
endfunction()

# Stops configure unless the C++ compiler builds programs that the emulator runs. A toolchain file
# that names only a C compiler leaves CMake to take the build host's c++, whose tool the emulator
# cannot run; the build would fail only when it runs the tool.
function(capability_header_check_emulator)
  set(checked "${CMAKE_CXX_COMPILER};${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(checked STREQUAL CAPABILITY_HEADER_EMULATOR_CHECKED)
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/emulator_check)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE EXECUTABLE)
  file(WRITE ${dir}/probe.cpp "int main() { return 0; }\n")
  try_compile(built ${dir}/build SOURCES ${dir}/probe.cpp COPY_FILE ${dir}/probe OUTPUT_VARIABLE log)
  if(built)
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${dir}/probe
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  endif()
  if(NOT built OR NOT status STREQUAL "0")
    string(REPLACE ";" " " shown "${CMAKE_CROSSCOMPILING_EMULATOR}")
    set(what "does not build programs that \"${shown}\" runs")
    if(NOT built)
      set(output "${log}")
    else()
      capability_header_elf_machine(${dir}/probe machine)
      if(machine)
        set(what "builds programs for ${machine}, which \"${shown}\" does not run")
      endif()
    endif()
    message(FATAL_ERROR "CMAKE_CXX_COMPILER (${CMAKE_CXX_COMPILER}) ${what}. capability_header is "
                        "built with it and run by the emulator. Either name the cross C++ compiler as "
                        "CMAKE_CXX_COMPILER in the toolchain file, or set CAPABILITY_HEADER_EXECUTABLE "
                        "to a capability_header built for this build host.\n${output}")
  endif()
  set(CAPABILITY_HEADER_EMULATOR_CHECKED "${checked}" CACHE INTERNAL "")
endfunction()

if(CAPABILITY_HEADER_EXECUTABLE)
  # A host tool is fixed, so the header is made while configure checks the tool, and made again
  # when the tool changes; a build then runs nothing of ours. The stamp no longer vouches for the
  # header, so going back to the tool built here makes it anew.
  file(REMOVE ${stamp})
  capability_header_from_host_tool("${CAPABILITY_HEADER_EXECUTABLE}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CAPABILITY_HEADER_EXECUTABLE}")
  message(STATUS "capability_names.h: generated by the host tool ${CAPABILITY_HEADER_EXECUTABLE}")
  return()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  set(capability_header_command $<TARGET_FILE:capability_header>)
  set(capability_header_source "the capability_header built here")
elseif(CMAKE_CROSSCOMPILING_EMULATOR)
  # The emulator is a program and its arguments, as a list; one string with spaces in it names
  # a program that does not exist, so say so now rather than when the build runs it.
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 emulator)
  if(NOT IS_ABSOLUTE "${emulator}")
    find_program(capability_header_emulator "${emulator}")
    set(emulator "${capability_header_emulator}")
    unset(capability_header_emulator CACHE)
  endif()
  if(NOT EXISTS "${emulator}")
    message(FATAL_ERROR "CMAKE_CROSSCOMPILING_EMULATOR: cannot find the program "
                        "\"${CMAKE_CROSSCOMPILING_EMULATOR}\". Give the emulator and its arguments "
                        "as a list, for example \"qemu-aarch64;-L;/usr/aarch64-linux-gnu\".")
  endif()
  capability_header_check_emulator()
  set(capability_header_command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:capability_header>)
  string(REPLACE ";" " " shown "${CMAKE_CROSSCOMPILING_EMULATOR}")
  set(capability_header_source "the capability_header built here, run by \"${shown}\"")
else()
  message(FATAL_ERROR "Cross-compiling: capability_names.h needs a capability_header that runs on "
                      "the build host. Set CAPABILITY_HEADER_EXECUTABLE to the absolute path of one "
                      "built for the host, or set CMAKE_CROSSCOMPILING_EMULATOR to run the one built here.")
endif()
message(STATUS "capability_names.h: generated by ${capability_header_source}")

# A header removed since the last build (a refused host tool removes it) is made again, although
# the stamp is newer than the tool.
if(NOT EXISTS ${CAPABILITY_NAMES_HEADER})
  file(REMOVE ${stamp})
endif()
# The command may be a list (an emulator with its arguments); it travels as one argument.
string(REPLACE ";" "$<SEMICOLON>" capability_header_argument "${capability_header_command}")
# The header is rewritten only when its bytes change, so that a rebuilt tool recompiles nothing.
# The stamp is the output make compares with the tool; the header is a byproduct, which Ninja
# checks again after the command ran.
add_custom_command(
  OUTPUT ${stamp}
  BYPRODUCTS ${CAPABILITY_NAMES_HEADER}
  COMMAND ${CMAKE_COMMAND} "-DTOOL=${capability_header_argument}" "-DHEADER=${CAPABILITY_NAMES_HEADER}"
          -P ${CMAKE_CURRENT_LIST_DIR}/save_header.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS capability_header ${CMAKE_CURRENT_LIST_DIR}/save_header.cmake
  COMMENT "Generating capability_names.h"
  VERBATIM)
add_custom_target(capability_names_header DEPENDS ${stamp})
add_dependencies(capability_names capability_names_header)
