#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Copies into a library's tree just the files that its build systems need to make
# capability_names.h, ready to commit: the tool's sources, VERSION and LICENSE, and for each build
# system its own files. Tests, benchmark, CI, docs and examples stay here.
# Usage: tools/vendor.sh DEST [cmake] [meson] [autotools] [make]    (no build system named: all)
#   An earlier copy in DEST is replaced, and its version named; a DEST that holds anything else is
#   refused.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: tools/vendor.sh DEST [cmake] [meson] [autotools] [make]
Copies into DEST what those build systems need to make capability_names.h (all four when none is
named): the tool's sources, VERSION and LICENSE, and each build system's files. An earlier copy
in DEST is replaced."
case ${1:-} in
-h | --help) echo "$usage"; exit 0 ;;
"" | -*) echo "$usage" >&2; exit 2 ;;
esac
dest=$(realpath -m "$1")
shift
[ $# -gt 0 ] || set -- cmake meson autotools make

files=(VERSION VERSION.license LICENSE generator/cap_table.cpp generator/cap_table.h generator/header_writer.h
       generator/main.cpp generator/slot_index.h)
for system in "$@"; do
    case $system in
    cmake) files+=(CMakeLists.txt cmake/capability_names.cmake cmake/save_header.cmake) ;;
    meson) files+=(meson.build meson_options.txt) ;;
    autotools) files+=(capability_names.am capability_names.sh m4/capability_header.m4) ;;
    make) files+=(capability_names.mk capability_names.sh) ;;
    *) echo "vendor: unknown build system \"$system\" (cmake, meson, autotools, make)" >&2; exit 2 ;;
    esac
done
# Make and autotools share capability_names.sh.
mapfile -t files < <(printf '%s\n' "${files[@]}" | awk '!seen[$0]++')

if [ -d "$dest" ] && [ -n "$(ls -A "$dest")" ] && [ ! -f "$dest/generator/cap_table.cpp" ]; then
    echo "vendor: $dest holds files but no earlier copy of capability_header; give an empty or new folder" >&2
    exit 1
fi
# The version of an earlier copy: its VERSION, or for copies older than 1.2.0 its build files.
replaced=""
if [ -f "$dest/generator/cap_table.cpp" ]; then
    replaced=$(cat "$dest/VERSION" 2> /dev/null ||
               sed -n 's/^project(capability_header VERSION \([0-9.]*\).*/\1/p' "$dest/CMakeLists.txt" 2> /dev/null ||
               true)
    replaced=", replacing the copy of version ${replaced:-unknown} there"
fi
# An earlier copy goes first, so that a file this version no longer has does not stay behind.
rm -rf "${dest:?}/generator" "$dest/cmake" "$dest/m4"
rm -f "$dest/CMakeLists.txt" "$dest/meson.build" "$dest/meson_options.txt" "$dest"/capability_names.{am,mk,sh} \
      "$dest/VERSION" "$dest/VERSION.license" "$dest/LICENSE"
mkdir -p "$dest"
(cd "$root" && cp --parents "${files[@]}" "$dest")
echo "vendor: capability_header $(cat "$root/VERSION") copied to $dest$replaced (${#files[@]} files): ${files[*]}"
