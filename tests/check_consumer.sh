#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Checks a consumer of the header, whatever built it: HEADER must be the golden header, and
# PROGRAM, examples/cap_mask_names.c built against it, must print the right names for masks as
# /proc/PID/status shows them and refuse malformed ones. With aarch64, PROGRAM must be an aarch64
# program, and runs under qemu-aarch64.
# Usage: check_consumer.sh PROGRAM HEADER [aarch64]
set -uo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
program=("$(realpath "$1")") header=$2
cmp -s "$golden" "$header" || fail "$header differs from the golden header"
if [ "${3:-}" = aarch64 ]; then
    program_for "$1" aarch64
    program=("${qemu[@]}" "${program[@]}")
fi
failures=0

expect() {  # status stdout stderr -- arguments
    local status=$1 out=$2 err=$3
    shift 4
    local got_out got_err got_status
    got_out=$("${program[@]}" "$@" 2> "$work/err")
    got_status=$?
    got_err=$(cat "$work/err")
    if [ "$got_status" != "$status" ] || [ "$got_out" != "$out" ] || [ "$got_err" != "$err" ]; then
        echo "FAIL: cap_mask_names $*: status $got_status, stdout:"
        echo "$got_out"
        echo "stderr: $got_err"
        failures=$((failures + 1))
    fi
}

expect 0 "cap_net_admin          12
cap_net_raw            13" "" -- 0000000000003000
expect 0 "cap_chown              0
unknown                63" "" -- 0x8000000000000001
expect 0 "" "" -- 0000000000000000
expect 0 "cap_kill               5" "" -- 00000000000000000000020
all=$("${program[@]}" 000001ffffffffff)
if [ "$(echo "$all" | wc -l)" != 41 ] || [ "$(echo "$all" | tail -n 1)" != "cap_checkpoint_restore 40" ]; then
    echo "FAIL: 000001ffffffffff does not give the 41 capabilities"
    failures=$((failures + 1))
fi

for bad in "" 0x 12g " 1" -1 "ff ff"; do
    expect 1 "" "cap_mask_names: not a hexadecimal capability mask: \"$bad\"" -- "$bad"
done
expect 1 "" 'cap_mask_names: capability mask wider than 64 bits: "10000000000000000"' -- 10000000000000000
usage='usage: cap_mask_names HEXMASK
prints the capabilities set in HEXMASK, a mask as in /proc/PID/status (CapEff: 000001ffffffffff)'
expect 2 "" "$usage" --
expect 2 "" "$usage" -- 1 2

[ "$failures" = 0 ] && echo "ok: $1 ${3:-}"
exit $((failures > 0))
