#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Runs tools/check_kernel.sh on the installed kernel headers, which the table must cover, and on
# capability.h files made from the table itself and then doctored: one with two capabilities
# beyond the table, whose rows it must print ready to paste and with --apply add to a copy of the
# table, and one with two numbers swapped, whose rows it must name. CXX is given with an argument,
# as "ccache g++" would be.
# Usage: kernel_agreement.sh
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
check=$here/../tools/check_kernel.sh
installed=/usr/include/linux/capability.h
[ -f "$installed" ] || skip "no $installed here; install the kernel headers (linux-libc-dev)"
export CXX="c++ -O0"

bash "$check" "$installed" || fail "the table does not agree with $installed"

# The table's rows as a kernel would define them, whatever kernel headers this machine has.
awk '/^    \{"cap_/ { gsub(/[{}",]/, " "); printf "#define %s %d\n", toupper($1), $2; last = $2 }
     END { printf "#define CAP_LAST_CAP %d\n", last }' "$here/../generator/cap_table.cpp" > "$work/table.h"
bits=$(sed -n 's/^#define __CAP_BITS *//p' "$golden")
refused() {  # name sed-script: check_kernel.sh must fail on a doctored copy; its report in $report
    mkdir -p "$work/$1/linux"
    sed -e "$2" "$work/table.h" > "$work/$1/linux/capability.h"
    if report=$(bash "$check" "$work/$1/linux/capability.h" 2>&1); then fail "$1: check_kernel.sh passed"; fi
}
refused new "s/^#define CAP_LAST_CAP .*/#define CAP_NEW_THING $bits\n#define CAP_A_MUCH_LONGER_NEW_NAME $((bits + 1))\n#define CAP_LAST_CAP $((bits + 1))/"
expected="    {\"cap_new_thing\",              $bits},
    {\"cap_a_much_longer_new_name\", $((bits + 1))},"
[[ $report == *"$expected"* ]] || fail "new: not the rows to add, aligned: $report"
grep -q 'golden header changes' <<< "$report" || fail "new: the golden header is not mentioned"

# --apply on a copy: the rows are added and aligned with the others, the golden header is the new
# tool's, and the table, now newer than the installed headers, still agrees with them.
mkdir -p "$work/repo/tests"
cp -R "$here/../generator" "$here/../tools" "$work/repo"
cp -R "$here/golden" "$work/repo/tests"
run bash "$work/repo/tools/check_kernel.sh" --apply "$work/new/linux/capability.h"
grep -q -F "$expected
    {nullptr,                      -1}," "$work/repo/generator/cap_table.cpp" || fail "--apply: the rows are not in the table"
grep -q -F '    {"cap_chown",                   0},' "$work/repo/generator/cap_table.cpp" || fail "--apply: the table is not aligned"
c++ -std=c++17 "$work"/repo/generator/*.cpp -o "$work/tool"
"$work/tool" | cmp -s - "$work/repo/tests/golden/capability_names.golden" || fail "--apply: the golden header is not the new tool's"
run bash "$work/repo/tools/check_kernel.sh" "$installed"

refused swapped 's/^#define CAP_CHOWN .*/#define CAP_CHOWN 1/; s/^#define CAP_DAC_OVERRIDE .*/#define CAP_DAC_OVERRIDE 0/'
for row in '{"cap_chown", 0}: the kernel numbers CAP_CHOWN 1' '{"cap_dac_override", 1}: the kernel numbers CAP_DAC_OVERRIDE 0'; do
    grep -qF "$row" <<< "$report" || fail "swapped: the rows are not named: $report"
done
[ "$(grep -c '^  {' <<< "$report")" = 2 ] || fail "swapped: more rows named than the two: $report"
echo "ok: check_kernel.sh passes the installed headers, adds new capabilities and refuses swapped ones"
