#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Installs the Debian or Ubuntu packages that the tests and the benchmark use, when they are
# missing and this user may install (root, or sudo without a password). A package that this
# release does not carry is named and left out; the others are installed all the same. Otherwise
# it names what is missing and why, and the command that installs it: it stops when a required
# package is missing, and goes on without the optional ones, whose checks then say "skipped".
# With CI=true an optional package that could have been installed may not be missing.
# Usage: bash tools/setup.sh
set -euo pipefail

required=(cmake make g++ libgtest-dev)
# clang: the header compiled by a second compiler; ninja-build: the second CMake generator;
# linux-libc-dev: the kernel's capability.h; file, qemu-user and the aarch64 compilers: real
# cross builds; meson, autoconf, automake and libtool: the consumers that build with them; the
# gates clang-format, clang-tidy, shellcheck, mandoc and reuse; hyperfine and time: the benchmark.
optional=(clang ninja-build valgrind linux-libc-dev file qemu-user gcc-aarch64-linux-gnu
          g++-aarch64-linux-gnu meson autoconf automake libtool clang-format clang-tidy shellcheck
          mandoc reuse hyperfine time)

if ! command -v dpkg-query > /dev/null || ! command -v apt-get > /dev/null; then
    echo "setup: not a Debian or Ubuntu machine; install these yourself if the build asks for them:"
    echo "  ${required[*]} ${optional[*]}"
    exit 0
fi

missing() {  # packages... -> those not installed
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}\n' "$pkg" 2> /dev/null | grep -q 'install ok installed' || echo "$pkg"
    done
}
mapfile -t want < <(missing "${required[@]}" "${optional[@]}")
[ "${#want[@]}" -gt 0 ] || exit 0

as_root=() why="this user cannot install them (not root, and no sudo without a password)"
[ "$(id -u)" = 0 ] || as_root=(sudo -n)
absent=()
if [ "$(id -u)" = 0 ] || { command -v sudo > /dev/null && sudo -n true 2> /dev/null; }; then
    log=$(mktemp)
    if "${as_root[@]}" apt-get update -q > "$log" 2>&1; then
        # What this release carries is installed; what it does not is named.
        carried=()
        for pkg in "${want[@]}"; do
            if apt-cache show "$pkg" > /dev/null 2>&1; then carried+=("$pkg"); else absent+=("$pkg"); fi
        done
        [ "${#absent[@]}" = 0 ] || echo "setup: this release has no package ${absent[*]}"
        if [ "${#carried[@]}" -gt 0 ]; then
            echo "setup: installing ${carried[*]}"
            "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
                "${carried[@]}" > "$log" 2>&1 || why="apt-get install failed: $(tail -n 5 "$log")"
        fi
    else
        why="apt-get update failed: $(tail -n 5 "$log")"
    fi
    rm -f "$log"
fi

mapfile -t need < <(missing "${required[@]}")
mapfile -t could < <(missing "${optional[@]}")
if [ "${#need[@]}" -gt 0 ]; then
    echo "setup: the tests need ${need[*]}, not installed here: $why"
    echo "  Install them with: sudo apt-get install ${need[*]} ${could[*]}"
    exit 1
fi
# Optional packages this release does not carry leave their checks skipped even under CI.
lacking=()
for pkg in "${could[@]}"; do
    [[ " ${absent[*]} " == *" $pkg "* ]] || lacking+=("$pkg")
done
if [ "${#could[@]}" -gt 0 ]; then
    if [ "${CI:-}" = true ] && [ "${#lacking[@]}" -gt 0 ]; then
        echo "setup: CI=true and ${lacking[*]} not installed ($why): nothing may be skipped"
        exit 1
    fi
    echo "setup: not installed: ${could[*]}; the checks that need them will say \"skipped\"."
    [ "${#lacking[@]}" = 0 ] || echo "  $why. To run them too: sudo apt-get install ${lacking[*]}"
fi
