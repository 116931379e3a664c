#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Compares the capability table in generator/cap_table.cpp with a kernel's capability.h, reading
# both through the compiler: every capability of the kernel must be in the table with the kernel's
# number, and every row up to the kernel's CAP_LAST_CAP must be the kernel's constant for its
# number. Rows beyond CAP_LAST_CAP are capabilities of a newer kernel, and fine. When the kernel
# has capabilities the table lacks, it prints the rows to add; with --apply it adds them above the
# sentinel, aligns the table and saves the new tool's output as the golden header, so that a new
# kernel is one command and a diff to review.
# Usage: tools/check_kernel.sh [--apply] [CAPABILITY_H]    default: /usr/include/linux/capability.h
#   CAPABILITY_H may also be a kernel tree's include/uapi/linux/capability.h. CXX may carry
#   arguments ("ccache g++").
# Exit status: 0 when they agree (or the rows were added), 1 when they do not, 2 when the check
# cannot be made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
apply=false
if [ "${1:-}" = --apply ]; then apply=true; shift; fi
header=${1:-/usr/include/linux/capability.h}
read -ra cxx <<< "${CXX:-c++}"
table=$root/generator/cap_table.cpp golden=$root/tests/golden/capability_names.golden
[ -f "$header" ] || { echo "check_kernel: no such file: $header (the kernel headers are in linux-libc-dev)" >&2; exit 2; }
header=$(realpath "$header")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compile() { "${cxx[@]}" -std=c++17 "$@" 2> "$work/errors" || { cat "$work/errors" >&2; exit 2; }; }

# Searched first when the file is a linux/capability.h, so that what it includes comes from the
# same kernel tree, where that tree has it.
includes=()
[ "$(basename "$(dirname "$header")")" != linux ] || includes=(-I "$(dirname "$(dirname "$header")")")

# The table as "number name" lines.
cat > "$work/table.cpp" << 'PROGRAM'
#include <cstdio>

#include "cap_table.h"

int main() {
    for (const cap_row *row = cap_table; row->name != nullptr; ++row)
        std::printf("%d %s\n", static_cast<int>(row->number), row->name);
}
PROGRAM
compile -I "$root/generator" "$work/table.cpp" "$table" -o "$work/table"
"$work/table" > "$work/table.txt"

# The kernel's constants as "number NAME" lines: every object-like CAP_ macro, CAP_LAST_CAP too.
compile -x c++ -E -dM "${includes[@]}" -include "$header" /dev/null -o "$work/macros"
awk '$1 == "#define" && $2 ~ /^CAP_[A-Z0-9_]+$/ { print $2 }' "$work/macros" | sort > "$work/names"
[ -s "$work/names" ] || { echo "check_kernel: $header defines no capabilities" >&2; exit 2; }
{
    echo '#include <cstdio>'
    echo "#include \"$header\""
    echo 'int main() {'
    sed 's/.*/    std::printf("%ld &\\n", static_cast<long>(&));/' "$work/names"
    echo '}'
} > "$work/kernel.cpp"
compile "${includes[@]}" "$work/kernel.cpp" -o "$work/kernel"
"$work/kernel" > "$work/kernel.txt"

# Prints the report; the rows to add, as "number name", go to $work/add.
status=0
awk -v header="$header" -v add="$work/add" '
    FNR == NR { if ($2 == "CAP_LAST_CAP") last = $1; else { kernel[tolower($2)] = $1; numbers[$1] = tolower($2) }; next }
    { table[$2] = $1; order[++rows] = $2 }
    END {
        for (i = 1; i <= rows; i++)
            if (!((name = order[i]) in kernel)) {
                if (table[name] <= last)
                    differ = differ sprintf("  {\"%s\", %d}: %s has no %s\n", name, table[name], header, toupper(name))
                else
                    newer++
            } else if (kernel[name] != table[name])
                differ = differ sprintf("  {\"%s\", %d}: the kernel numbers %s %d\n", name, table[name], toupper(name), kernel[name])
        for (number = 0; number <= last; number++)
            if ((number in numbers) && !(numbers[number] in table)) {
                print number, numbers[number] > add
                missing = missing "  " numbers[number] " " number "\n"
            }
        if (differ != "") printf "FAIL: these rows of generator/cap_table.cpp differ from %s:\n%s", header, differ
        if (missing != "") printf "FAIL: %s has capabilities the table lacks:\n%s", header, missing
        if (differ != "") exit 1
        if (missing != "") exit 3
        printf "ok: the %d rows of the table agree with %s (CAP_LAST_CAP %d)", rows, header, last
        if (newer > 0) printf "; %d newer rows", newer
        print ""
    }' "$work/kernel.txt" "$work/table.txt" || status=$?
[ "$status" != 0 ] && [ -s "$work/add" ] || exit "$status"

# The table's rows, the missing ones added, with the names padded to the longest and the numbers
# right-aligned, as the table is written; the sentinel closes them.
aligned() {
    sort -n -k 1,1 "$work/table.txt" "$work/add" | awk '
        { number[NR] = $1; name[NR] = "\"" $2 "\","; if (length(name[NR]) > width) width = length(name[NR]) }
        END {
            for (i = 1; i <= NR; i++) printf "    {%-*s %2d},\n", width, name[i], number[i]
            printf "    {%-*s -1},\n", width, "nullptr,"
        }'
}
if ! $apply || [ "$status" != 3 ]; then
    echo "Add these rows above the sentinel in generator/cap_table.cpp, or run tools/check_kernel.sh --apply:"
    aligned | grep -F -f <(awk '{ print "\"" $2 "\"" }' "$work/add")
    echo "The golden header changes with them: save the new tool's output as tests/golden/capability_names.golden."
    ! $apply || echo "check_kernel: nothing applied: --apply adds rows only to a table whose other rows agree"
    exit 1
fi
aligned > "$work/rows"
awk -v rows="$work/rows" '
    /^    \{("cap_[a-z0-9_]+",|nullptr,) *-?[0-9]+\},$/ { if (!done) { while ((getline line < rows) > 0) print line; done = 1 }; next }
    { print }' "$table" > "$work/cap_table.cpp"
cp "$work/cap_table.cpp" "$table"
compile -O2 -I "$root/generator" "$table" "$root/generator/main.cpp" -o "$work/tool"
if [ -d "$(dirname "$golden")" ]; then
    "$work/tool" > "$golden"
    echo "check_kernel: added $(wc -l < "$work/add") rows to generator/cap_table.cpp and saved the golden header; review them with git diff"
else
    echo "check_kernel: added $(wc -l < "$work/add") rows to generator/cap_table.cpp; review them with git diff"
fi
