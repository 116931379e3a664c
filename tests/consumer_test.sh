#!/usr/bin/env bash
# Builds tests/consumer, a C project that takes this project in through add_subdirectory, the
# ways a library's build would: natively with the Makefile and Ninja generators, and
# cross-compiling with an emulator, with a host-built tool, and with neither. Checks the header
# against the golden file, when it is regenerated, and that a failing tool fails the build and
# leaves no capability_names.h behind.
# Usage: consumer_test.sh SOURCE_DIR GOLDEN HOST_TOOL
set -euo pipefail
source_dir=$(realpath "$1") golden=$(realpath "$2") host_tool=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of the project, so that touching its sources leaves the real tree alone.
src=$work/src
mkdir -p "$src"
cp -R "$source_dir/CMakeLists.txt" "$source_dir/cmake" "$source_dir/generator" "$source_dir/examples" "$src"

fail() { echo "FAIL: $*"; exit 1; }
configure() {  # build-directory cmake-arguments...
    local dir=$work/$1
    shift
    cmake -S "$here/consumer" -B "$dir" -DCAPABILITY_HEADER_SOURCE="$src" "$@" > "$dir.log" 2>&1
}
build() { cmake --build "$work/$1" >> "$work/$1.log" 2>&1; }
must_configure() { configure "$@" || fail "$1: configure failed: $(cat "$work/$1.log")"; }
must_build() { build "$1" || fail "$1: build failed: $(cat "$work/$1.log")"; }
# Configure must stop with a message; a capability_header on PATH and a relative path to nowhere
# must not help it.
must_refuse() {  # build-directory message cmake-arguments...
    local dir=$1 message=$2
    shift 2
    if (cd "$work" && PATH="$work/path:$PATH" configure "$dir" "$@"); then fail "$dir: configure succeeded"; fi
    grep -q -- "$message" "$work/$dir.log" || fail "$dir: no clear message: $(cat "$work/$dir.log")"
}
# The build log with its lines joined, since CMake wraps long messages.
logged() { tr -s ' \n' '  ' < "$work/$1.log" | grep -q -- "$2"; }
header() { echo "$work/$1/capability_header/capability_names/capability_names.h"; }
stamp() { stat -c %y "$(header "$1")"; }
expect_golden() { cmp -s "$golden" "$(header "$1")" || fail "$1: capability_names.h differs from the golden header"; }
expect_no_header() {
    [ ! -e "$(header "$1")" ] && [ ! -e "$(header "$1").tmp" ] || fail "$1: a failed run left a header behind"
}

generators=("Unix Makefiles")
command -v ninja > /dev/null && generators+=(Ninja) || echo "note: ninja is not installed, only Makefiles tested"
for generator in "${generators[@]}"; do
    dir=native-${generator// /-}
    must_configure "$dir" -G "$generator"
    must_build "$dir"
    expect_golden "$dir"
    bash "$here/example_test.sh" "$work/$dir/cap_mask_names" || fail "$dir: the example does not work"
    [ ! -e "$work/$dir/capability_header/tests" ] || fail "$dir: the consumer's build configured our tests"

    before=$(stamp "$dir")
    build "$dir"
    [ "$(stamp "$dir")" = "$before" ] || fail "$dir: the header was regenerated though nothing changed"
    touch "$src/generator/main.cpp"
    build "$dir"
    [ "$(stamp "$dir")" != "$before" ] || fail "$dir: the header was not regenerated after the tool was rebuilt"
    expect_golden "$dir"
    echo "ok: native build with $generator"
done

# Cross-compiling, with an emulator given as a list: the tool built here is run through it.
printf '#!/bin/sh\necho "$@" >> "%s"\nexec "$@"\n' "$work/emulator.log" > "$work/emulator.sh"
must_configure cross-emulator -DCMAKE_SYSTEM_NAME=Linux "-DCMAKE_CROSSCOMPILING_EMULATOR=/bin/sh;$work/emulator.sh"
must_build cross-emulator
expect_golden cross-emulator
grep -q 'capability_header$' "$work/emulator.log" || fail "cross-emulator: the emulator did not run the tool"
echo "ok: cross-compiling with an emulator"

# Cross-compiling with a host-built tool: that tool writes the header, the target's is not built.
must_configure cross-host -DCMAKE_SYSTEM_NAME=Linux -DCAPABILITY_HEADER_EXECUTABLE="$host_tool"
must_build cross-host
expect_golden cross-host
[ ! -e "$work/cross-host/capability_header/capability_header" ] || fail "cross-host: the target's tool was built"
echo "ok: cross-compiling with a host-built tool"

# Cross-compiling with neither stops at configure time, even with a capability_header on PATH.
mkdir -p "$work/path"
cp "$host_tool" "$work/path/capability_header"
must_refuse cross-none CAPABILITY_HEADER_EXECUTABLE -DCMAKE_SYSTEM_NAME=Linux
must_refuse cross-relative 'must be the absolute path' -DCMAKE_SYSTEM_NAME=Linux -DCAPABILITY_HEADER_EXECUTABLE=path/nothing
echo "ok: cross-compiling without a host tool stops at configure time"

# A tool that fails, first after a good run: the build fails with its message and the old
# header goes too. Then a tool that exits 0 but writes half a header.
tool=$work/fake_tool
printf '#!/bin/sh\ncat "%s"\n' "$golden" > "$tool" && chmod +x "$tool"
must_configure failing -DCMAKE_SYSTEM_NAME=Linux -DCAPABILITY_HEADER_EXECUTABLE="$tool"
must_build failing
expect_golden failing
printf '#!/bin/sh\nhead -c 100 "%s"\nprintf "out of memory" >&2\nexit 1\n' "$golden" > "$tool"
if build failing; then fail "failing: the build succeeded with a failing tool"; fi
logged failing "capability_names.h was not generated: $tool exited with status 1. out of memory" ||
    fail "failing: the tool's message is not shown: $(cat "$work/failing.log")"
expect_no_header failing
printf '#!/bin/sh\nhead -n 20 "%s"\n' "$golden" > "$tool"
if build failing; then fail "failing: the build succeeded with a truncated header"; fi
logged failing "$tool exited with status 0 but did not write a complete header" || fail "failing: truncation not reported"
expect_no_header failing
echo "ok: a failing tool fails the build and leaves no header"
