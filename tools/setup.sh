#!/usr/bin/env bash
# Installs the Debian or Ubuntu packages that the tests and the benchmark use, when they are
# missing and this user may install (root, or sudo without a password). Otherwise it names them and
# the command that installs them: it stops when a required one is missing, and goes on without the
# optional ones, whose checks then say "skipped". With CI=true nothing may be missing.
# Usage: bash tools/setup.sh
set -euo pipefail

required=(cmake make g++ libgtest-dev)
# clang: the header compiled by a second compiler; ninja-build: the second CMake generator;
# linux-libc-dev: the kernel's capability.h; file, qemu-user and the aarch64 compilers: real
# cross builds; meson, autoconf and automake: the consumers that build with them (without
# autoconf-archive, whose macros the autotools example ships); the gates clang-format,
# clang-tidy and shellcheck; hyperfine and time: the benchmark.
optional=(clang ninja-build valgrind linux-libc-dev file qemu-user gcc-aarch64-linux-gnu
          g++-aarch64-linux-gnu meson autoconf automake libtool clang-format clang-tidy shellcheck
          hyperfine time)

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

as_root=()
[ "$(id -u)" = 0 ] || as_root=(sudo -n)
if [ "$(id -u)" = 0 ] || { command -v sudo > /dev/null && sudo -n true 2> /dev/null; }; then
    echo "setup: installing ${want[*]}"
    log=$(mktemp)
    { "${as_root[@]}" apt-get update -q &&
      "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${want[@]}"
    } > "$log" 2>&1 || { tail -n 20 "$log"; echo "setup: apt-get failed"; }
    rm -f "$log"
fi

mapfile -t need < <(missing "${required[@]}")
mapfile -t could < <(missing "${optional[@]}")
if [ "${#need[@]}" -gt 0 ]; then
    echo "setup: the tests need ${need[*]}, which this user cannot install. Install them with:"
    echo "  sudo apt-get install ${need[*]} ${could[*]}"
    exit 1
fi
if [ "${#could[@]}" -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        echo "setup: CI=true and ${could[*]} could not be installed: nothing may be skipped"
        exit 1
    fi
    echo "setup: not installed: ${could[*]}; the checks that need them will say \"skipped\"."
    echo "  To run them too: sudo apt-get install ${could[*]}"
fi
