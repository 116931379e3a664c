#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds the library of tests/consumer with Meson, laid out by tests/lib.sh with docs/meson.md's
# snippets and a copy of this project as the subproject capability_header, and checks the result
# with check_consumer.sh.
#   native  also: a rebuilt tool that prints the same header recompiles nothing; this project on
#           its own passes meson test, has the version of VERSION and installs the tool and its
#           manual page; a packager's tool for another machine, under the option's old name
#   cross   a real aarch64 cross build from a C-only cross file with no exe_wrapper, the
#           subproject taken through the page's wrap file from a git repository: the tool must be
#           a program for this machine, the consumer an aarch64 program; a packager's tool
# Usage: meson_test.sh SOURCE_DIR native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1") mode=$2
require meson ninja

consumer=$work/consumer build=$work/build
library "$consumer" meson
header=$build/subprojects/capability_header/capability_names.h
tool=$build/subprojects/capability_header/capability_header

case $mode in
native)
    run meson setup "$build" "$consumer"
    ! grep -q 'tried pkgconfig' "$build/meson-logs/meson-log.txt" || fail "the system was searched for the header"
    run meson compile -C "$build"
    bash "$here/check_consumer.sh" "$build/cap_mask_names" "$header" || fail "wrong result"
    # Only the header's folder is on the consumer's include path, not our sources'.
    ! grep -q -- '-I\.\./subprojects/capability_header[ "]' "$build/compile_commands.json" || fail "our source folder is on the include path"
    # DESTDIR rather than --destdir, which needs Meson 0.57.
    run env DESTDIR="$work/consumer-prefix" meson install -C "$build"
    check_install "$work/consumer-prefix" nothing
    run meson setup --prefix "$work/prefix" "$work/top" "$source_dir"
    grep -q "^Project version: $(cat "$source_dir/VERSION")\$" "$work/log" || fail "meson.build's version is not VERSION's: $(cat "$work/log")"
    run meson test -C "$work/top"
    ! grep -q -- -Werror "$work/top/build.ninja" || fail "warnings are errors by default"
    run meson install -C "$work/top"
    check_install "$work/prefix" tool

    # The start of an aarch64 ELF program, as a packager's tool built by the wrong compiler would
    # be, named by the option's old name, host_tool, which 1.x keeps.
    printf '\177ELF\2\1\1\0\0\0\0\0\0\0\0\0\2\0\267\0' > "$work/foreign_tool" && chmod +x "$work/foreign_tool"
    if meson setup -Dcapability_header:host_tool="$work/foreign_tool" "$work/foreign" "$consumer" > "$work/foreign.log" 2>&1; then
        fail "a host tool for aarch64 was taken"
    fi
    grep -q "host_tool ($work/foreign_tool) does not run on this build machine: it is a program for aarch64, and this build machine is $(uname -m)" "$work/foreign.log" ||
        fail "the foreign host tool is not named: $(cat "$work/foreign.log")"
    before=$(stat -c %y "$header" "$build/cap_mask_names")
    touch "$consumer/subprojects/capability_header/generator/main.cpp"
    run meson compile -C "$build"
    [ "$tool" -nt "$build/cap_mask_names" ] || fail "the tool was not rebuilt"
    [ "$(stat -c %y "$header" "$build/cap_mask_names")" = "$before" ] || fail "an unchanged header was rewritten, or the consumer rebuilt"
    echo "ok: Meson subproject, native"
    ;;
cross)
    require_cross
    snippet docs/meson.md cross-file > "$work/aarch64.ini"
    # The subproject from a git repository of the copy, tagged with this version, through the wrap.
    upstream=$work/upstream
    mv "$consumer/subprojects/capability_header" "$upstream"
    git -C "$upstream" init -q
    git -C "$upstream" add -A
    git -C "$upstream" -c user.name=test -c user.email=test@example.org commit -q -m copy
    git -C "$upstream" tag "v$(cat "$source_dir/VERSION")"
    snippet docs/meson.md wrap | sed "s|^url = .*|url = $upstream|" > "$consumer/subprojects/capability_header.wrap"
    run meson setup --cross-file "$work/aarch64.ini" "$build" "$consumer"
    run meson compile -C "$build"
    program_for "$tool" "$build_machine"
    bash "$here/check_consumer.sh" "$build/cap_mask_names" "$header" aarch64 || fail "wrong result"
    echo "ok: Meson subproject, cross-compiled to aarch64 with a C-only cross file"

    # A packager's tool, named by the option executable: nothing of ours is compiled.
    cp "$tool" "$work/host_tool"
    run meson setup --cross-file "$work/aarch64.ini" -Dcapability_header:executable="$work/host_tool" "$work/host" "$consumer"
    run meson compile -C "$work/host"
    [ ! -e "$work/host/subprojects/capability_header/capability_header" ] || fail "the tool was built despite executable"
    bash "$here/check_consumer.sh" "$work/host/cap_mask_names" "$work/host/subprojects/capability_header/capability_names.h" aarch64 ||
        fail "wrong result with executable"
    echo "ok: Meson subproject, cross-compiled with a host tool"
    ;;
*) fail "unknown mode $mode" ;;
esac
