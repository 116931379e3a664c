#!/usr/bin/env bash
# Checks with the compiler that the generated header agrees with the installed kernel headers
# (<linux/capability.h>, from linux-libc-dev): each name it writes must be the kernel's constant
# for that number, and __CAP_BITS must be CAP_LAST_CAP + 1. Then checks that the same test fails
# on a copy of the header with two names swapped.
# Exits 77 (skipped) when there are no kernel headers, or when they define capabilities the
# header does not have yet, which it names.
# Usage: kernel_agreement.sh HEADER
set -euo pipefail
header=$1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
cxx=${CXX:-c++}

if ! echo '#include <linux/capability.h>' | "$cxx" -fsyntax-only -x c++ - 2> /dev/null; then
    skip "no <linux/capability.h> here; install the kernel headers (linux-libc-dev)"
fi

bits=$(sed -n 's/^#define __CAP_BITS  *\([0-9]*\)$/\1/p' "$header")
[ -n "$bits" ] || { echo "FAIL: no __CAP_BITS in $header"; exit 1; }
printf '#include <linux/capability.h>\nCAP_LAST_CAP\n' | "$cxx" -E -P -x c++ - | tail -n 1 > "$work/last"
last=$(tr -d ' ()' < "$work/last")
if [ "$last" -ge "$bits" ]; then
    echo "skipped: the kernel headers define capabilities beyond the header's $bits:"
    echo '#include <linux/capability.h>' | "$cxx" -dM -E -x c++ - |
        awk -v bits="$bits" '$1 == "#define" && $2 ~ /^CAP_/ && $2 != "CAP_LAST_CAP" &&
                             $3 ~ /^[0-9]+$/ && $3 + 0 >= bits { print "  " $2 " " $3 }'
    exit 77
fi

# Compiles the agreement test against header $1; one KERNEL_CAP line per name the header writes.
agrees() {
    mkdir -p "$work/check"
    cp "$1" "$work/check/capability_names.h"
    grep -o '"cap_[a-z0-9_]*"' "$1" | tr -d '"' | tr '[:lower:]' '[:upper:]' | sed 's/.*/KERNEL_CAP(&)/' \
        > "$work/check/kernel_caps.inc"
    [ -s "$work/check/kernel_caps.inc" ] || { echo "no names in $1"; return 1; }
    "$cxx" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I "$work/check" "$here/header/kernel_agreement.cpp"
}

if ! agrees "$header"; then
    echo "FAIL: the header does not agree with <linux/capability.h>"
    exit 1
fi
sed -e 's/"cap_chown"/"cap_swapped"/' -e 's/"cap_dac_override"/"cap_chown"/' \
    -e 's/"cap_swapped"/"cap_dac_override"/' "$header" > "$work/swapped.h"
if agrees "$work/swapped.h" 2> /dev/null; then
    echo "FAIL: a header with cap_chown and cap_dac_override swapped passed the check"
    exit 1
fi
echo "ok: all $(grep -c '"cap_' "$header") names and __CAP_BITS $bits agree with <linux/capability.h>"
