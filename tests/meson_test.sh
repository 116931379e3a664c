#!/usr/bin/env bash
# Builds tests/meson_consumer, a C-only Meson project that takes in a copy of this project made by
# tools/vendor.sh as the subproject capability_header, and checks the result with check_consumer.sh.
#   native  also: a rebuilt tool that prints the same header recompiles nothing; this project on
#           its own passes meson test and installs the tool; a host tool for another machine
#   cross   a real aarch64 cross build from a C-only cross file with no exe_wrapper: the tool
#           must be a program for this machine, the consumer an aarch64 program
# Usage: meson_test.sh SOURCE_DIR native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1") mode=$2
require meson ninja

consumer=$work/consumer build=$work/build
mkdir -p "$consumer/subprojects/capability_header"
cp "$here/meson_consumer/meson.build" "$source_dir/examples/cap_mask_names.c" "$consumer"
run bash "$source_dir/tools/vendor.sh" "$consumer/subprojects/capability_header" meson
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
    run meson test -C "$work/top"
    ! grep -q -- -Werror "$work/top/build.ninja" || fail "warnings are errors by default"
    run meson install -C "$work/top"
    check_install "$work/prefix" tool

    # The start of an aarch64 ELF program, as a host tool built by the wrong compiler would be.
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
    printf '%s\n' "[binaries]" "c = '$cross-gcc'" "strip = '$cross-strip'" "[host_machine]" "system = 'linux'" \
        "cpu_family = 'aarch64'" "cpu = 'aarch64'" "endian = 'little'" > "$work/aarch64.ini"
    run meson setup --cross-file "$work/aarch64.ini" "$build" "$consumer"
    run meson compile -C "$build"
    program_for "$tool" "$build_machine"
    bash "$here/check_consumer.sh" "$build/cap_mask_names" "$header" aarch64 || fail "wrong result"
    echo "ok: Meson subproject, cross-compiled to aarch64 with a C-only cross file"

    # A packager's host tool, named by the option host_tool: nothing of ours is compiled.
    cp "$tool" "$work/host_tool"
    run meson setup --cross-file "$work/aarch64.ini" -Dcapability_header:host_tool="$work/host_tool" "$work/host" "$consumer"
    run meson compile -C "$work/host"
    [ ! -e "$work/host/subprojects/capability_header/capability_header" ] || fail "the tool was built despite host_tool"
    bash "$here/check_consumer.sh" "$work/host/cap_mask_names" "$work/host/subprojects/capability_header/capability_names.h" aarch64 ||
        fail "wrong result with host_tool"
    echo "ok: Meson subproject, cross-compiled with a host tool"
    ;;
*) fail "unknown mode $mode" ;;
esac
