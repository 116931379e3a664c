# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Makes capability_names.h in the build tree and offers it two ways:
#   capability_header_add_to(<target>...)   the header for those targets, and nothing in their
#                                           link interface or export set;
#   capability_header::capability_names     an INTERFACE library to link, for keyword-signature
#                                           targets that export with install(EXPORT) at most.
#
# The tool must run on the build machine. It is, in this order:
#   host_tool  the host-built tool named by CAPABILITY_HEADER_EXECUTABLE, run at configure time;
#   here       natively, when this project is built on its own, the tool built here as its
#              product, run by the build;
#   for_build  in a library's build, natively or cross-compiling, the tool compiled at configure
#              time by the build machine's C++ compiler with one compiler run, and run there; C++
#              is never enabled for the library;
#   emulator   cross-compiling with no C++ compiler for the build machine, the tool compiled at
#              configure time with the cross C++ compiler and run under
#              CMAKE_CROSSCOMPILING_EMULATOR.
# So in a library's build, the build runs nothing of ours, and no setting of the library's
# directories reaches the compile of the tool. Nothing is ever looked up as capability_header on
# PATH.

set(CAPABILITY_NAMES_DIR ${CMAKE_CURRENT_BINARY_DIR}/capability_names)
set(CAPABILITY_NAMES_HEADER ${CAPABILITY_NAMES_DIR}/capability_names.h)
include(${CMAKE_CURRENT_LIST_DIR}/save_header.cmake)
add_library(capability_names INTERFACE)
add_library(capability_header::capability_names ALIAS capability_names)
target_include_directories(capability_names INTERFACE ${CAPABILITY_NAMES_DIR})

# Gives each target capability_names.h: its folder on the target's own include path, and the header
# made before the target compiles. The target's link interface and export set get nothing, so any
# target takes it: plain or keyword target_link_libraries, export(TARGETS), install(EXPORT).
function(capability_header_add_to)
  if(ARGC EQUAL 0)
    message(FATAL_ERROR "capability_header_add_to: name the targets whose sources include capability_names.h")
  endif()
  get_target_property(dir capability_names INTERFACE_INCLUDE_DIRECTORIES)
  foreach(target IN LISTS ARGN)
    if(NOT TARGET "${target}")
      message(FATAL_ERROR "capability_header_add_to: there is no target \"${target}\"; "
                          "call it after the add_library() or add_executable() that defines it.")
    endif()
    get_target_property(aliased "${target}" ALIASED_TARGET)
    if(aliased)
      set(target "${aliased}")
    endif()
    get_target_property(imported "${target}" IMPORTED)
    get_target_property(type "${target}" TYPE)
    if(imported OR type STREQUAL "INTERFACE_LIBRARY")
      message(FATAL_ERROR "capability_header_add_to: \"${target}\" compiles no sources here; "
                          "name the targets whose sources include capability_names.h.")
    endif()
    target_include_directories("${target}" PRIVATE "${dir}")
    if(TARGET capability_names_header)
      add_dependencies("${target}" capability_names_header)
    endif()
  endforeach()
endfunction()

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

