# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# capability_header.m4: configure's part of making capability_names.h with autotools; the rules
# are in capability_names.am.
#
# CAPABILITY_HEADER_PROG_CXX_FOR_BUILD
# ------------------------------------
# Finds the C++ compiler for the build machine that builds capability_header_gen, a program run
# during the build: CXX_FOR_BUILD when it is set; else, when not cross-compiling, CXX when it is
# set; else c++, g++ or clang++. It never looks for a C++ compiler for the host machine, so the
# package's own configure, and libtool, stay C only. Configure stops, naming CXX_FOR_BUILD, unless
# the compiler builds a C++17 program that runs here. CXX_FOR_BUILD, CPPFLAGS_FOR_BUILD,
# CXXFLAGS_FOR_BUILD (by default -O2) and LDFLAGS_FOR_BUILD are substituted. A packager's tool
# named by CAPABILITY_HEADER_EXECUTABLE needs no compiler; the rules check it when they run it.
AC_DEFUN([CAPABILITY_HEADER_PROG_CXX_FOR_BUILD], [
AC_ARG_VAR([CXX_FOR_BUILD], [C++ compiler for programs run during the build])
AC_ARG_VAR([CPPFLAGS_FOR_BUILD], [preprocessor flags for CXX_FOR_BUILD])
AC_ARG_VAR([CXXFLAGS_FOR_BUILD], [C++ compiler flags for CXX_FOR_BUILD])
AC_ARG_VAR([LDFLAGS_FOR_BUILD], [linker flags for CXX_FOR_BUILD])
AC_ARG_VAR([CAPABILITY_HEADER_EXECUTABLE],
           [absolute path of a capability_header built for the build machine, to use instead of building one])
AS_IF([test -n "$CAPABILITY_HEADER_EXECUTABLE"],
      [AC_MSG_NOTICE([capability_header: capability_names.h will be made by $CAPABILITY_HEADER_EXECUTABLE, checked by the first make])],
      [_CAPABILITY_HEADER_FIND_CXX_FOR_BUILD])
])

# The C++ compiler for the build machine, checked.
AC_DEFUN([_CAPABILITY_HEADER_FIND_CXX_FOR_BUILD], [
AS_IF([test -z "$CXX_FOR_BUILD" && test "$cross_compiling" != yes && test -n "$CXX"],
      [CXX_FOR_BUILD=$CXX])
AS_IF([test -z "$CXX_FOR_BUILD"], [AC_MSG_NOTICE([capability_header: looking for a C++ compiler for the build machine])
                                   AC_CHECK_PROGS([CXX_FOR_BUILD], [c++ g++ clang++])])
AS_IF([test -z "$CXX_FOR_BUILD"],
      [AC_MSG_ERROR([no C++ compiler for the build machine found: set CXX_FOR_BUILD to one])])
: "${CXXFLAGS_FOR_BUILD=-O2}"
AC_MSG_CHECKING([whether $CXX_FOR_BUILD builds capability_header_gen, a C++17 program run during the build])
cat > conftest_build.cpp <<'_CAPABILITY_HEADER_EOF'
#if __cplusplus < 201703L
#error C++17 is needed
#endif
int main() { return 0; }
_CAPABILITY_HEADER_EOF
AS_IF([! $CXX_FOR_BUILD -std=c++17 $CPPFLAGS_FOR_BUILD $CXXFLAGS_FOR_BUILD $LDFLAGS_FOR_BUILD \
        conftest_build.cpp -o conftest_build >&AS_MESSAGE_LOG_FD 2>&1],
      [rm -f conftest_build*
       AC_MSG_RESULT([no])
       AC_MSG_ERROR([CXX_FOR_BUILD ($CXX_FOR_BUILD) does not compile C++17; see config.log])],
      [! ./conftest_build >&AS_MESSAGE_LOG_FD 2>&1],
      [rm -f conftest_build*
       AC_MSG_RESULT([no])
       AC_MSG_ERROR([CXX_FOR_BUILD ($CXX_FOR_BUILD) builds programs that do not run on this build machine; capability_header_gen runs during the build, so CXX_FOR_BUILD must compile for this machine])])
rm -f conftest_build*
AC_MSG_RESULT([yes])
])
