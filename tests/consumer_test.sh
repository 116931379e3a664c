#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Builds the library of tests/consumer with CMake, laid out by tests/lib.sh with docs/cmake.md's
# snippets, the ways a library's build would, and checks each result with check_consumer.sh.
#   native GENERATOR  the plain and the keyword signature, static and shared, each exported and
#                     installed and found by find_package, C++ never enabled, add_definitions() kept
#                     from our tool; the linked route with a second copy; this project on its own;
#                     when the header is rewritten and what recompiles
#   cross GENERATOR   real aarch64 cross builds: toolchain files with and without a C++ compiler
#                     and the target's flags in the environment, the tool built for this machine;
#                     the emulator route on a machine without a C++ compiler on PATH; a host tool
#   refusals          the slips configure or the build must stop with a clear message
# Usage: consumer_test.sh SOURCE_DIR HOST_TOOL MODE [GENERATOR]
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1") host_tool=$(realpath "$2") mode=$3 generator=${4:-Unix Makefiles}
[ "$generator" != Ninja ] || require ninja

lib=$work/lib
library "$lib" cmake
src=$lib/third_party/capability_header

configure() {  # build-directory cmake-arguments...
    local dir=$work/$1
    shift
    cmake -S "$lib" -B "$dir" -G "$generator" "$@" > "$dir.log" 2>&1
}
build() { cmake --build "$work/$1" >> "$work/$1.log" 2>&1; }
must_configure() { configure "$@" || fail "$1: configure failed: $(cat "$work/$1.log")"; }
must_build() { build "$1" || fail "$1: build failed: $(cat "$work/$1.log")"; }
# The log with its lines joined, since CMake wraps long messages.
logged() { tr -s ' \n' '  ' < "$work/$1.log" | grep -q -- "$2"; }
# Configure must stop with a message; a capability_header on PATH must not help it.
must_refuse() {  # build-directory message cmake-arguments...
    local dir=$1 message=$2
    shift 2
    if (cd "$work" && PATH="$work/path:$PATH" configure "$dir" "$@"); then fail "$dir: configure succeeded"; fi
    logged "$dir" "$message" || fail "$dir: no clear message: $(cat "$work/$dir.log")"
}
# Our build folder in a consumer's: added as a subdirectory, or fetched by FetchContent.
ours() {
    local added=$work/$1/third_party/capability_header
    if [ -d "$added" ]; then echo "$added"; else echo "$work/$1/_deps/capability_header-build"; fi
}
header() { echo "$(ours "$1")/capability_names/capability_names.h"; }
check() { bash "$here/check_consumer.sh" "$work/$1/cap_mask_names" "$(header "$1")" "${@:2}" || fail "$1: wrong result"; }
mtime() { stat -c %y "$@"; }
# Fails when FILE, a compile of our tool, has what the library gives its sources by add_definitions().
library_flags() { ! grep -qE -- '-Wswitch-default|MYLIB_' "$1" || fail "add_definitions() reached our tool: $(cat "$1")"; }
# Builds tests/consumer/downstream against the mylib library found by find_package in PREFIX,
# an install or a build tree; its check program must pass.
downstream() {  # build-directory cmake-prefix
    run cmake -S "$here/consumer/downstream" -B "$work/$1-downstream" -G "$generator" \
        -DCMAKE_PREFIX_PATH="$2" -DEXAMPLES="$source_dir/examples"
    run cmake --build "$work/$1-downstream"
    "$work/$1-downstream/mylib_test" || fail "$1: the mylib library found in $2 does not work"
}
# Installs the consumer, which must install nothing of ours, and uses the installed library.
install_and_use() {  # build-directory
    run cmake --install "$work/$1" --prefix "$work/$1-prefix"
    check_install "$work/$1-prefix" nothing
    downstream "$1" "$work/$1-prefix"
}
# This machine's programs but its C++ compilers, as on a build host that has none.
no_cxx_path() {
    local program
    if [ ! -d "$work/no-cxx" ]; then
        mkdir "$work/no-cxx"
        for program in /usr/bin/*; do
            case ${program##*/} in c++ | g++ | clang++) ;; *) ln -s "$program" "$work/no-cxx/" ;; esac
        done
    fi
    echo "$work/no-cxx"
}

