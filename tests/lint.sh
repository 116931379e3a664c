#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# The gates a change must pass besides the tests, each with its tool's own configuration:
#   format  clang-format --dry-run -Werror over our C and C++ sources (.clang-format)
#   tidy    clang-tidy over the tool's sources, warnings as errors (.clang-tidy)
#   shell   shellcheck over every shell script we ship (.shellcheckrc)
#   man     mandoc -T lint over the manual page, which must report nothing, and the page as
#           rendered must hold TOOL's messages as it prints them
#   reuse   reuse lint: every file says its licence and copyright (LICENSES/, .license files)
#   docs    every snippet of a build system's page is one that a test runs, the README's blocks
#           marked "<!-- snippet: PAGE NAME... -->" are those snippets, links resolve, and more
# Usage: lint.sh SOURCE_DIR format|tidy|shell|reuse|docs
#        lint.sh SOURCE_DIR man TOOL HEAP_EXHAUSTED_LIBRARY
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
    mapfile -t files < <(find "${dirs[@]}" ./*.sh -type f \( -name '*.sh' -o -path .ci/run \) | sort)
    shellcheck -x "${files[@]}" || fail "shellcheck found problems"
    echo "ok: shellcheck, ${#files[@]} scripts"
    ;;
man)
    require mandoc
    if ! report=$(mandoc -T lint man/capability_header.1 2>&1) || [ -n "$report" ]; then fail "mandoc: $report"; fi
    # The page as rendered holds the messages of runs with a full standard output and an exhausted
    # heap (preloaded through a link, since LD_PRELOAD splits at spaces).
    page=$(mandoc -T ascii man/capability_header.1 | sed 's/.\x08//g' | tr -s ' \n' '  ')
    ln -s "$4" "$work/heap.so"
    for said in "$("$3" 2>&1 > /dev/full)" "$(LD_PRELOAD=$work/heap.so "$3" 2>&1 > /dev/null)"; do
        if [ -z "$said" ] || [[ $page != *"$said"* ]]; then fail "the manual page does not say \"$said\" as the tool does"; fi
    done
    echo "ok: mandoc -T lint, man/capability_header.1, with the tool's messages"
    ;;
reuse)
    require_carried reuse
    require reuse
    # One process: it needs no more, and multiprocessing needs a writable /dev/shm.
    reuse --no-multiprocessing lint > "$work/reuse.log" 2>&1 || fail "reuse lint: $(cat "$work/reuse.log")"
    echo "ok: reuse lint"
    ;;
docs)
    for page in docs/cmake.md docs/meson.md docs/autotools.md docs/make.md; do
        while read -r name; do
            grep -rqwF "$page $name" tests || fail "no test runs the snippet \"$name\" of $page"
        done < <(sed -n 's/^<!-- snippet: \(.*\) -->$/\1/p' "$page")
    done
    # The README's marked blocks, each as "PAGE NAME..." and the line it starts at.
    while read -r line page names; do
        expected=$(for name in $names; do snippet "$page" "$name"; done)
        shown=$(tail -n "+$((line + 2))" README.md | sed '/^```$/,$d')
        [ "$shown" = "$expected" ] || fail "README.md, line $line: not the snippets $names of $page"
    done < <(awk '/^<!-- snippet: docs\/[a-z-]+\.md .* -->$/ { sub(/^<!-- snippet: /, ""); sub(/ -->$/, ""); print NR, $0 }' README.md)
    # Pages name each other by relative links, each to a file and heading that exist.
    for page in README.md docs/*.md; do
        # shellcheck disable=SC2016  # the backquotes are Markdown's
        ! grep -n '`\(docs/\)\?[a-z-]*\.md`' "$page" || fail "$page names a page in a code span, not a link"
        while IFS='#' read -r target anchor; do
            file=$(dirname "$page")/$target
            { [ -f "$file" ] && sed -n 's/^#\+ //p' "$file" | tr 'A-Z ' 'a-z-' | tr -cd 'a-z0-9_\n-' | grep -x -- "${anchor:-.*}" > /dev/null; } ||
                fail "$page links to $target${anchor:+#$anchor}, which does not exist"
        done < <(grep -o '](\([^)#:]*\)\(#[^)]*\)\?)' "$page" | sed 's/^](\(.*\))$/\1/')
    done
    grep -qF "version $(cat VERSION)" README.md || fail "README.md does not name version $(cat VERSION)"
    # Every cache entry a user may set is in docs/cmake.md.
    while read -r entry; do
        grep -q "\`$entry\`" docs/cmake.md || fail "docs/cmake.md does not name the cache entry $entry"
    done < <(grep -ohE '(option|set)\(CAPABILITY_HEADER_[A-Z_]+ [^)]*' CMakeLists.txt cmake/*.cmake |
             grep -v INTERNAL | grep -oE 'CAPABILITY_HEADER_[A-Z_]+' | sort -u)
    echo "ok: the pages' snippets are tested, the README shows them as they are, and links resolve"
    ;;
*) fail "unknown gate $2" ;;
esac
