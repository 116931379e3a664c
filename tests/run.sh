#!/usr/bin/env bash
# Builds the tool and its tests twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

for variant in plain sanitize; do
    sanitize=OFF
    [ "$variant" = sanitize ] && sanitize=ON
    dir="build-tests/$variant"
    echo "== $variant build"
    cmake -S . -B "$dir" -DCAPABILITY_HEADER_TESTS=ON -DCAPABILITY_HEADER_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
    ctest --test-dir "$dir" --output-on-failure
done