case $mode in
native)
    # The library's shapes: both signatures, static and shared, over the two generators' runs.
    if [ "$generator" = Ninja ]; then shapes=(plain:OFF keyword:ON); else shapes=(plain:ON keyword:OFF); fi
    for shape in "${shapes[@]}"; do
        dir=${shape%:*}-${shape#*:}
        must_configure "$dir" -DCONSUMER_SIGNATURE="${shape%:*}" -DBUILD_SHARED_LIBS="${shape#*:}" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
        must_build "$dir"
        check "$dir"
        ! grep -q 'capability_header/generator' "$work/$dir/compile_commands.json" || fail "$dir: the build compiles our tool"
        library_flags "$(ours "$dir")/build_machine/command"
        ! logged "$dir" "The CXX compiler identification" || fail "$dir: configure enabled C++ for a C library"
        [ ! -e "$(ours "$dir")/tests" ] || fail "the consumer's build configured our tests"
        logged "$dir" "capability_header $(cat "$repo/VERSION"): capability_names.h generated by the capability_header that /usr/bin/c++ built for the build host" ||
            fail "$dir: configure does not say which version makes the header: $(cat "$work/$dir.log")"
        install_and_use "$dir"
        downstream "$dir-tree" "$work/$dir"
    done
    echo "ok: $generator, the library as signature:shared ${shapes[*]}, exported, installed and found by find_package"

    # Linked as well, with a second copy of a newer version added after the first.
    cp -R "$src" "$work/second"
    echo 99.0.0 > "$work/second/VERSION"
    must_configure linked -DBUILD_SHARED_LIBS=OFF -DCONSUMER_LINK=ON -DCONSUMER_SECOND_COPY="$work/second"
    logged linked "capability_header 99.0.0 in $work/second is not used: capability_names.h comes from capability_header [0-9.]* in $src" ||
        fail "a second copy of another version is not named: $(cat "$work/linked.log")"
    must_build linked
    install_and_use linked
    echo "ok: capability_header::capability_names linked to a static library that installs its export set"
    # The second copy updated: vendor.sh names the version it replaces, and the copy has its own.
    run bash "$repo/tools/vendor.sh" "$work/second" cmake
    grep -q "replacing the copy of version 99.0.0 there" "$work/log" || fail "vendor.sh does not name the version it replaces: $(cat "$work/log")"
    for file in VERSION LICENSE; do cmp -s "$repo/$file" "$work/second/$file" || fail "the copy has no $file of its own"; done
    # --help is not a folder to copy into.
    mkdir "$work/help"
    [[ $(cd "$work/help" && bash "$repo/tools/vendor.sh" --help) == "usage: tools/vendor.sh DEST "* ]] || fail "vendor.sh --help prints no usage"
    [ -z "$(ls -A "$work/help")" ] || fail "vendor.sh --help made $(ls "$work/help")"

    # This project on its own: the tool and its manual page are installed, and warnings are not errors by default.
    { cmake -S "$source_dir" -B "$work/top" -G "$generator" -DCAPABILITY_HEADER_EXAMPLES=OFF && cmake --build "$work/top" &&
      cmake --install "$work/top" --prefix "$work/prefix"; } > "$work/top.log" 2>&1 || fail "top level: $(cat "$work/top.log")"
    check_install "$work/prefix" tool
    grep -q '^CAPABILITY_HEADER_WERROR:BOOL=OFF$' "$work/top/CMakeCache.txt" || fail "warnings are errors by default"

    dir=${shapes[0]/:/-}
    tool=$(ours "$dir")/build_machine/capability_header
    before=$(mtime "$(header "$dir")" "$work/$dir/cap_mask_names" "$tool")
    build "$dir"
    [ "$(mtime "$(header "$dir")" "$work/$dir/cap_mask_names" "$tool")" = "$before" ] || fail "a second build changed something"

    # A rebuilt tool that prints the same header: nothing that includes it recompiles.
    touch "$src/generator/main.cpp"
    must_build "$dir"
    [ "$(mtime "$tool")" != "$(echo "$before" | tail -n 1)" ] || fail "the tool was not rebuilt"
    [ "$(mtime "$(header "$dir")" "$work/$dir/cap_mask_names")" = "$(echo "$before" | head -n 2)" ] ||
        fail "an unchanged header was rewritten, or the consumer rebuilt"

    # A tool that prints a new header: the header and the consumer are rebuilt.
    sed -i 's/"cap_chown"/"cap_chown_renamed"/' "$src/generator/cap_table.cpp"
    must_build "$dir"
    grep -q '"cap_chown_renamed"' "$(header "$dir")" || fail "a changed header was not written"
    [ "$work/$dir/cap_mask_names" -nt "$tool" ] || fail "the consumer was not rebuilt for a changed header"

    # A refused host tool removes the header; going back to the tool built here makes it again.
    if configure "$dir" -DCAPABILITY_HEADER_EXECUTABLE=/bin/true; then fail "/bin/true was taken as a host tool"; fi
    must_configure "$dir" -UCAPABILITY_HEADER_EXECUTABLE
    must_build "$dir"
    [ -f "$(header "$dir")" ] || fail "the build left no header after a refused host tool"
    echo "ok: native build with $generator"
    ;;
cross)
    require_cross
    for compilers in c cxx; do toolchain "$work/toolchain-$compilers.cmake" $compilers; done
    emulator="${qemu[*]}"
    emulator_args=(-DCMAKE_CROSSCOMPILING_EMULATOR="${emulator// /;}")
    # A distribution's cross build: the cross compilers, no emulator, and the target's flags, which
    # this machine's compiler refuses, in the environment; the build machine's flags apart.
    target_flags=-mbranch-protection=standard
    CFLAGS=$target_flags CXXFLAGS=$target_flags LDFLAGS=$target_flags CPPFLAGS=-DTARGET_ONLY CXXFLAGS_FOR_BUILD=-O1 \
        must_configure distribution -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-cxx.cmake"
    # With only a C compiler named, and an emulator that the build machine's compiler makes unneeded.
    must_configure c-only -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-c.cmake" "${emulator_args[@]}"
    for dir in distribution c-only; do
        must_build "$dir"
        check "$dir" aarch64
        program_for "$(ours "$dir")/build_machine/capability_header" "$build_machine"
        [ ! -e "$(ours "$dir")/capability_header" ] || fail "$dir: the tool was built for the target"
        logged "$dir" "generated by the capability_header that /usr/bin/c++ built for the build host" ||
            fail "$dir: configure does not say which compiler built the tool: $(cat "$work/$dir.log")"
    done
    grep -q -- '^/usr/bin/c++;-std=c++17;-O1;' "$(ours distribution)/build_machine/command" ||
        fail "the tool was not built with CXXFLAGS_FOR_BUILD alone: $(cat "$(ours distribution)/build_machine/command")"
    # Our sources changed: the build configures again and rebuilds the tool; the header stays.
    before=$(mtime "$(header distribution)" "$work/distribution/cap_mask_names")
    touch "$src/generator/main.cpp"
    must_build distribution
    [ "$(ours distribution)/build_machine/capability_header" -nt "$src/generator/main.cpp" ] || fail "the tool was not rebuilt"
    [ "$(mtime "$(header distribution)" "$work/distribution/cap_mask_names")" = "$before" ] ||
        fail "an unchanged header was rewritten, or the consumer rebuilt"
    echo "ok: cross build with $generator, the tool built for this machine at configure time"

    # The emulator route, on a build host without a C++ compiler on PATH.
    PATH=$(no_cxx_path) must_configure emulator -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-cxx.cmake" "${emulator_args[@]}"
    must_build emulator
    check emulator aarch64
    program_for "$(ours emulator)/emulator/capability_header" aarch64
    logged emulator "generated by the capability_header that [^ ]*$cross-g++ built, run by \"$emulator\"" || fail "emulator: configure does not say which tool is used"
    library_flags "$(ours emulator)/emulator/build.log"
    # A C++ compiler for this machine as the target's, whose tool the emulator cannot run.
    PATH=$(no_cxx_path) must_refuse emulator-host-cxx "builds programs for $(uname -m), which \"$emulator\" does not run. With no C++ compiler for the build host, capability_header is built with it and run by the emulator. Either set CXX_FOR_BUILD" \
        -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-c.cmake" -DCMAKE_CXX_COMPILER=/usr/bin/c++ "${emulator_args[@]}"
    # A refused CXX_FOR_BUILD from the environment is not kept: the next configure takes the new one.
    CXX_FOR_BUILD=$cross-g++ must_refuse cross-cxx "CXX_FOR_BUILD ($cross-g++) builds programs that do not run on this build host: the capability_header it built is a program for aarch64, and this build host is $(uname -m)" \
        -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-cxx.cmake"
    CXX_FOR_BUILD=g++ must_configure cross-cxx -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-cxx.cmake"
    must_build cross-cxx
    echo "ok: cross build with $generator, the tool run by qemu-aarch64 where no C++ compiler runs here"

    must_configure host -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-cxx.cmake" -DCAPABILITY_HEADER_EXECUTABLE="$host_tool" "${emulator_args[@]}"
    # A C-only toolchain, and the host tool set in the library's CMakeLists.txt before FetchContent.
    tar -czf "$work/src.tar.gz" -C "$(dirname "$src")" capability_header
    must_configure fetched -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-c.cmake" -DCONSUMER_FETCH_URL="file://$work/src.tar.gz" \
        -DCONSUMER_FETCH_HASH="$(sha256sum < "$work/src.tar.gz" | cut -d' ' -f1)" \
        -DCONSUMER_HOST_TOOL="$host_tool"
    ! grep -q 'CMake Warning' "$work/fetched.log" || fail "the page's FetchContent lines warn: $(cat "$work/fetched.log")"
    for dir in host fetched; do
        must_build "$dir"
        check "$dir" aarch64
        logged "$dir" "generated by the host tool $host_tool" || fail "$dir: the host tool is not the one used"
        if [ -e "$(ours "$dir")/capability_header" ] || [ -e "$(ours "$dir")/build_machine" ]; then fail "$dir: a tool was built"; fi
    done
    echo "ok: cross build with $generator, a host tool, also set by the library with a C-only toolchain"
    ;;