# Saves <tool>'s header now. Otherwise sets <failure> to what is wrong ("exited with status 1", or
# "is a program for aarch64, and this build host is x86_64") and <errors> to what the tool said.
function(capability_header_save_now tool failure errors)
  capability_header_save("${tool}" "${CAPABILITY_NAMES_HEADER}" why said)
  if(why)
    capability_header_elf_machine("${tool}" machine)
    if(machine AND NOT machine STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
      set(why "is a program for ${machine}, and this build host is ${CMAKE_HOST_SYSTEM_PROCESSOR}")
      set(said "")
    endif()
  endif()
  set(${failure} "${why}" PARENT_SCOPE)
  set(${errors} "${said}" PARENT_SCOPE)
endfunction()

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
  capability_header_save_now("${tool}" failure errors)
  if(failure MATCHES "^is a program for")
    string(APPEND failure ". Build it with a compiler for the build host")
  endif()
  if(failure)
    message(FATAL_ERROR "CAPABILITY_HEADER_EXECUTABLE (${tool}) does not run on this build host: "
                        "it ${failure}.\n${errors}")
  endif()
endfunction()

# The C++ compiler and flags for the build machine, as cache entries. The compiler is CXX_FOR_BUILD
# from the cache, a variable or the environment; else, natively, the library's own C++ compiler
# when it has enabled C++, or the environment's CXX; else c++, g++ or clang++ on PATH (never the
# toolchain's, nor one under its find root). CPPFLAGS_FOR_BUILD, CXXFLAGS_FOR_BUILD (default -O2)
# and LDFLAGS_FOR_BUILD likewise; the target's flags never apply. CXX_FOR_BUILD stays unset when
# there is none.
function(capability_header_find_cxx_for_build)
  if(NOT DEFINED CXX_FOR_BUILD)
    set(cxx "$ENV{CXX_FOR_BUILD}")
    if(cxx STREQUAL "" AND NOT CMAKE_CROSSCOMPILING)
      get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
      if("CXX" IN_LIST languages)
        set(cxx "${CMAKE_CXX_COMPILER}")
      else()
        set(cxx "$ENV{CXX}")
      endif()
    endif()
    if(cxx STREQUAL "")
      find_program(capability_header_found_cxx NAMES c++ g++ clang++
                   NO_DEFAULT_PATH PATHS ENV PATH NO_CMAKE_FIND_ROOT_PATH)
      if(capability_header_found_cxx)
        set(cxx "${capability_header_found_cxx}")
      endif()
      unset(capability_header_found_cxx CACHE)
    endif()
    if(NOT cxx STREQUAL "")
      set(CXX_FOR_BUILD "${cxx}" CACHE STRING
          "C++ compiler for the build host, which builds capability_header in a library's build")
    endif()
  endif()
  foreach(flags CPPFLAGS_FOR_BUILD CXXFLAGS_FOR_BUILD LDFLAGS_FOR_BUILD)
    if(NOT DEFINED ${flags})
      set(value "")
      if(DEFINED ENV{${flags}})
        set(value "$ENV{${flags}}")
      elseif(flags STREQUAL "CXXFLAGS_FOR_BUILD")
        set(value -O2)
      endif()
      set(${flags} "${value}" CACHE STRING "Flags for CXX_FOR_BUILD")
    endif()
  endforeach()
endfunction()

# Stops configure with <message>, after removing from the cache the compiler, and the flags named
# after the message, that it refuses, so that the next configure takes them afresh from the
# environment or PATH.
function(capability_header_refuse_for_build message)
  unset(CXX_FOR_BUILD CACHE)
  foreach(flags IN LISTS ARGN)
    unset(${flags} CACHE)
  endforeach()
  message(FATAL_ERROR "${message}")
endfunction()

# Compiles capability_header for the build machine now, with CXX_FOR_BUILD and the _FOR_BUILD flags
# only, and saves its header. It is compiled again when a source or the command changes: the
# sources are configure dependencies, so a build that finds them changed configures again.
function(capability_header_for_build_machine)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/build_machine)
  set(tool ${dir}/capability_header)
  set(generator ${PROJECT_SOURCE_DIR}/generator)
  set(sources ${generator}/cap_table.cpp ${generator}/main.cpp)
  set(headers ${generator}/cap_table.h ${generator}/header_writer.h ${generator}/slot_index.h)
  separate_arguments(command UNIX_COMMAND
    "${CXX_FOR_BUILD} -std=c++17 ${CPPFLAGS_FOR_BUILD} ${CXXFLAGS_FOR_BUILD} ${LDFLAGS_FOR_BUILD}")
  list(APPEND command ${sources} -o ${tool}.new)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources} ${headers})

  set(recorded "")
  if(EXISTS ${dir}/command)
    file(READ ${dir}/command recorded)
  endif()
  set(stale FALSE)
  if(NOT EXISTS ${tool} OR NOT recorded STREQUAL "${command}")
    set(stale TRUE)
  endif()
  foreach(file IN LISTS sources headers)
    if("${file}" IS_NEWER_THAN "${tool}")
      set(stale TRUE)
    endif()
  endforeach()
  if(stale)
    file(MAKE_DIRECTORY ${dir})
    file(REMOVE ${dir}/command)
    execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status STREQUAL "0")
      file(REMOVE ${tool} ${tool}.new ${CAPABILITY_NAMES_HEADER})
      if(NOT status MATCHES "^[0-9]+$")
        set(output "it could not be started: ${status}")
      endif()
      string(CONCAT message "CXX_FOR_BUILD (${CXX_FOR_BUILD}) did not build capability_header, which "
             "makes capability_names.h on the build host. Set CXX_FOR_BUILD to a C++17 compiler for "
             "this machine, and its flags (CPPFLAGS_FOR_BUILD, CXXFLAGS_FOR_BUILD, LDFLAGS_FOR_BUILD) "
             "to flags it takes.\n${output}")
      capability_header_refuse_for_build("${message}" CPPFLAGS_FOR_BUILD CXXFLAGS_FOR_BUILD LDFLAGS_FOR_BUILD)
    endif()
    file(RENAME ${tool}.new ${tool})
  endif()
  # A tool that does not run here is removed, so that the next configure builds it again; one that
  # runs and fails says so, and the compiler is not to blame.
  capability_header_save_now(${tool} failure errors)
  if(failure AND NOT failure MATCHES "^(is a program for|could not be started)")
    message(FATAL_ERROR "capability_names.h was not generated: ${tool} ${failure}.\n${errors}")
  elseif(failure)
    file(REMOVE ${tool})
    string(CONCAT message "CXX_FOR_BUILD (${CXX_FOR_BUILD}) builds programs that do not run on this "
           "build host: the capability_header it built ${failure}. Set CXX_FOR_BUILD to a C++ "
           "compiler for this machine.\n${errors}")
    capability_header_refuse_for_build("${message}")
  endif()
  file(WRITE ${dir}/command "${command}")
