#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# What capability_header costs a build that uses it, each figure beside its floor:
#   run:       the tool against a C program that writes the same header bytes with one write()
#              (wall time, instructions under callgrind, peak resident memory, heap use);
#   build:     compiling and linking the tool with one compiler command against a C hello world;
#   consumer:  a clean configure and build of tests/consumer, a C library that uses the header
#              through CMake, on the native route, the host-tool route and cross-compiled to
#              aarch64, each against the same library with the header checked in, built the same
#              way; a clean setup and build of the same library with Meson, and a clean configure
#              and build of examples/autotools, each against itself with the header checked in
#              and without our lines.
# Wall times are medians from hyperfine, in rounds that swap the order of the two commands. Where
# hyperfine is missing (Debian 11 has no package of it), the wall times are skipped and the rest
# is measured.
# Usage: bash bench/run.sh [--quick]    --quick only checks that every step works
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
for command in valgrind /usr/bin/time autoreconf libtoolize aarch64-linux-gnu-gcc meson ninja; do
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

# The library of tests/consumer, and as its floor the same library with the header checked in: its
# copy of capability_header replaced by the header and the few lines that hand its folder to the
# targets, so that the library's own CMakeLists.txt stays as it is.
library "$work/lib" cmake
cp -R "$work/lib" "$work/checked_in"
stub=$work/checked_in/third_party/capability_header
rm -rf "$stub"
mkdir "$stub"
cp "$golden" "$stub/capability_names.h"
cat > "$stub/CMakeLists.txt" << 'EOF'
add_library(capability_names INTERFACE)
add_library(capability_header::capability_names ALIAS capability_names)
target_include_directories(capability_names INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
function(capability_header_add_to)
  foreach(target IN LISTS ARGN)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  endforeach()
endfunction()
EOF
toolchain "$work/aarch64.cmake" cxx
consumer() {  # source-directory cmake-arguments...: a clean configure and build, as one command
    printf 'rm -rf %q && cmake -S %q -B %q' "$work/consumer" "$1" "$work/consumer"
    printf ' %q' "${@:2}"
    printf ' > /dev/null && cmake --build %q > /dev/null' "$work/consumer"
}

# The same library with Meson, and with the header checked in instead of the subproject.
library "$work/meson" meson
cp -R "$work/meson" "$work/meson_checked_in"
rm -rf "$work/meson_checked_in/subprojects"
cp "$golden" "$work/meson_checked_in/capability_names.h"
sed -i "s/^capability_names_dep = .*/capability_names_dep = declare_dependency(include_directories: '.')/" \
    "$work/meson_checked_in/meson.build"
meson_consumer() { printf 'rm -rf %q && meson setup %q %q > /dev/null && ninja -C %q > /dev/null' "$work/consumer" "$work/consumer" "$work/$1" "$work/consumer"; }

# The autotools example, with our macro and fragment, and without them and the header checked in.
for variant in with without; do
    cp -RL examples/autotools "$work/$variant"
    rm -rf "$work/$variant/capability_header"
    bash tools/vendor.sh "$work/$variant/capability_header" autotools > /dev/null
done
sed -i '/^CAPABILITY_HEADER_PROG_CXX_FOR_BUILD$/d' "$work/without/configure.ac"
sed -i '/^include .*capability_names.am$/d' "$work/without/src/Makefile.am"
cp "$golden" "$work/without/src/capability_names.h"
for variant in with without; do
    (cd "$work/$variant" && autoreconf -i > "$work/autoreconf.log" 2>&1) || { cat "$work/autoreconf.log" >&2; exit 1; }
done
autotools_consumer() {
    printf 'rm -rf %q && mkdir %q && cd %q && %q -q && make -s > /dev/null' "$work/consumer" "$work/consumer" "$work/consumer" "$work/$1/configure"
}

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
                        "$(consumer "$work/checked_in" -DCMAKE_TOOLCHAIN_FILE="$work/aarch64.cmake")")
meson_times=$(time_pair "$consumers" --shell=bash "$(meson_consumer meson)" "$(meson_consumer meson_checked_in)")
autotools_times=$(time_pair "$consumers" --shell=bash "$(autotools_consumer with)" "$(autotools_consumer without)")
read -r run_tool run_floor <<< "$run_times"
read -r build_tool_us build_hello_us <<< "$build_times"
read -r native_us native_floor_us <<< "$native_times"
read -r host_us host_floor_us <<< "$host_times"
read -r cross_us cross_floor_us <<< "$cross_times"
read -r meson_us meson_floor_us <<< "$meson_times"
read -r autotools_us autotools_floor_us <<< "$autotools_times"
ins_tool=$(instructions "$work/capability_header") ins_floor=$(instructions "$work/floor")
heap_tool=$(heap "$work/capability_header") heap_floor=$(heap "$work/floor")
rss_tool=$(rss "$work/capability_header") rss_floor=$(rss "$work/floor")

hyperfine_version=$($hyperfine && hyperfine --version | cut -d' ' -f2 || echo "not installed")
echo "$(nproc) cores, $(uname -srm), ${cxx[*]} $("${cxx[@]}" -dumpversion), cmake $(cmake --version | sed -n '1s/.* //p'), meson $(meson --version)," \
     "$(date +%Y-%m-%d); hyperfine $hyperfine_version"
echo "runs: $runs of each program, builds: $builds of each, consumers: $consumers of each;" \
     "in rounds of ${per_round[-1]}, the order swapped each round"
printf '%-26s %18s %18s %7s %8s\n' "" capability_header floor ratio goal
printf '%-26s %15s us %15s us %7s %8s\n' "run: wall time, median" "$run_tool" "$run_floor" "$(ratio "$run_tool" "$run_floor")" "<= 1.15"
printf '%-26s %18s %18s %7s %8s\n' "run: instructions" "$ins_tool" "$ins_floor" "$(ratio "$ins_tool" "$ins_floor")" "<= 1.5"
printf '%-26s %14s KiB %14s KiB %7s\n' "run: peak resident memory" "$rss_tool" "$rss_floor" "$(ratio "$rss_tool" "$rss_floor")"
printf '%-26s %18s %18s\n' "run: heap" "$heap_tool" "$heap_floor"
printf '%-26s %15s ms %15s ms %7s %8s\n' "build: compile and link" "$(ms "$build_tool_us")" "$(ms "$build_hello_us")" \
    "$(ratio "$build_tool_us" "$build_hello_us")" "<= 4"
consumer_row() {  # name times floor goal
    printf '%-26s %15s ms %15s ms %7s %8s\n' "$1" "$(ms "$2")" "$(ms "$3")" "$(ratio "$2" "$3")" "${4:-}"
}
consumer_row "CMake: native route" "$native_us" "$native_floor_us" "<= 1.3"
consumer_row "CMake: host-tool route" "$host_us" "$host_floor_us"
consumer_row "CMake: cross to aarch64" "$cross_us" "$cross_floor_us"
consumer_row "Meson: setup and build" "$meson_us" "$meson_floor_us"
consumer_row "autotools: configure, make" "$autotools_us" "$autotools_floor_us"
echo "(floors: ${cc[*]} -O2 hello.c for the build; for the consumers, the same C library and programs"
echo " with capability_names.h checked in instead of our copy, configured and built the same way:"
echo " CMake with Makefiles, Meson with Ninja, the autotools example with its own configure and make)"
if $quick; then echo "(--quick: too few runs for these times to mean anything)"; fi
