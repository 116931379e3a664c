# Sourced by the test scripts: a temporary folder of the script's own ($work, removed on exit),
# the golden header, and the ways a check ends.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
golden=$here/golden/capability_names.golden
work=$(mktemp -d "${TMPDIR:-/tmp}/capability_header_test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
# Ends a check that cannot run on this machine with CTest's skip status; under CI it fails.
skip() {
    [ "${CI:-}" != true ] || fail "$* (with CI=true nothing may be skipped)"
    echo "skipped: $*"
    exit 77
}
# Skips unless every command named is installed.
require() {
    local missing=() command
    for command in "$@"; do command -v "$command" > /dev/null || missing+=("$command"); done
    [ "${#missing[@]}" = 0 ] || skip "not installed: ${missing[*]} (bash tests/setup.sh installs them)"
}
# The real aarch64 cross toolchain: compilers, the emulator and its libraries, and `file`.
cross=aarch64-linux-gnu
qemu=(qemu-aarch64 -L /usr/$cross)
require_cross() { require $cross-gcc $cross-g++ qemu-aarch64 file; }
