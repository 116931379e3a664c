# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
# Sourced by the test scripts: a temporary folder of the script's own ($work, removed on exit),
# the golden header, the ways a check ends, and the library that the integration checks build.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
golden=$here/golden/capability_names.golden
work=$(mktemp -d "${TMPDIR:-/tmp}/capability_header_test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
# Says that a check cannot run on this machine, and why; under CI, where nothing may be skipped,
# it fails instead. skip also ends the script with CTest's skip status.
skipped() {
    [ "${CI:-}" != true ] || fail "$* (with CI=true nothing may be skipped)"
    echo "skipped: $*"
}
skip() { skipped "$@"; exit 77; }
# Runs a command with its output kept in a log that is shown only when it fails.
run() { "$@" > "$work/log" 2>&1 || fail "$*: $(cat "$work/log")"; }
# Fails unless FILE is a program for MACHINE, as `file` names it (x86-64, aarch64).
program_for() { file -L "$1" | grep -q "$2" || fail "not a program for $2: $(file -L "$1")"; }
# This machine as `file` names it.
build_machine=$(uname -m | tr _ -)
# Skips unless every command named is installed.
require() {
    local missing=() command
    for command in "$@"; do command -v "$command" > /dev/null || missing+=("$command"); done
    [ "${#missing[@]}" = 0 ] || skip "not installed: ${missing[*]} (bash tools/setup.sh installs them)"
}
# Skips, also under CI, when PACKAGE is not installed because this release does not carry it, as
# tools/setup.sh then says; Debian 11 has no reuse, say.
require_carried() {  # package (whose command has the same name)
    command -v "$1" > /dev/null || apt-cache show "$1" > /dev/null 2>&1 || {
        echo "skipped: this release has no package $1"
        exit 77
    }
}
# Fails unless LOG, the output of a make with nothing to do, shows no command run: only make's own
# lines, and the makes it starts in other folders or for other goals.
ran_nothing() {  # log
    ! grep -Ev '^(Making .* in |make(\[[0-9]+\])?: |make( .*)?$)' "$1" | grep -q . || fail "make ran something: $(cat "$1")"
}
# Copies PROGRAM, a packager's tool, to a path without spaces, which make cannot take in a
# prerequisite, and prints that path.
packaged_tool() { cp "$1" "$work/capability_header" && echo "$work/capability_header"; }
# Fails unless HEADER is the golden header, with no temporary file left beside it; WHEN says which.
golden_header() {  # header when
    cmp -s "$golden" "$1" || fail "$2: $1 is not the golden header"
    [ -z "$(find "$(dirname "$1")" -maxdepth 1 -name '*.tmp')" ] || fail "$2: temporary files left beside $1"
}
# A failed run must leave neither the header nor a temporary file of it.
no_header() {
    local file
    for file in "$1" "$1.tmp" "$1".*.tmp; do [ ! -e "$file" ] || fail "a failed run left $file behind"; done
}
# An install of this project puts in PREFIX only bin/capability_header, which prints the golden
# header, and its manual page; a consumer's install puts nothing of ours there.
check_install() {  # prefix tool|nothing
    local files
    files=$(if [ -d "$1" ]; then cd "$1" && find . -type f -o -type l | sort; fi)
    if [ "$2" = tool ]; then
        [ "$files" = "./bin/capability_header
./share/man/man1/capability_header.1" ] || fail "the install has more or less than the tool and its manual page: $files"
        "$1/bin/capability_header" | cmp -s - "$golden" || fail "the installed tool does not print the golden header"
    elif grep -q capability <<< "$files"; then
        fail "a consumer's install has files of ours: $files"
    fi
}
# The real aarch64 cross toolchain: compilers, the emulator and its libraries, and `file`.
cross=aarch64-linux-gnu
qemu=(qemu-aarch64 -L "/usr/$cross")
require_cross() { require $cross-gcc $cross-g++ qemu-aarch64 file; }
# Writes docs/cmake.md's C-only aarch64 toolchain file to FILE, with the cross C++ compiler too
# when asked.
toolchain() {  # file c|cxx
    snippet docs/cmake.md toolchain > "$1"
    [ "$2" = c ] || echo "set(CMAKE_CXX_COMPILER $cross-g++)" >> "$1"
}

# Prints the fenced block that follows the line "<!-- snippet: NAME -->" in PAGE, a page of this
# repository such as docs/cmake.md: the lines a maintainer copies from it.
snippet() {  # page name
    local text
    text=$(awk -v mark="<!-- snippet: $2 -->" '$0 == mark { found = 1; next }
        found && /^```/ { if (inside) exit; inside = 1; next }
        inside { print }' "$repo/$1")
    [ -n "$text" ] || fail "no snippet \"$2\" in $1"
    printf '%s\n' "$text"
}
# Copies FILE to DEST with each line "#@ PAGE NAME [OLD=NEW...]" replaced by that snippet of the
# page, each OLD in it replaced by NEW, as a maintainer puts in their own names.
with_snippets() {  # file dest
    local line words text pair
    while IFS= read -r line; do
        if [[ $line =~ ^[[:space:]]*#@\ (.*) ]]; then
            read -ra words <<< "${BASH_REMATCH[1]}"
            text=$(snippet "${words[0]}" "${words[1]}") || { echo "$text"; exit 1; }
            for pair in "${words[@]:2}"; do text=${text//"${pair%%=*}"/"${pair#*=}"}; done
            printf '%s\n' "$text"
        else
            printf '%s\n' "$line"
        fi
    done < "$1" > "$2"
}
# Fails unless FILE holds the snippet NAME of PAGE, line for line: for a file that a user copies
# as a whole, such as the autotools example's.
holds_snippet() {  # file page name
    local text
    text=$(snippet "$2" "$3") || { echo "$text"; exit 1; }
    [[ $(cat "$1") == *"$text"* ]] || fail "$1 does not hold the snippet \"$3\" of $2"
}
# Lays out in DEST the library that the integration checks build, as its maintainer has it: the
# example sources in src/ (lib/ and programs/ for Make), a copy made by tools/vendor.sh where the page
# page puts it, and the build files of tests/consumer with the pages' snippets in place. The
# autotools library is examples/autotools, which must hold its page's snippets.
library() {  # dest cmake|meson|make|autotools
    local dest=$1
    mkdir -p "$dest/src"
    cp "$repo"/examples/{mylib.c,mylib.h,cap_mask_names.c,mylib_test.c} "$dest/src"
    case $2 in
    cmake)
        run bash "$repo/tools/vendor.sh" "$dest/third_party/capability_header" cmake
        with_snippets "$here/consumer/CMakeLists.txt" "$dest/CMakeLists.txt" ;;
    meson)
        run bash "$repo/tools/vendor.sh" "$dest/subprojects/capability_header" meson
        with_snippets "$here/consumer/meson.build" "$dest/meson.build" ;;
    make)
        # The library in lib/, with the copy; programs/ compiles its sources too.
        mv "$dest/src" "$dest/lib" && mkdir "$dest/programs" && mv "$dest"/lib/{cap_mask_names,mylib_test}.c "$dest/programs"
        run bash "$repo/tools/vendor.sh" "$dest/lib/capability_header" make
        local file
        for file in Makefile lib/Makefile programs/Makefile; do with_snippets "$here/consumer/make/$file" "$dest/$file"; done ;;
    autotools)
        cp -RL "$repo/examples/autotools/." "$dest"
        rm -rf "$dest/capability_header"
        run bash "$repo/tools/vendor.sh" "$dest/capability_header" autotools
        holds_snippet "$dest/configure.ac" docs/autotools.md configure
        holds_snippet "$dest/Makefile.am" docs/autotools.md aclocal
        holds_snippet "$dest/src/Makefile.am" docs/autotools.md makefile ;;
    *) fail "unknown build system $2" ;;
    esac
}
