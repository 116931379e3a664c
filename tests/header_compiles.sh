#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Compiles the generated header as every C and C++ standard a C library may be built as, with
# warnings as errors, using gcc and clang where installed. Each program has two translation
# units, one with the name array and one without, each including the header twice; running it
# must give the names in the golden header, in order.
# Usage: header_compiles.sh HEADER
set -euo pipefail
header=$1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# "number name" for each slot line of the golden header, NULL for an empty slot.
sed -n -e 's/^      \/\* \([0-9]*\) \*\/\t"\(cap_[a-z0-9_]*\)", \\$/\1 \2/p' \
       -e 's/^      \/\* \([0-9]*\) \*\/\tNULL,.*/\1 NULL/p' "$golden" > "$work/expected"
[ -s "$work/expected" ] || { echo "no slot lines found in $golden"; exit 1; }

failures=0 compilers=0
check() {  # compiler language standard
    local program="$work/$1-$3"
    if ! "$1" -x "$2" -std="$3" -Wall -Wextra -pedantic-errors -Werror -I "$(dirname "$header")" \
         "$here/header/with_array.c" "$here/header/without_array.c" -o "$program"; then
        echo "FAIL: $1 -std=$3 does not compile the header"
        failures=$((failures + 1))
    elif ! "$program" > "$program.out" || ! cmp -s "$work/expected" "$program.out"; then
        echo "FAIL: $1 -std=$3: the names are not those of the golden header"
        diff "$work/expected" "$program.out" | head -5 || true
        failures=$((failures + 1))
    else
        echo "ok: $1 -std=$3"
    fi
}
for compiler in gcc clang; do
    command -v "$compiler" > /dev/null || { skipped "$compiler is not installed"; continue; }
    compilers=$((compilers + 1))
    for standard in c89 c99 c11 c17; do check "$compiler" c "$standard"; done
done
for compiler in g++ clang++; do
    command -v "$compiler" > /dev/null || { skipped "$compiler is not installed"; continue; }
    compilers=$((compilers + 1))
    for standard in c++98 c++11 c++17 c++20; do check "$compiler" c++ "$standard"; done
done
[ "$compilers" -gt 0 ] || { echo "no C or C++ compiler found"; exit 1; }
exit $((failures > 0))