endfunction()

# Stops configure unless CMAKE_CROSSCOMPILING_EMULATOR names a program, and the C++ compiler builds
# programs that the emulator runs. One for the build host (which CMake may take for a toolchain
# file that names only a C compiler) builds a tool that the emulator cannot run.
function(capability_header_check_emulator)
  # The emulator is a program and its arguments, as a list; one string with spaces in it names a
  # program that does not exist.
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
  set(checked "${CMAKE_CXX_COMPILER};${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(checked STREQUAL CAPABILITY_HEADER_EMULATOR_CHECKED)
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/emulator_check)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE EXECUTABLE)
  file(WRITE ${dir}/probe.cpp "int main() { return 0; }\n")
  try_compile(capability_header_built ${dir}/build SOURCES ${dir}/probe.cpp COPY_FILE ${dir}/probe OUTPUT_VARIABLE log)
  set(built ${capability_header_built})
  unset(capability_header_built CACHE)
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
    message(FATAL_ERROR "CMAKE_CXX_COMPILER (${CMAKE_CXX_COMPILER}) ${what}. With no C++ compiler for "
                        "the build host, capability_header is built with it and run by the "
                        "emulator. Either set CXX_FOR_BUILD to a C++ compiler for this machine, name "
                        "the cross C++ compiler as CMAKE_CXX_COMPILER in the toolchain file, or set "
                        "CAPABILITY_HEADER_EXECUTABLE to a capability_header built for this build host.\n${output}")
  endif()
  set(CAPABILITY_HEADER_EMULATOR_CHECKED "${checked}" CACHE INTERNAL "")
endfunction()

# Compiles capability_header now with the toolchain's C++ compiler, in a project of its own
# (try_compile), so that no setting of the library's directories reaches it, and saves the header
# it prints under the emulator. Configure runs again when a source changes.
function(capability_header_with_emulator)
  capability_header_check_emulator()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/emulator)
  set(generator ${PROJECT_SOURCE_DIR}/generator)
  set(sources ${generator}/cap_table.cpp ${generator}/main.cpp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${sources} ${generator}/cap_table.h ${generator}/header_writer.h ${generator}/slot_index.h)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE EXECUTABLE)
  try_compile(capability_header_built ${dir}/build SOURCES ${sources}
              CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF
              COPY_FILE ${dir}/capability_header OUTPUT_VARIABLE log)
  set(built ${capability_header_built})
  unset(capability_header_built CACHE)
  file(WRITE ${dir}/build.log "${log}")
  if(NOT built)
    file(REMOVE ${CAPABILITY_NAMES_HEADER})
    message(FATAL_ERROR "CMAKE_CXX_COMPILER (${CMAKE_CXX_COMPILER}) did not build capability_header, "
                        "which makes capability_names.h under the emulator.\n${log}")
  endif()
  set(command ${CMAKE_CROSSCOMPILING_EMULATOR} ${dir}/capability_header)
  capability_header_save("${command}" "${CAPABILITY_NAMES_HEADER}" failure errors)
  if(failure)
    string(REPLACE ";" " " shown "${command}")
    message(FATAL_ERROR "capability_names.h was not generated: ${shown} ${failure}.\n${errors}")
  endif()
