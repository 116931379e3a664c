#!/usr/bin/env bash
# Runs the Make recipe exactly as the README shows it (its only ```make block), with the sources
# where it looks for them by default, and builds examples/cap_mask_names.c against the header.
#   native  the header is golden, a second make does nothing, a rebuilt tool that prints the
#           same header recompiles nothing, the _FOR_BUILD flags are used, a CAPABILITY_HEADER_DIR
#           without the sources is refused, a failing tool leaves no header
#   cross   CC the aarch64 cross compiler; first with CXX_FOR_BUILD that cross compiler too, which
#           must fail naming CXX_FOR_BUILD, then, corrected, the next make must just work
# Usage: make_recipe.sh SOURCE_DIR native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1") mode=$2

# The project's sources in ./capability_header, beside the consumer's Makefile.
run bash "$source_dir/tools/vendor.sh" "$work/capability_header" make
cp -R "$source_dir/examples" "$work/capability_header"
awk '/^```make$/ { inside = 1; next } /^```$/ { inside = 0 } inside' "$source_dir/README.md" > "$work/recipe.mk"
grep -q 'capability_names.h:' "$work/recipe.mk" || fail "no Make recipe found in README.md"
cat > "$work/Makefile" <<'EOF'
include recipe.mk
cap_mask_names: $(CAPABILITY_HEADER_DIR)/examples/cap_mask_names.c capability_names.h
	$(CC) -std=c99 -Wall -Wextra -Werror -I. $< -o $@
EOF
run_make() { make -C "$work" "$@" > "$work/make.log" 2>&1; }
must_make() { run_make "$@" || fail "make $*: $(cat "$work/make.log")"; }

case $mode in
native)
    must_make cap_mask_names
    bash "$here/check_consumer.sh" "$work/cap_mask_names" "$work/capability_names.h" || fail "wrong result"
    run_make -q cap_mask_names || fail "a second make would rebuild something"

    # A rebuilt tool that prints the same header, built with the build machine's own flags.
    before=$(stat -c %y "$work/capability_names.h" "$work/cap_mask_names")
    touch "$work/capability_header/generator/main.cpp"
    must_make CXXFLAGS_FOR_BUILD=-O1 LDFLAGS_FOR_BUILD=-Wl,-O1 cap_mask_names
    grep -q -- '-std=c++17 *-O1 -Wl,-O1 ' "$work/make.log" || fail "the _FOR_BUILD flags are not used: $(cat "$work/make.log")"
    [ "$(stat -c %y "$work/capability_names.h" "$work/cap_mask_names")" = "$before" ] ||
        fail "an unchanged header was rewritten, or the consumer rebuilt"

    if run_make CAPABILITY_HEADER_DIR="$work/nowhere" capability_names.h; then fail "a folder without the sources was taken"; fi
    grep -q "No rule to make target '$work/nowhere/generator/cap_table.cpp'" "$work/make.log" ||
        fail "the missing sources are not named: $(cat "$work/make.log")"

    # Replace the tool with one that writes part of the header, then fails.
    printf '#!/bin/sh\nhead -c 100 "%s"\nprintf "out of memory" >&2\nexit 1\n' "$golden" > "$work/capability_header_gen"
    chmod +x "$work/capability_header_gen"
    if run_make capability_names.h; then fail "make succeeded with a failing tool"; fi
    grep -q 'out of memory' "$work/make.log" || fail "the tool's message is not shown"
    no_header "$work/capability_names.h"
    echo "ok: the README's Make recipe"
    ;;
cross)
    require_cross
    if run_make CC=$cross-gcc CXX_FOR_BUILD=$cross-g++ cap_mask_names; then fail "a tool built for aarch64 ran here"; fi
    grep -q "does not run here: CXX_FOR_BUILD ($cross-g++) must compile for this machine" "$work/make.log" ||
        fail "the failure does not name CXX_FOR_BUILD: $(cat "$work/make.log")"
    must_make CC=$cross-gcc cap_mask_names
    bash "$here/check_consumer.sh" "$work/cap_mask_names" "$work/capability_names.h" aarch64 || fail "wrong result"
    echo "ok: the README's Make recipe, cross-compiling"
    ;;
*) fail "unknown mode $mode" ;;
esac
