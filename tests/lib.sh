# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this
# Sourced by the test scripts: a temporary folder of the script's own ($work, removed on exit),
# the golden header, and the ways a check ends.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
golden=$here/golden/capability_names.golden
work=$(mktemp -d "${TMPDIR:-/tmp}/capability_header_test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
# Says that a check cannot run on this machine, and why; under CI, where nothing may be skipped,
# it fails instead. skip also ends the script with CTest's skip status.
skipped() {
    [ "${CI:-}" != true ] || fail "$* (with CI=true nothing may be skipped)"
    echo "skipped: $*"
}
skip() { skipped "$@"; exit 77; }
# Runs a command with its output kept in a log that is shown only when it fails.
run() { "$@" > "$work/log" 2>&1 || fail "$*: $(cat "$work/log")"; }
# Fails unless FILE is a program for MACHINE, as `file` names it (x86-64, aarch64).
program_for() { file -L "$1" | grep -q "$2" || fail "not a program for $2: $(file -L "$1")"; }
# This machine as `file` names it.
build_machine=$(uname -m | tr _ -)
# Skips unless every command named is installed.
require() {
    local missing=() command
    for command in "$@"; do command -v "$command" > /dev/null || missing+=("$command"); done
    [ "${#missing[@]}" = 0 ] || skip "not installed: ${missing[*]} (bash tools/setup.sh installs them)"
}
# A failed run must leave neither the header nor its temporary file.
no_header() {
    local file
    for file in "$1" "$1.tmp"; do [ ! -e "$file" ] || fail "a failed run left $file behind"; done
}
# An install of this project puts only bin/capability_header in PREFIX, which prints the golden
# header; a consumer's install puts nothing of ours there.
check_install() {  # prefix tool|nothing
    local files
    files=$(if [ -d "$1" ]; then cd "$1" && find . -type f -o -type l | sort; fi)
    if [ "$2" = tool ]; then
        [ "$files" = ./bin/capability_header ] || fail "the install has more or less than the tool: $files"
        "$1/bin/capability_header" | cmp -s - "$golden" || fail "the installed tool does not print the golden header"
    elif grep -q capability <<< "$files"; then
        fail "a consumer's install has files of ours: $files"
    fi
}
# The real aarch64 cross toolchain: compilers, the emulator and its libraries, and `file`.
cross=aarch64-linux-gnu
qemu=(qemu-aarch64 -L "/usr/$cross")
require_cross() { require $cross-gcc $cross-g++ qemu-aarch64 file; }
