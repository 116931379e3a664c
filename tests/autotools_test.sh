#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds examples/autotools, a libtool library with its sources in src/, with a copy of this
# project made by tools/vendor.sh in its capability_header/, in a folder apart from its sources,
# and checks the result with check_consumer.sh.
#   native  make -j check; a rebuilt tool that prints the same header recompiles nothing, and the
#           make after it runs nothing; make distcheck; a one-folder package of the page's lines;
#           a packager's tool
#   cross   ./configure --host=aarch64-linux-gnu with only C cross tools, without warnings: the
#           tool a program for this machine, the consumer an aarch64 program; and configure
#           stops when CXX_FOR_BUILD is the cross compiler
# Usage: autotools_test.sh SOURCE_DIR HOST_TOOL native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
mode=$3 host_tool=$(packaged_tool "$2")
require autoreconf automake libtoolize

example=$work/example
library "$example" autotools
run autoreconf -i "$example"
mkdir -p "$work/build"
cd "$work/build"

case $mode in
native)
    run "$example/configure"
    run make -j4 check
    bash "$here/check_consumer.sh" src/cap_mask_names src/capability_names.h || fail "wrong result"
    before=$(stat -c %y src/capability_names.h src/cap_mask_names src/libmylib.la)
    touch "$example/capability_header/generator/main.cpp"
    run make -j4
    grep -q "^capability_header $(cat "$repo/VERSION") from " "$work/log" || fail "the version is not said: $(cat "$work/log")"
    [ src/capability_header_gen -nt src/cap_mask_names ] || fail "the tool was not rebuilt"
    [ "$(stat -c %y src/capability_names.h src/cap_mask_names src/libmylib.la)" = "$before" ] ||
        fail "an unchanged header was rewritten, or the library or program rebuilt"
    run make -j4
    ran_nothing "$work/log"
    run make distcheck
    # The page's lines alone, as the README shows them, pasted into a one-folder package.
    pkg=$work/one-folder
    run bash "$repo/tools/vendor.sh" "$pkg/capability_header" autotools
    cp "$repo/examples/cap_mask_names.c" "$pkg"
    printf 'AC_INIT([mylib], [1.0])\nAM_INIT_AUTOMAKE([foreign -Wall -Werror])\nAC_PROG_CC\n%s\nAC_CONFIG_FILES([Makefile])\nAC_OUTPUT\n' \
        "$(snippet docs/autotools.md configure)" > "$pkg/configure.ac"
    printf '%s\nbin_PROGRAMS = cap_mask_names\n%s\n%s\n' "$(snippet docs/autotools.md aclocal)" \
        "$(snippet docs/autotools.md variables)" "$(snippet docs/autotools.md makefile)" > "$pkg/Makefile.am"
    (cd "$pkg" && run autoreconf -i && run ./configure && run make)
    bash "$here/check_consumer.sh" "$pkg/cap_mask_names" "$pkg/capability_names.h" || fail "wrong result"
    # With no C++ compiler for the build machine on PATH, only our tool's name.
    run "$example/configure" CAPABILITY_HEADER_EXECUTABLE="$host_tool" CXX_FOR_BUILD=/nonexistent
    run make clean
    run make -j4
    [ ! -e src/capability_header_gen ] || fail "a packager's tool given, ours was compiled"
    golden_header src/capability_names.h "the packager's tool"
    echo "ok: autotools example, native, make -j check, makes at once, make distcheck, a packager's tool"
    ;;
cross)
    require_cross
    if "$example/configure" --host=$cross CXX_FOR_BUILD=$cross-g++ > "$work/wrong.log" 2>&1; then
        fail "configure took a CXX_FOR_BUILD whose programs do not run here"
    fi
    grep -q "CXX_FOR_BUILD ($cross-g++) builds programs that do not run on this build machine" "$work/wrong.log" ||
        fail "configure does not name CXX_FOR_BUILD: $(cat "$work/wrong.log")"
    run "$example/configure" --host=$cross
    # No C++ compiler for the host is looked for, and no warning is ours: libtool 2.4.7 warns of
    # its own check for `file` in every cross build without an $cross-file.
    awk '/WARNING/ && prev !~ /^checking for file\.\.\. / { print; bad = 1 } { prev = $0 } END { exit bad }' "$work/log" ||
        fail "configure warns with C-only cross tools"
    ! grep -q '^CXX = ' src/Makefile || fail "configure looked for a C++ compiler for the host"
    run make -j4
    program_for src/capability_header_gen "$build_machine"
    bash "$here/check_consumer.sh" src/cap_mask_names src/capability_names.h aarch64 || fail "wrong result"
    echo "ok: autotools example, cross-compiled to aarch64 with C-only cross tools"
    ;;
*) fail "unknown mode $mode" ;;
esac