endfunction()

# Sets <out> to the route by which the header is made here: host_tool, here, for_build or emulator.
function(capability_header_choose_route out)
  if(CAPABILITY_HEADER_EXECUTABLE)
    set(route host_tool)
  elseif(NOT CMAKE_CROSSCOMPILING AND top_level)
    set(route here)
  else()
    capability_header_find_cxx_for_build()
    if(CXX_FOR_BUILD)
      set(route for_build)
    elseif(CMAKE_CROSSCOMPILING_EMULATOR)
      set(route emulator)
    else()
      message(FATAL_ERROR "capability_names.h is made by capability_header on the build host, and "
                          "no C++ compiler for it was found (CXX_FOR_BUILD, CXX when not "
                          "cross-compiling, or c++, g++ or clang++ on PATH). Set CXX_FOR_BUILD to "
                          "one, or CAPABILITY_HEADER_EXECUTABLE to the absolute path of a "
                          "capability_header built for this machine.")
    endif()
  endif()
  set(${out} ${route} PARENT_SCOPE)
endfunction()

# Makes the header by <route>, as capability_header_choose_route chose it, and says how.
function(capability_header_make_header route)
  # The build's record that the header is the output of the tool built here. A header made at
  # configure time is made again when the tool or its sources change, and a build then runs
  # nothing of ours; the stamp no longer vouches for it, so going back to the tool built here
  # makes it anew.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/capability_names.stamp)
  if(NOT route STREQUAL "here")
    file(REMOVE ${stamp})
  endif()
  if(route STREQUAL "host_tool")
    capability_header_from_host_tool("${CAPABILITY_HEADER_EXECUTABLE}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CAPABILITY_HEADER_EXECUTABLE}")
    set(source "the host tool ${CAPABILITY_HEADER_EXECUTABLE}")
  elseif(route STREQUAL "for_build")
    capability_header_for_build_machine()
    set(source "the capability_header that ${CXX_FOR_BUILD} built for the build host")
  elseif(route STREQUAL "emulator")
    capability_header_with_emulator()
    string(REPLACE ";" " " shown "${CMAKE_CROSSCOMPILING_EMULATOR}")
    set(source "the capability_header that ${CMAKE_CXX_COMPILER} built, run by \"${shown}\"")
  else()
    capability_header_build_step(${stamp})
    set(source "the capability_header built here")
  endif()
  message(STATUS "capability_header ${PROJECT_VERSION}: capability_names.h generated by ${source}")
endfunction()

# The build step that runs the tool built here and saves its header; <stamp> is its output.
function(capability_header_build_step stamp)
  # A header removed since the last build (a refused host tool removes it) is made again, although
  # the stamp is newer than the tool.
  if(NOT EXISTS ${CAPABILITY_NAMES_HEADER})
    file(REMOVE ${stamp})
  endif()
  # The header is rewritten only when its bytes change, so that a rebuilt tool recompiles nothing.
  # The stamp is the output make compares with the tool; the header is a byproduct, which Ninja
  # checks again after the command ran.
  add_custom_command(
    OUTPUT ${stamp}
    BYPRODUCTS ${CAPABILITY_NAMES_HEADER}
    COMMAND ${CMAKE_COMMAND} "-DTOOL=$<TARGET_FILE:capability_header>" "-DHEADER=${CAPABILITY_NAMES_HEADER}"
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/save_header.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS capability_header ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/save_header.cmake
    COMMENT "Generating capability_names.h"
    VERBATIM)
  add_custom_target(capability_names_header DEPENDS ${stamp})
  add_dependencies(capability_names capability_names_header)
endfunction()
