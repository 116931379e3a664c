#!/usr/bin/env bash
# What capability_header costs a build that uses it, each figure beside its floor:
#   run:      the tool against a C program that writes the same header bytes with one write()
#             (wall time, instructions under callgrind, peak resident memory, heap use);
#   build:    compiling and linking the tool with one compiler command against a C hello world;
#   consumer: a clean configure and build of a C program that uses the header through CMake, on
#             the native route (the tool built there) and on the host-tool route, each against
#             the same program with the header checked in.
# Wall times are medians from hyperfine, in rounds that swap the order of the two commands.
# Usage: bash bench/run.sh [--quick]    --quick only checks that every step works
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
for command in hyperfine valgrind /usr/bin/time; do
    command -v $command > /dev/null || { echo "bench: $command is not installed (bash tools/setup.sh installs it)"; exit 1; }
done
runs=60 builds=31 consumers=11 quick=false
if [ "${1:-}" = --quick ]; then runs=3 builds=3 consumers=1 quick=true; fi
cxx=${CXX:-c++} cc=${CC:-cc}
golden=tests/golden/capability_names.golden
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
for program in capability_header floor; do
    "$work/$program" | cmp -s - "$golden" || { echo "$program does not write the golden header" >&2; exit 1; }
done

# The consumer floor: the example built against a checked-in copy of the header.
mkdir -p "$work/checked_in"
cp "$golden" "$work/checked_in/capability_names.h"
cat > "$work/checked_in/CMakeLists.txt" << EOF
cmake_minimum_required(VERSION 3.16)
project(checked_in LANGUAGES C)
add_executable(cap_mask_names $PWD/examples/cap_mask_names.c)
target_include_directories(cap_mask_names PRIVATE $work/checked_in)
EOF
consumer() {  # source-directory cmake-arguments...: a clean configure and build, as one command
    echo "rm -rf $work/consumer && cmake -S $1 -B $work/consumer -DCAPABILITY_HEADER_SOURCE=$PWD ${*:2} > /dev/null" \
         "&& cmake --build $work/consumer > /dev/null"
}

# Median wall times in microseconds of two commands, given as strings; after -N they are run
# without a shell and must not use its syntax.
time_pair() {  # runs [-N] command-a command-b
    local runs=$1 shell=() rounds round
    shift
    if [ "$1" = -N ]; then shell=(-N); shift; fi
    local a=$1 b=$2
    rounds=$(((runs + 2) / 3))
    : > "$work/rounds"
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) = 1 ]; then set -- "$a" "$b"; else set -- "$b" "$a"; fi
        hyperfine "${shell[@]}" --style none --warmup 1 --runs 3 --export-csv "$work/round.csv" "$@" \
            > "$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; return 1; }
        awk -F, -v a="$a" 'NR > 1 { print ($1 == a ? "a" : "b"), $4 * 1e6 }' "$work/round.csv" >> "$work/rounds"
    done
    for which in a b; do
        awk -v w="$which" '$1 == w { print $2 }' "$work/rounds" | sort -g |
            awk '{ v[NR] = $1 } END { printf "%.1f ", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    done
    echo
}
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 > /dev/null |
        sed -n 's/.*refs: *\([0-9,]*\).*/\1/p' | tr -d ,
}
heap() {
    valgrind --tool=memcheck "$1" 2>&1 > /dev/null |
        sed -n 's/.*total heap usage: \([0-9,]*\) allocs.* \([0-9,]*\) bytes allocated.*/\1 allocs, \2 bytes/p'
}
# Peak resident memory in KiB, the largest of five runs.
rss() { for _ in 1 2 3 4 5; do /usr/bin/time -f %M "$1" 2>&1 > /dev/null | tail -n 1; done | sort -n | tail -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v v="$1" 'BEGIN { printf "%.0f", v / 1000 }'; }

# Each step is captured before it is split, so that a failing step stops the script.
run_times=$(time_pair "$runs" -N "$work/capability_header" "$work/floor")
build_times=$(time_pair "$builds" -N "${build_tool[*]} -o $work/built" "${build_hello[*]} -o $work/hello")
native_times=$(time_pair "$consumers" "$(consumer tests/consumer)" "$(consumer "$work/checked_in")")
host_times=$(time_pair "$consumers" "$(consumer tests/consumer -DCAPABILITY_HEADER_EXECUTABLE="$work/capability_header")" \
                       "$(consumer "$work/checked_in")")
read -r run_tool run_floor <<< "$run_times"
read -r build_tool_us build_hello_us <<< "$build_times"
read -r native_us native_floor_us <<< "$native_times"
read -r host_us host_floor_us <<< "$host_times"
ins_tool=$(instructions "$work/capability_header") ins_floor=$(instructions "$work/floor")
heap_tool=$(heap "$work/capability_header") heap_floor=$(heap "$work/floor")
rss_tool=$(rss "$work/capability_header") rss_floor=$(rss "$work/floor")

echo "$(nproc) cores, $(uname -srm), $cxx $("$cxx" -dumpversion), cmake $(cmake --version | sed -n '1s/.* //p')," \
     "$(date +%Y-%m-%d); hyperfine $(hyperfine --version | cut -d' ' -f2)"
echo "runs: $runs of each program, builds: $builds of each, consumers: $consumers of each; in rounds of 3, the order swapped each round"
printf '%-26s %18s %18s %7s %8s\n' "" capability_header floor ratio goal
printf '%-26s %15s us %15s us %7s %8s\n' "run: wall time, median" "$run_tool" "$run_floor" "$(ratio "$run_tool" "$run_floor")" "<= 1.15"
printf '%-26s %18s %18s %7s %8s\n' "run: instructions" "$ins_tool" "$ins_floor" "$(ratio "$ins_tool" "$ins_floor")" "<= 1.5"
printf '%-26s %14s KiB %14s KiB %7s\n' "run: peak resident memory" "$rss_tool" "$rss_floor" "$(ratio "$rss_tool" "$rss_floor")"
printf '%-26s %18s %18s\n' "run: heap" "$heap_tool" "$heap_floor"
printf '%-26s %15s ms %15s ms %7s %8s\n' "build: compile and link" "$(ms "$build_tool_us")" "$(ms "$build_hello_us")" \
    "$(ratio "$build_tool_us" "$build_hello_us")" "<= 4"
printf '%-26s %15s ms %15s ms %7s\n' "consumer: native route" "$(ms "$native_us")" "$(ms "$native_floor_us")" \
    "$(ratio "$native_us" "$native_floor_us")"
printf '%-26s %15s ms %15s ms %7s\n' "consumer: host-tool route" "$(ms "$host_us")" "$(ms "$host_floor_us")" \
    "$(ratio "$host_us" "$host_floor_us")"
echo "(floors: $cc -O2 hello.c for the build; for the consumers, the same C program with"
echo " capability_names.h checked in, configured and built by CMake with Makefiles)"
if $quick; then echo "(--quick: too few runs for these times to mean anything)"; fi
