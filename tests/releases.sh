#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Runs the README's two commands, then the benchmark's quick check, on a fresh Debian machine of
# each release our users build on besides this machine's own: bullseye (Debian 11), trixie (13)
# and sid. A machine is a minbase chroot with only git, cmake, g++ and make, as a newcomer has it,
# with a clone of this repository in a folder whose name has a space. The commands run as root
# with CI=true, so that set-up installs what the release carries and no check may be skipped.
# The machines are tests/machine.sh's, one per release.
# Usage: tests/releases.sh [RELEASE...]    needs root (chroot and mount)
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
[ $# -gt 0 ] || set -- bullseye trixie sid
# shellcheck source=machine.sh
source "$here/machine.sh"

# The README's commands: the indented line under each of its first two headings.
readme_command() { awk -v h="## $1" '$0 == h { on = 1; next } on && /^    / { sub(/^    /, ""); print; exit }' "$repo/README.md"; }
build_command=$(readme_command "Build and run") test_command=$(readme_command "Run all tests")
if [ -z "$build_command" ] || [ -z "$test_command" ]; then fail "the README's commands were not found"; fi

failed=()
for release in "$@"; do
    machine_base "$release" "$release" 'apt-get update -q && apt-get install -y -q --no-install-recommends git cmake g++ make ca-certificates'
    started=$(date +%s)
    machine_start "$release"
    log=$work/$release.log
    echo "== $release: $build_command; $test_command; bash bench/run.sh --quick"
    # shellcheck disable=SC2016  # expanded inside the machine
    if machine_run 'cd ~/"capability header" && { '"$build_command"'; } && { '"$test_command"'; } && bash bench/run.sh --quick &&
                    cmake=$(cmake --version | sed -n "1s/.* //p") &&
                    echo "versions: cmake $cmake, meson $(meson --version), gcc $(gcc -dumpfullversion), clang $(clang -dumpversion)"' \
        > "$log" 2>&1; then
        echo "ok: $release in $(($(date +%s) - started)) s; $(grep '^versions: ' "$log")"
    else
        tail -n 60 "$log"
        echo "FAIL: $release, after $(($(date +%s) - started)) s (above, the end of its log)"
        failed+=("$release")
    fi
    machine_stop
done
[ "${#failed[@]}" = 0 ] || fail "the README's commands or the benchmark failed on ${failed[*]}"
echo "ok: $* pass the README's commands and the benchmark's quick check"
