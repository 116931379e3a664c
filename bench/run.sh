#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# What capability_header costs a build that uses it, each figure beside its floor:
#   run:       the tool against a C program that writes the same header bytes with one write()
#              (wall time, instructions under callgrind, peak resident memory, heap use);
#   build:     compiling and linking the tool with one compiler command against a C hello world;
#   consumer:  a clean configure and build of tests/consumer, a C library that uses the header
#              through CMake, on the native route (the tool built there) and on the host-tool
#              route, each against the same library with the header checked in; and its cross
#              build to aarch64 (the tool built for this machine at configure time) against its
#              native build;
#   autotools: the configure of examples/autotools against the same configure without our macro
#              and fragment.
# Wall times are medians from hyperfine, in rounds that swap the order of the two commands. Where
# hyperfine is missing (Debian 11 has no package of it), the wall times are skipped and the rest
# is measured.
# Usage: bash bench/run.sh [--quick]    --quick only checks that every step works
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
for command in valgrind /usr/bin/time autoreconf libtoolize aarch64-linux-gnu-gcc; do
    command -v $command > /dev/null || { echo "bench: $command is not installed (bash tools/setup.sh installs it)"; exit 1; }
done
hyperfine=true
command -v hyperfine > /dev/null ||
    { hyperfine=false; echo "bench: hyperfine is not installed, so the wall times are skipped"; }
runs=60 builds=31 consumers=11 per_round=(--warmup 1 --runs 3) quick=false
if [ "${1:-}" = --quick ]; then runs=3 builds=3 consumers=1 per_round=(--warmup 0 --runs 1) quick=true; fi
read -ra cxx <<< "${CXX:-c++}"
read -ra cc <<< "${CC:-cc}"
# shellcheck source=../tests/lib.sh
source tests/lib.sh

