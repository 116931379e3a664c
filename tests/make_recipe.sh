#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds the Make library of tests/consumer/make, where three makes reach the header at once, with
# docs/make.md's snippets, and checks it with check_consumer.sh.
#   native  15 rounds from clean; the default goals, the version said, nothing run again, the
#           _FOR_BUILD flags, a rebuilt tool or a removed header, a packager's tool and its
#           refusals, clean
#   cross   CC the aarch64 cross compiler; CXX_FOR_BUILD or a packager's tool for aarch64 refused
# Usage: make_recipe.sh SOURCE_DIR HOST_TOOL native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
mode=$3 host_tool=$(packaged_tool "$2")
lib=$work/lib
library "$lib" make
run_make() { make -C "$lib" "$@" > "$work/make.log" 2>&1; }
must_make() { run_make "$@" || fail "make $*: $(cat "$work/make.log")"; }
idle() { must_make "$@"; ran_nothing "$work/make.log"; }
# Fails unless make fails with MESSAGE and leaves no header.
refused() {  # message make-arguments...
    if run_make "${@:2}"; then fail "make $*: did not fail"; fi
    [[ $(cat "$work/make.log") == *"$1"* ]] || fail "make ${*:2}: not \"$1\": $(cat "$work/make.log")"
    no_header "$lib/lib/capability_names.h"
}
stamps() { stat -c %y "$lib"/lib/{capability_names.h,libmylib.a,libmylib.so} "$lib/programs/cap_mask_names"; }

case $mode in
native)
    for jobs in 4 4 4 4 4 4 4 4 4 4 2 2 2 2 2; do
        must_make clean
        must_make -j"$jobs"
        golden_header "$lib/lib/capability_names.h" "round -j$jobs"
    done
    grep -q "^capability_header $(cat "$repo/VERSION") from capability_header$" "$work/make.log" || fail "the version is not said: $(cat "$work/make.log")"
    bash "$here/check_consumer.sh" "$lib/programs/cap_mask_names" "$lib/lib/capability_names.h" || fail "wrong result"
    run "$lib/programs/mylib_test"
    idle -j2

    # A rebuilt tool that prints the same header, built with the build machine's own flags.
    before=$(stamps)
    touch "$lib/lib/capability_header/generator/main.cpp"
    must_make -j2 CXXFLAGS_FOR_BUILD=-O1 LDFLAGS_FOR_BUILD=-Wl,-O1
    grep -q -- '-std=c++17 *-O1 -Wl,-O1 ' "$work/make.log" || fail "the _FOR_BUILD flags are not used: $(cat "$work/make.log")"
    [ "$(stamps)" = "$before" ] || fail "an unchanged header was rewritten, or the library rebuilt"
    idle
    rm "$lib/lib/capability_names.h"
    must_make
    golden_header "$lib/lib/capability_names.h" "a removed header made again"

    # A packager's tool: nothing compiled, and nothing run the next time.
    must_make clean
    must_make -j2 CAPABILITY_HEADER_EXECUTABLE="$host_tool"
    [ ! -e "$lib/lib/capability_header_gen" ] || fail "a packager's tool given, ours was compiled"
    golden_header "$lib/lib/capability_names.h" "the packager's tool"
    idle CAPABILITY_HEADER_EXECUTABLE="$host_tool"
    refused "CAPABILITY_HEADER_EXECUTABLE (capability_header) must be the absolute path of a capability_header built for the build host." \
        CAPABILITY_HEADER_EXECUTABLE=capability_header
    refused "CAPABILITY_HEADER_EXECUTABLE ($work/none) does not exist." CAPABILITY_HEADER_EXECUTABLE="$work/none"
    # One that writes part of the header, then fails.
    printf '#!/bin/sh\nhead -c 100 "%s"\nprintf "out of memory" >&2\nexit 1\n' "$golden" > "$work/failing"
    chmod +x "$work/failing"
    refused "CAPABILITY_HEADER_EXECUTABLE ($work/failing) does not run on this build host: it exited with status 1.
out of memory" CAPABILITY_HEADER_EXECUTABLE="$work/failing"

    must_make clean
    [ -z "$(cd "$lib/lib" && ls -d capability_header_gen capability_names.* 2> /dev/null)" ] || fail "clean left what the rules made"
    echo "ok: docs/make.md's rules, in a library with lib/ and programs/ built in parallel"
    ;;
cross)
    require_cross
    refused "CXX_FOR_BUILD ($cross-g++) builds programs that do not run on this build host: the capability_header_gen it built is a program for aarch64, and this build host is $(uname -m)." \
        CC=$cross-gcc AR=$cross-ar CXX_FOR_BUILD=$cross-g++
    $cross-g++ -std=c++17 -O2 "$repo"/generator/{cap_table,main}.cpp -o "$work/aarch64_tool"
    refused "CAPABILITY_HEADER_EXECUTABLE ($work/aarch64_tool) does not run on this build host: it is a program for aarch64, and this build host is $(uname -m). Build it with a compiler for the build host." \
        CC=$cross-gcc AR=$cross-ar CAPABILITY_HEADER_EXECUTABLE="$work/aarch64_tool"
    must_make -j2 CC=$cross-gcc AR=$cross-ar
    program_for "$lib/lib/capability_header_gen" "$build_machine"
    program_for "$lib/lib/libmylib.so" aarch64
    bash "$here/check_consumer.sh" "$lib/programs/cap_mask_names" "$lib/lib/capability_names.h" aarch64 || fail "wrong result"
    echo "ok: docs/make.md's rules, cross-compiling"
    ;;
*) fail "unknown mode $mode" ;;
esac
