#!/usr/bin/env bash
# Measures what the tool costs a build that uses it: the time to compile it from a clean tree, the
# time and peak memory of one run, and the instructions one run executes (repeatable under load).
# Usage: bash bench/measure.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-200}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cxx=${CXX:-c++}
sources=(generator/*.cpp)

start=$(date +%s.%N)
"$cxx" -std=c++17 -O2 -o "$out/capability_header" "${sources[@]}"
end=$(date +%s.%N)
echo "compile and link, $cxx -O2, one job: $(awk "BEGIN { printf \"%d\", ($end - $start) * 1000 }") ms"

start=$(date +%s.%N)
for _ in $(seq "$runs"); do "$out/capability_header" > "$out/header.h"; done
end=$(date +%s.%N)
echo "one run, mean of $runs: $(awk "BEGIN { printf \"%.2f\", ($end - $start) * 1000 / $runs }") ms"

if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%M' -o "$out/rss" "$out/capability_header" > /dev/null
    echo "peak resident memory: $(cat "$out/rss") KiB"
fi
if command -v valgrind > /dev/null; then
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$out/capability_header" > /dev/null 2> "$out/cg.log"
    echo "instructions per run: $(grep -o 'refs: *[0-9,]*' "$out/cg.log" | tr -dc '0-9')"
    valgrind --tool=memcheck "$out/capability_header" 2>&1 > /dev/null | grep 'total heap usage' | sed 's/^==[0-9]*== *//'
fi
echo "header: $(wc -l < "$out/header.h") lines, $(wc -c < "$out/header.h") bytes"