# The floor: the golden header as a byte array, written with a single write().
{
    echo '#include <unistd.h>'
    echo 'static const unsigned char header[] = {'
    od -An -v -tx1 "$golden" | sed 's/ *\([0-9a-f][0-9a-f]\)/0x\1,/g'
    echo '};'
    echo 'int main(void) { return write(1, header, sizeof header) == (ssize_t)sizeof header ? 0 : 1; }'
} > "$work/floor.c"
printf '#include <stdio.h>\nint main(void) { puts("hello, world"); return 0; }\n' > "$work/hello.c"
build_tool=("${cxx[@]}" -std=c++17 -O2 generator/*.cpp)
build_hello=("${cc[@]}" -O2 "$work/hello.c")

"${cc[@]}" -O2 "$work/floor.c" -o "$work/floor"
"${build_tool[@]}" -o "$work/capability_header"
for program in capability_header floor; do
    "$work/$program" | cmp -s - "$golden" || { echo "$program does not write the golden header" >&2; exit 1; }
done

# The library of tests/consumer, and as its floor the same library with the header checked in.
library "$work/lib" cmake
mkdir -p "$work/checked_in"
cp -R "$work/lib/src" "$work/checked_in"
cp "$golden" "$work/checked_in/capability_names.h"
cat > "$work/checked_in/CMakeLists.txt" << 'EOF'
cmake_minimum_required(VERSION 3.18)
project(checked_in LANGUAGES C)
option(BUILD_SHARED_LIBS "" ON)
include_directories(${CMAKE_CURRENT_SOURCE_DIR} src)
add_library(cap_names src/cap_names.c)
target_link_libraries(cap_names PRIVATE m)
add_executable(mylib_test src/check_cap_names.c src/cap_names.c)
add_executable(cap_mask_names src/cap_mask_names.c)
EOF
toolchain "$work/aarch64.cmake" cxx
consumer() {  # source-directory cmake-arguments...: a clean configure and build, as one command
    printf 'rm -rf %q && cmake -S %q -B %q' "$work/consumer" "$1" "$work/consumer"
    printf ' %q' "${@:2}"
    printf ' > /dev/null && cmake --build %q > /dev/null' "$work/consumer"
}

# The autotools example's configure, with our macro and fragment and without them, each run in a
# build folder of its own.
for variant in with without; do
    cp -RL examples/autotools "$work/$variant"
    rm -rf "$work/$variant/capability_header"
    bash tools/vendor.sh "$work/$variant/capability_header" autotools > /dev/null
    mkdir "$work/$variant-build"
done
sed -i '/^CAPABILITY_HEADER_PROG_CXX_FOR_BUILD$/d' "$work/without/configure.ac"
sed -i '/^include .*capability_names.am$/d' "$work/without/src/Makefile.am"
for variant in with without; do
    (cd "$work/$variant" && autoreconf -i > "$work/autoreconf.log" 2>&1) || { cat "$work/autoreconf.log" >&2; exit 1; }
done
configure() { printf 'cd %q && %q -q' "$work/$1-build" "$work/$1/configure"; }

# Median wall times in microseconds of two commands, given as strings and run as the shell option
# says (-N: without a shell, so they must not use its syntax; --shell=bash); "-" without hyperfine.
time_pair() {  # runs shell-option command-a command-b
    local runs=$1 shell=$2 a=$3 b=$4 rounds round
    if ! $hyperfine; then echo "- -"; return; fi
    rounds=$(((runs + ${per_round[-1]} - 1) / ${per_round[-1]}))
    : > "$work/rounds"
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) = 1 ]; then set -- "$a" "$b"; else set -- "$b" "$a"; fi
        hyperfine "$shell" --style none "${per_round[@]}" --export-csv "$work/round.csv" "$@" \
            > "$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; return 1; }
        # The median column is "median" up to hyperfine 1.x, "time_wall_clock_median" from 2.0,
        # which may also give another unit than seconds.
        awk -F, -v a="$a" '
            NR == 1 { for (i = NF; i > 1; i--) { if ($i ~ /^(time_wall_clock_)?median$/) m = i; if ($i == "time_wall_clock_unit") u = i }; next }
            { scale = u == "" || $u == "s" ? 1e6 : $u == "ms" ? 1e3 : 1; print ($1 == a ? "a" : "b"), $m * scale }' \
            "$work/round.csv" >> "$work/rounds"
    done
    for which in a b; do
        awk -v w="$which" '$1 == w { print $2 }' "$work/rounds" | sort -g |
            awk '{ v[NR] = $1 } END { if (!(v[1] > 0)) exit 1; printf "%.1f ", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }' ||
            { echo "bench: no times read from hyperfine's report: $(cat "$work/round.csv")" >&2; return 1; }
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
# Milliseconds from microseconds, and ratios; "-" and "skipped" for wall times not measured.
ms() { if [ "$1" = - ]; then echo -; else awk -v v="$1" 'BEGIN { printf "%.0f", v / 1000 }'; fi; }
ratio() { if [ "$1" = - ]; then echo skipped; else awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; fi; }

# Each step is captured before it is split, so that a failing step stops the script.
run_times=$(time_pair "$runs" -N "$(printf %q "$work/capability_header")" "$(printf %q "$work/floor")")
build_times=$(time_pair "$builds" -N "${build_tool[*]} -o $work/built" "${build_hello[*]} -o $work/hello")
native_times=$(time_pair "$consumers" --shell=bash "$(consumer "$work/lib")" "$(consumer "$work/checked_in")")
host_times=$(time_pair "$consumers" --shell=bash "$(consumer "$work/lib" -DCAPABILITY_HEADER_EXECUTABLE="$work/capability_header")" \
                       "$(consumer "$work/checked_in")")
cross_times=$(time_pair "$consumers" --shell=bash "$(consumer "$work/lib" -DCMAKE_TOOLCHAIN_FILE="$work/aarch64.cmake")" \
                        "$(consumer "$work/lib")")
configure_times=$(time_pair "$consumers" --shell=bash "$(configure with)" "$(configure without)")
read -r run_tool run_floor <<< "$run_times"
read -r build_tool_us build_hello_us <<< "$build_times"
read -r native_us native_floor_us <<< "$native_times"
read -r host_us host_floor_us <<< "$host_times"
read -r cross_us cross_native_us <<< "$cross_times"
read -r configure_us configure_floor_us <<< "$configure_times"
ins_tool=$(instructions "$work/capability_header") ins_floor=$(instructions "$work/floor")
heap_tool=$(heap "$work/capability_header") heap_floor=$(heap "$work/floor")
rss_tool=$(rss "$work/capability_header") rss_floor=$(rss "$work/floor")

hyperfine_version=$($hyperfine && hyperfine --version | cut -d' ' -f2 || echo "not installed")
echo "$(nproc) cores, $(uname -srm), ${cxx[*]} $("${cxx[@]}" -dumpversion), cmake $(cmake --version | sed -n '1s/.* //p')," \
     "$(date +%Y-%m-%d); hyperfine $hyperfine_version"
echo "runs: $runs of each program, builds: $builds of each, consumers and configures: $consumers of each;" \
     "in rounds of ${per_round[-1]}, the order swapped each round"
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
printf '%-26s %15s ms %15s ms %7s %8s\n' "consumer: cross to aarch64" "$(ms "$cross_us")" "$(ms "$cross_native_us")" \
    "$(ratio "$cross_us" "$cross_native_us")" "<= 1.1"
added=$(if [ "$configure_us" = - ]; then echo skipped; else ms "$(awk -v a="$configure_us" -v b="$configure_floor_us" 'BEGIN { print a - b }')"; fi)
printf '%-26s %15s ms %15s ms %7s %8s\n' "autotools: configure" "$(ms "$configure_us")" "$(ms "$configure_floor_us")" \
    "$(ratio "$configure_us" "$configure_floor_us")" "+300 ms"
echo "(autotools: our macro and fragment add $added ms to the example's configure)"
echo "(floors: ${cc[*]} -O2 hello.c for the build; for the consumers, the same C library and programs"
echo " with capability_names.h checked in, configured and built by CMake with Makefiles, and for the"
echo " cross build the native route; for autotools, the example's configure without our macro and fragment)"
if $quick; then echo "(--quick: too few runs for these times to mean anything)"; fi
