#!/usr/bin/env bash
# Compares the capability table in generator/cap_table.cpp with a kernel's capability.h, reading
# both through the compiler: every row must be the kernel's constant for its number, and the
# kernel's CAP_LAST_CAP + 1 the table's bit count. When the kernel has capabilities the table
# lacks, it prints the rows to add, ready to paste above the sentinel.
# Usage: tools/check_kernel.sh [CAPABILITY_H]    default: /usr/include/linux/capability.h
#   CAPABILITY_H may also be a kernel tree's include/uapi/linux/capability.h.
# Exit status: 0 when they agree, 1 when they do not, 2 when the check cannot be made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
header=${1:-/usr/include/linux/capability.h}
cxx=${CXX:-c++}
[ -f "$header" ] || { echo "check_kernel: no such file: $header (the kernel headers are in linux-libc-dev)" >&2; exit 2; }
header=$(realpath "$header")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compile() { "$cxx" -std=c++17 "$@" 2> "$work/errors" || { cat "$work/errors" >&2; exit 2; }; }

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
compile -I "$root/generator" "$work/table.cpp" "$root/generator/cap_table.cpp" -o "$work/table"
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

awk -v header="$header" '
    FNR == NR { if ($2 == "CAP_LAST_CAP") last = $1; else { kernel[tolower($2)] = $1; numbers[$1] = tolower($2) }; next }
    { table[$2] = $1; order[++rows] = $2; if ($1 + 1 > bits) bits = $1 + 1; if (length($2) > longest) longest = length($2) }
    END {
        for (i = 1; i <= rows; i++)
            if (!((name = order[i]) in kernel))
                differ = differ sprintf("  {\"%s\", %d}: %s has no %s\n", name, table[name], header, toupper(name))
            else if (kernel[name] != table[name])
                differ = differ sprintf("  {\"%s\", %d}: the kernel numbers %s %d\n", name, table[name], toupper(name), kernel[name])
        for (number = 0; number <= last; number++)
            if ((number in numbers) && !(numbers[number] in table)) {
                add[++added] = number
                if (length(numbers[number]) > longest) longest = length(numbers[number])
            }
        if (differ != "") printf "FAIL: these rows of generator/cap_table.cpp differ from %s:\n%s", header, differ
        if (added > 0) {
            printf "FAIL: %s has capabilities the table lacks. Add these rows above the sentinel in generator/cap_table.cpp:\n", header
            for (i = 1; i <= added; i++)
                printf "    {%-*s%2d},\n", longest + 4, "\"" numbers[add[i]] "\",", add[i]
            print "The golden header changes with them: save the new tool'"'"'s output as tests/golden/capability_names.golden."
        } else if (last + 1 != bits)
            printf "FAIL: the kernel'"'"'s CAP_LAST_CAP + 1 is %d, the table'"'"'s bit count %d\n", last + 1, bits
        if (differ != "" || added > 0 || last + 1 != bits) exit 1
        printf "ok: the %d rows of the table agree with %s (CAP_LAST_CAP %d)\n", rows, header, last
    }' "$work/kernel.txt" "$work/table.txt"
