#!/usr/bin/env bash
# Runs the Make recipe exactly as the README shows it (its only ```make block): it must build the
# tool with one compiler command and save the golden header, do nothing on a second run, and,
# when the tool fails, fail and leave no capability_names.h behind.
# Usage: make_recipe.sh SOURCE_DIR GOLDEN
set -euo pipefail
source_dir=$(realpath "$1") golden=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

awk '/^```make$/ { inside = 1; next } /^```$/ { inside = 0 } inside' "$source_dir/README.md" > "$work/Makefile"
grep -q 'capability_names.h:' "$work/Makefile" || fail "no Make recipe found in README.md"
run_make() { make -C "$work" CAPABILITY_HEADER_DIR="$source_dir" "$@" > "$work/make.log" 2>&1; }

run_make capability_names.h || fail "make failed: $(cat "$work/make.log")"
cmp -s "$golden" "$work/capability_names.h" || fail "the header differs from the golden header"
run_make -q capability_names.h || fail "a second make would rebuild the header"

# Replace the tool with one that writes part of the header, then fails.
printf '#!/bin/sh\nhead -c 100 "%s"\nprintf "out of memory" >&2\nexit 1\n' "$golden" > "$work/capability_header"
chmod +x "$work/capability_header"
if run_make capability_names.h; then fail "make succeeded with a failing tool"; fi
grep -q 'out of memory' "$work/make.log" || fail "the tool's message is not shown"
[ ! -e "$work/capability_names.h" ] && [ ! -e "$work/capability_names.h.tmp" ] ||
    fail "a failed run left a header behind"
echo "ok: the README's Make recipe"
