#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Installs what the tests use (tools/setup.sh), then builds the tool and its tests twice, plainly
# and with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test in both builds,
# in parallel.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

for variant in plain sanitize; do
    sanitize=OFF
    [ "$variant" = sanitize ] && sanitize=ON
    dir="build-tests/$variant"
    echo "== $variant build"
    cmake -S . -B "$dir" -DCAPABILITY_HEADER_TESTS=ON -DCAPABILITY_HEADER_WERROR=ON -DCAPABILITY_HEADER_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
    (cd "$dir" && ctest --output-on-failure -j "$(($(nproc) + 2))")
done
