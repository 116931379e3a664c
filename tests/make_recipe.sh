#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds the library of tests/consumer with its own Makefile, which compiles the library in one
# rule and takes docs/make.md's recipe ahead of its first target, as tests/lib.sh lays it out.
#   native  the default goal stays the library's, the header is golden, the version is said, a
#           second make runs nothing, a rebuilt tool that prints the same header recompiles
#           nothing and the make after it runs nothing either, the _FOR_BUILD flags are used, a
#           removed header is made again, a CAPABILITY_HEADER_DIR without the sources is refused,
#           a failing tool leaves no header, clean removes what the recipe made
#   cross   CC the aarch64 cross compiler; first with CXX_FOR_BUILD that cross compiler too, which
#           must fail naming CXX_FOR_BUILD, then, corrected, the next make must just work
# Usage: make_recipe.sh SOURCE_DIR native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
mode=$2
lib=$work/lib
library "$lib" make
run_make() { make -C "$lib" "$@" > "$work/make.log" 2>&1; }
must_make() { run_make "$@" || fail "make $*: $(cat "$work/make.log")"; }
idle() { must_make; ran_nothing "$work/make.log"; }

case $mode in
native)
    must_make
    grep -q "^capability_header $(cat "$repo/VERSION") from capability_header$" "$work/make.log" || fail "the version is not said: $(cat "$work/make.log")"
    bash "$here/check_consumer.sh" "$lib/cap_mask_names" "$lib/capability_names.h" || fail "wrong result"
    idle

    # A rebuilt tool that prints the same header, built with the build machine's own flags.
    before=$(stat -c %y "$lib/capability_names.h" "$lib/libcap_names.a" "$lib/cap_mask_names")
    touch "$lib/capability_header/generator/main.cpp"
    must_make CXXFLAGS_FOR_BUILD=-O1 LDFLAGS_FOR_BUILD=-Wl,-O1
    grep -q -- '-std=c++17 *-O1 -Wl,-O1 ' "$work/make.log" || fail "the _FOR_BUILD flags are not used: $(cat "$work/make.log")"
    [ "$(stat -c %y "$lib/capability_names.h" "$lib/libcap_names.a" "$lib/cap_mask_names")" = "$before" ] ||
        fail "an unchanged header was rewritten, or the library rebuilt"
    idle
    rm "$lib/capability_names.h"
    must_make
    cmp -s "$golden" "$lib/capability_names.h" || fail "a removed header was not made again"

    if run_make CAPABILITY_HEADER_DIR="$work/nowhere" capability_names.h; then fail "a folder without the sources was taken"; fi
    grep -q "No rule to make target '$work/nowhere/generator/cap_table.cpp'" "$work/make.log" ||
        fail "the missing sources are not named: $(cat "$work/make.log")"

    # Replace the tool with one that writes part of the header, then fails.
    printf '#!/bin/sh\nhead -c 100 "%s"\nprintf "out of memory" >&2\nexit 1\n' "$golden" > "$lib/capability_header_gen"
    chmod +x "$lib/capability_header_gen"
    if run_make; then fail "make succeeded with a failing tool"; fi
    grep -q 'out of memory' "$work/make.log" || fail "the tool's message is not shown"
    no_header "$lib/capability_names.h"
    must_make clean
    [ -z "$(cd "$lib" && ls -d capability_header_gen capability_names.* 2> /dev/null)" ] || fail "clean left what the recipe made"
    echo "ok: docs/make.md's recipe, in a library built by one rule"
    ;;
cross)
    require_cross
    if run_make CC=$cross-gcc AR=$cross-ar CXX_FOR_BUILD=$cross-g++; then fail "a tool built for aarch64 ran here"; fi
    grep -q "does not run here: CXX_FOR_BUILD ($cross-g++) must compile for this machine" "$work/make.log" ||
        fail "the failure does not name CXX_FOR_BUILD: $(cat "$work/make.log")"
    must_make CC=$cross-gcc AR=$cross-ar
    program_for "$lib/capability_header_gen" "$build_machine"
    bash "$here/check_consumer.sh" "$lib/cap_mask_names" "$lib/capability_names.h" aarch64 || fail "wrong result"
    echo "ok: docs/make.md's recipe, cross-compiling"
    ;;
*) fail "unknown mode $mode" ;;
esac
