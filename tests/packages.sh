#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds Debian packages of the library of tests/consumer the way Debian builds them, with
# dpkg-buildpackage and debhelper's dh, one package per build system (CMake, Meson, autotools),
# each natively and cross-compiled to arm64 (-a arm64 -Pcross,nocheck: the cross compilers, the
# target's flags in CFLAGS and CXXFLAGS, no emulator). The packaging is tests/debian, whose rules
# say nothing about our header. Each package must hold libmylib.so, a program for its
# architecture that defines mylib_name, and nothing of ours.
#
# The machine is a fresh sid with debhelper, the arm64 cross toolchain and libc6-dev:arm64,
# tests/machine.sh's "packaging", built once and cached.
# Usage: tests/packages.sh    needs root (chroot and mount)
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=machine.sh
source "$here/machine.sh"
systems=(cmake meson autotools)

# crossbuild-essential-arm64 no longer brings libc6-dev:arm64.
packages="build-essential debhelper crossbuild-essential-arm64 libc6-dev:arm64 cmake meson ninja-build libtool autoconf automake"
machine_base packaging sid "dpkg --add-architecture arm64 && apt-get update -q &&
    apt-get install -y -q --no-install-recommends $packages"
machine_start packaging
for system in "${systems[@]}"; do
    library "$work/$system" "$system"
    cp -R "$here/debian" "$work/$system"
    for build in native arm64; do
        mkdir -p "$machine/root/$system-$build"
        cp -R "$work/$system" "$machine/root/$system-$build/mylib"
    done
done

# Fails unless DEB holds libmylib.so for MACHINE (as `file` names it) with mylib_name,
# and no file of ours.
check_package() {  # deb machine
    local dir=$work/unpacked/${1##*/} so
    mkdir -p "$dir" && dpkg-deb -x "$1" "$dir"
    so=$(find "$dir" -name 'libmylib.so*' -type f)
    [ -n "$so" ] || fail "${1##*/} holds no libmylib.so: $(dpkg-deb -c "$1")"
    program_for "$so" "$2"
    readelf -W --dyn-syms "$so" | grep -q ' mylib_name$' || fail "${1##*/}: ${so#"$dir"} lacks mylib_name"
    ! dpkg-deb -c "$1" | grep -q capability || fail "${1##*/} holds files of ours: $(dpkg-deb -c "$1")"
}

for system in "${systems[@]}"; do
    for build in native arm64; do
        options=(-us -uc -b)
        [ $build = native ] || options+=(-a arm64 "-Pcross,nocheck")
        started=$(date +%s)
        log=$work/$system-$build.log
        machine_run "cd /root/$system-$build/mylib && DEB_BUILD_OPTIONS=$([ $build = native ] || echo nocheck) dpkg-buildpackage ${options[*]}" \
            > "$log" 2>&1 || { tail -n 40 "$log"; fail "$system, $build: dpkg-buildpackage ${options[*]} failed (above, the end of its log)"; }
        if [ $build = native ]; then machine_name=$build_machine; else machine_name=aarch64; fi
        debs=("$machine/root/$system-$build"/libmylib_*.deb)
        check_package "${debs[0]}" "$machine_name"
        echo "ok: $system, $build: ${debs[0]##*/} in $(($(date +%s) - started)) s"
    done
done
echo "ok: dpkg-buildpackage builds the CMake, Meson and autotools packages natively and for arm64"
