#!/usr/bin/env bash
# Builds examples/autotools, the autoconf/automake consumer, from a copy of the repository as it
# stands, in a folder apart from its sources, and checks the result with check_consumer.sh.
#   native  also make check and make distcheck
#   cross   ./configure --host=aarch64-linux-gnu: the tool a program for this machine, the
#           consumer an aarch64 program
# Usage: autotools_test.sh SOURCE_DIR native|cross
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1") mode=$2
require autoreconf automake

mkdir -p "$work/src" "$work/build"
cp -R "$source_dir/generator" "$source_dir/examples" "$work/src"
example=$work/src/examples/autotools
run autoreconf -i "$example"
cd "$work/build"

case $mode in
native)
    run "$example/configure"
    run make check
    bash "$here/check_consumer.sh" cap_mask_names capability_names.h || fail "wrong result"
    run make distcheck
    echo "ok: autotools example, native, make check and make distcheck"
    ;;
cross)
    require_cross
    run "$example/configure" --host=$cross
    run make
    program_for capability_header_gen "$build_machine"
    bash "$here/check_consumer.sh" cap_mask_names capability_names.h aarch64 || fail "wrong result"
    echo "ok: autotools example, cross-compiled to aarch64"
    ;;
*) fail "unknown mode $mode" ;;
esac
