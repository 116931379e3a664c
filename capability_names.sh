#!/bin/sh
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Makes capability_names.h and its stamp in the current folder, for the rules of
# capability_names.mk (GNU make) and capability_names.am (automake):
#   sh capability_names.sh EXECUTABLE [CXX_FOR_BUILD COMPILE...]
# EXECUTABLE, when not empty, is a packager's capability_header built for this machine: it is
# checked and run, and nothing is compiled. Otherwise COMPILE (the build machine's compiler, its
# flags and our sources) builds capability_header_gen, and CXX_FOR_BUILD names that compiler in
# messages.
#
# Several makes may run this in one folder at once: sub-makes under -j, another folder's make
# asking for the header, two makes run by hand. So each writes every file under a name of its own
# and renames it into place: nothing runs a program being written, and no make removes or takes
# another's temporary file. The header is replaced only when its bytes change, so that a rebuilt
# tool recompiles nothing; the stamp names the tool that made it. A failed run leaves no header.
set -u
executable=$1 cxx_for_build=${2:-}
shift $(($# < 2 ? $# : 2))
tool=capability_header_gen.$$.tmp
output=capability_names.h.$$.tmp
stamp=capability_names.stamp.$$.tmp
trap 'rm -f "$tool" "$output" "$stamp"' EXIT
trap 'exit 1' HUP INT TERM

# Says what went wrong, with what the tool said, and leaves no header.
fail() {
    printf '%s\n' "$1" >&2
    [ -z "${errors:-}" ] || printf '%s\n' "$errors" >&2
    rm -f capability_names.h
    exit 1
}

# Prints the machine that FILE is a program for, when it is an ELF program for another machine
# than this one, which must not be started: a shell would read it as a script.
foreign_machine() {
    # shellcheck disable=SC2046  # od prints the 20 bytes as words
    set -- $(od -An -tu1 -N20 "$1" 2> /dev/null)
    [ $# = 20 ] && [ "$1 $2 $3 $4 $6" = "127 69 76 70 1" ] || return 1
    shift 18
    case $(($1 + 256 * $2)) in
    3) machine=i386 ;; 8) machine=mips ;; 20) machine=ppc ;; 21) machine=ppc64 ;; 22) machine=s390x ;;
    40) machine=arm ;; 62) machine=x86_64 ;; 183) machine=aarch64 ;; 243) machine=riscv64 ;;
    *) machine="the machine numbered $(($1 + 256 * $2))" ;;
    esac
    [ "$machine" != "$(uname -m)" ] && echo "$machine"
}

# Runs TOOL into $output. Returns 0 when it printed a complete header; otherwise 1 when it is a
# program for another machine, 2 when it failed here, with $why saying what went wrong and
# $errors what it said.
run() {
    errors=""
    if machine=$(foreign_machine "$1"); then
        why="is a program for $machine, and this build host is $(uname -m)"
        return 1
    elif [ ! -x "$1" ]; then
        why="is not an executable file"
        return 2
    fi
    errors=$("$1" 2>&1 > "$output")
    status=$?
    why="exited with status $status"
    [ "$status" = 0 ] || return 2
    [ "$(tail -n 1 "$output")" = "/* END OF FILE */" ] && [ -z "$(tail -c 1 "$output")" ] && return 0
    why="exited with status 0 but did not write a complete header"
    return 2
}

if [ -n "$executable" ]; then
    name=$executable
    said="CAPABILITY_HEADER_EXECUTABLE ($executable)"
    case $executable in
    /*) ;;
    *) fail "$said must be the absolute path of a capability_header built for the build host." ;;
    esac
    [ -e "$executable" ] || fail "$said does not exist."
    [ ! -d "$executable" ] || fail "$said is a folder, not a capability_header built for the build host."
    run "$executable"
    case $? in
    1) fail "$said does not run on this build host: it $why. Build it with a compiler for the build host." ;;
    2) fail "$said does not run on this build host: it $why." ;;
    esac
else
    name=capability_header_gen
    echo "capability_header $(cat "$(dirname "$0")/VERSION") from $(dirname "$0")"
    "$@" -o "$tool" || fail "CXX_FOR_BUILD ($cxx_for_build) did not build capability_header_gen, which makes capability_names.h on the build host. Set CXX_FOR_BUILD to a C++17 compiler for this machine."
    run "./$tool"
    case $? in
    1) fail "CXX_FOR_BUILD ($cxx_for_build) builds programs that do not run on this build host: the capability_header_gen it built $why. Set CXX_FOR_BUILD to a C++ compiler for this machine." ;;
    2) fail "capability_names.h was not generated: capability_header_gen $why." ;;
    esac
    mv -f "$tool" capability_header_gen
fi
[ -z "$errors" ] || printf '%s\n' "$errors" >&2
if cmp -s "$output" capability_names.h; then rm -f "$output"; else mv -f "$output" capability_names.h; fi
printf '%s\n' "$name" > "$stamp" && mv -f "$stamp" capability_names.stamp
