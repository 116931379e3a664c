#!/usr/bin/env bash
# The gates a change must pass besides the tests, each with its tool's own configuration:
#   format  clang-format --dry-run -Werror over our C and C++ sources (.clang-format)
#   tidy    clang-tidy over the tool's sources, warnings as errors (.clang-tidy)
#   shell   shellcheck over every shell script we ship (.shellcheckrc)
# Usage: lint.sh SOURCE_DIR format|tidy|shell
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
cd "$1"
dirs=(.ci bench examples generator tests tools)
existing() { local d; for d in "${dirs[@]}"; do [ ! -d "$d" ] || echo "$d"; done; }
mapfile -t dirs < <(existing)

case $2 in
format)
    require clang-format
    mapfile -t files < <(find "${dirs[@]}" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) | sort)
    clang-format --dry-run -Werror "${files[@]}" || fail "clang-format would change these lines"
    echo "ok: ${#files[@]} C and C++ files formatted"
    ;;
tidy)
    require clang-tidy
    clang-tidy --quiet generator/*.cpp -- -std=c++17 -Wall -Wextra -Wpedantic || fail "clang-tidy found problems"
    echo "ok: clang-tidy"
    ;;
shell)
    require shellcheck
    mapfile -t files < <(find "${dirs[@]}" -type f \( -name '*.sh' -o -path .ci/run \) | sort)
    shellcheck -x "${files[@]}" || fail "shellcheck found problems"
    echo "ok: shellcheck, ${#files[@]} scripts"
    ;;
*) fail "unknown gate $2" ;;
esac
