#!/usr/bin/env bash
# What capability_header costs a build that uses it, each figure beside its floor:
#   run:   the tool against a C program that writes the same header bytes with one write()
#          (wall time, instructions under callgrind, peak resident memory, heap use);
#   build: compiling and linking the tool with one compiler command against a C hello world.
# Wall times are medians over alternating runs: hyperfine in rounds that swap the order when it
# is installed, else bench/timer.c, which alternates run by run.
# Usage: bash bench/run.sh [--quick]    --quick only checks that every step works
set -euo pipefail
cd "$(dirname "$0")/.."
runs=60 builds=31 quick=false
if [ "${1:-}" = --quick ]; then runs=3 builds=3 quick=true; fi
cxx=${CXX:-c++} cc=${CC:-cc}
golden=tests/golden/capability_names.golden
hyperfine=$(command -v hyperfine || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The floor: the golden header as a byte array, written with a single write().
{
    echo '#include <unistd.h>'
    echo 'static const unsigned char header[] = {'
    od -An -v -tx1 "$golden" | sed 's/ *\([0-9a-f][0-9a-f]\)/0x\1,/g'
    echo '};'
    echo 'int main(void) { return write(1, header, sizeof header) == (ssize_t)sizeof header ? 0 : 1; }'
} > "$work/floor.c"
printf '#include <stdio.h>\nint main(void) { puts("hello, world"); return 0; }\n' > "$work/hello.c"
build_tool=("$cxx" -std=c++17 -O2 generator/*.cpp)
build_hello=("$cc" -O2 "$work/hello.c")

"$cc" -O2 "$work/floor.c" -o "$work/floor"
"${build_tool[@]}" -o "$work/capability_header"
"$cc" -std=c99 -O2 -Wall -Wextra bench/timer.c -o "$work/timer"
for program in capability_header floor; do
    "$work/$program" | cmp -s - "$golden" || { echo "$program does not write the golden header" >&2; exit 1; }
done

# Median wall times in microseconds of two commands, given as strings without shell syntax.
time_pair() {  # runs command-a command-b
    local runs=$1 a=$2 b=$3
    if [ -n "$hyperfine" ]; then
        local rounds=$(((runs + 2) / 3)) round
        : > "$work/rounds"
        for round in $(seq "$rounds"); do
            if [ $((round % 2)) = 1 ]; then set -- "$a" "$b"; else set -- "$b" "$a"; fi
            hyperfine -N --style none --warmup 2 --runs 3 --export-csv "$work/round.csv" "$@" \
                > "$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; return 1; }
            awk -F, -v a="$a" 'NR > 1 { print ($1 == a ? "a" : "b"), $4 * 1e6 }' "$work/round.csv" >> "$work/rounds"
        done
        for which in a b; do
            awk -v w="$which" '$1 == w { print $2 }' "$work/rounds" | sort -g |
                awk '{ v[NR] = $1 } END { printf "%.1f ", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
        done
        echo
    else
        # shellcheck disable=SC2086
        "$work/timer" "$runs" $a -- $b | awk '{ printf "%s ", $1 } END { print "" }'
    fi
}
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 > /dev/null |
        sed -n 's/.*refs: *\([0-9,]*\).*/\1/p' | tr -d ,
}
heap() {
    valgrind --tool=memcheck "$1" 2>&1 > /dev/null |
        sed -n 's/.*total heap usage: \([0-9,]*\) allocs.* \([0-9,]*\) bytes allocated.*/\1 allocs, \2 bytes/p'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Each step is captured before it is split, so that a failing step stops the script.
run_times=$(time_pair "$runs" "$work/capability_header" "$work/floor")
rss=$("$work/timer" 5 "$work/capability_header" -- "$work/floor" | awk '{ printf "%s ", $2 }')
build_times=$(time_pair "$builds" "${build_tool[*]} -o $work/built" "${build_hello[*]} -o $work/hello")
read -r run_tool run_floor <<< "$run_times"
read -r rss_tool rss_floor <<< "$rss"
read -r build_tool_us build_hello_us <<< "$build_times"
if command -v valgrind > /dev/null; then
    ins_tool=$(instructions "$work/capability_header") ins_floor=$(instructions "$work/floor")
    ins_ratio=$(ratio "$ins_tool" "$ins_floor") heap_tool=$(heap "$work/capability_header") heap_floor=$(heap "$work/floor")
else
    ins_tool="n/a" ins_floor="n/a" ins_ratio="n/a" heap_tool="n/a" heap_floor="n/a"
fi

timer_name=bench/timer.c rounds="alternating run by run"
if [ -n "$hyperfine" ]; then
    timer_name="hyperfine $(hyperfine --version | cut -d' ' -f2)" rounds="in rounds of 3, the order swapped each round"
fi
echo "$(nproc) cores, $(uname -srm), $cxx $("$cxx" -dumpversion), $(date +%Y-%m-%d); wall times: $timer_name"
echo "runs: $runs of each program, builds: $builds of each, $rounds"
printf '%-26s %18s %18s %7s %8s\n' "" capability_header floor ratio goal
printf '%-26s %15s us %15s us %7s %8s\n' "run: wall time, median" "$run_tool" "$run_floor" "$(ratio "$run_tool" "$run_floor")" "<= 1.15"
printf '%-26s %18s %18s %7s %8s\n' "run: instructions" "$ins_tool" "$ins_floor" "$ins_ratio" "<= 1.5"
printf '%-26s %14s KiB %14s KiB %7s\n' "run: peak resident memory" "$rss_tool" "$rss_floor" "$(ratio "$rss_tool" "$rss_floor")"
printf '%-26s %18s %18s\n' "run: heap" "$heap_tool" "$heap_floor"
printf '%-26s %15.0f ms %15.0f ms %7s %8s\n' "build: compile and link" "$(awk -v v="$build_tool_us" 'BEGIN { print v / 1000 }')" \
    "$(awk -v v="$build_hello_us" 'BEGIN { print v / 1000 }')" "$(ratio "$build_tool_us" "$build_hello_us")" "<= 4"
echo "(build floor: $cc -O2 hello.c; tool: $cxx -std=c++17 -O2 generator/*.cpp)"
if $quick; then echo "(--quick: too few runs for these times to mean anything)"; fi