refusals)
    mkdir -p "$work/path"
    cp "$host_tool" "$work/path/capability_header"
    cross_args=(-DCMAKE_SYSTEM_NAME=Linux)
    PATH=$(no_cxx_path) must_refuse none "no C++ compiler for it was found (CXX_FOR_BUILD, CXX when not cross-compiling, or c++, g++ or clang++ on PATH). Set CXX_FOR_BUILD to one" "${cross_args[@]}"
    must_refuse no-compiler "CXX_FOR_BUILD ($work/nothing) did not build capability_header" "${cross_args[@]}" -DCXX_FOR_BUILD="$work/nothing"
    must_refuse relative 'CAPABILITY_HEADER_EXECUTABLE (path/nothing) must be the absolute path' "${cross_args[@]}" \
        -DCAPABILITY_HEADER_EXECUTABLE=path/nothing
    must_refuse missing "CAPABILITY_HEADER_EXECUTABLE ($work/nothing) does not exist." "${cross_args[@]}" \
        -DCAPABILITY_HEADER_EXECUTABLE="$work/nothing"
    PATH=$(no_cxx_path) must_refuse one-string 'Give the emulator and its arguments as a list' "${cross_args[@]}" \
        "-DCMAKE_CROSSCOMPILING_EMULATOR=${qemu[*]}"
    # The start of an aarch64 ELF program, as a host tool built by the wrong compiler would be.
    printf '\177ELF\2\1\1\0\0\0\0\0\0\0\0\0\2\0\267\0' > "$work/foreign_tool" && chmod +x "$work/foreign_tool"
    must_refuse foreign "CAPABILITY_HEADER_EXECUTABLE ($work/foreign_tool) does not run on this build host: it is a program for aarch64, and this build host is $(uname -m). Build it with a compiler for the build host." \
        "${cross_args[@]}" -DCAPABILITY_HEADER_EXECUTABLE="$work/foreign_tool"
    must_refuse not-a-tool "CAPABILITY_HEADER_EXECUTABLE (/bin/true) does not run on this build host: it exited with status 0 but did not write a complete header" \
        -DCAPABILITY_HEADER_EXECUTABLE=/bin/true
    printf 'capability_header_add_to(no_such_target)\n' >> "$lib/CMakeLists.txt"
    must_refuse no-target 'capability_header_add_to: there is no target "no_such_target"; call it after'
    sed -i '$d' "$lib/CMakeLists.txt"
    echo "ok: configure refuses what cannot generate the header"

    # Through an emulator script that stands in for the tool, in the configure that a build runs
    # when our sources change: after a good run, a tool that fails fails the build with its message
    # and the old header goes too; so does one that exits 0 with half a header, and one that cannot
    # be started.
    emulator=$work/emulator
    printf '#!/bin/sh\nexec "$@"\n' > "$emulator" && chmod +x "$emulator"
    PATH=$(no_cxx_path) must_configure failing "${cross_args[@]}" -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator"
    must_build failing
    fails_with() {  # emulator-script message: the build after the tool was rebuilt must fail so
        printf '#!/bin/sh\n%s\n' "$1" > "$emulator"
        touch "$src/generator/main.cpp"
        if PATH=$(no_cxx_path) build failing; then fail "the build succeeded with: $1"; fi
        logged failing "$2" || fail "not reported: $2: $(cat "$work/failing.log")"
        no_header "$(header failing)"
    }
    shown="$emulator $(ours failing)/emulator/capability_header"
    fails_with "head -c 100 '$golden'; printf 'out of memory' >&2; exit 1" \
        "capability_names.h was not generated: $shown exited with status 1. out of memory"
    fails_with "head -n 20 '$golden'" "$shown exited with status 0 but did not write a complete header"
    chmod -x "$emulator"
    # The reason is the system's, in CMake's words, which differ between versions.
    fails_with "exit 0" "$shown could not be started: "

    # A host tool that starts failing: the next build configures again and stops, and no header is left.
    tool=$work/fake_tool
    printf '#!/bin/sh\ncat "%s"\n' "$golden" > "$tool" && chmod +x "$tool"
    must_configure host-failing -DCAPABILITY_HEADER_EXECUTABLE="$tool"
    must_build host-failing
    printf '#!/bin/sh\nprintf "out of memory" >&2\nexit 1\n' > "$tool"
    if build host-failing; then fail "the build succeeded with a failing host tool"; fi
    logged host-failing "CAPABILITY_HEADER_EXECUTABLE ($tool) does not run on this build host: it exited with status 1. out of memory" ||
        fail "the host tool's failure is not reported: $(cat "$work/host-failing.log")"
    no_header "$(header host-failing)"
    echo "ok: a failing tool fails the build and leaves no header"
    ;;
*) fail "unknown mode $mode" ;;
esac
