#!/usr/bin/env bash
# Runs the README's two commands, then the benchmark's quick check, on a fresh Debian machine of
# each release our users build on besides this machine's own: bullseye (Debian 11), trixie (13)
# and sid. A machine is a minbase chroot with only git, cmake, g++ and make, as a newcomer has it,
# with a clone of this repository in a folder whose name has a space. The commands run as root
# with CI=true, so that set-up installs what the release carries and no check may be skipped.
#
# Each release's base is built once per machine with debootstrap from this machine's Debian
# mirror, and kept in CACHE (default /var/cache/capability_header/releases; remove a release's
# folder to build it again); every run starts from a new copy of it.
# Usage: tests/releases.sh [RELEASE...]    needs root (chroot and mount)
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
repo=$(cd "$here/.." && pwd)
# shellcheck source=../tools/debian_mirror.sh
source "$repo/tools/debian_mirror.sh"
cache=${CACHE:-/var/cache/capability_header/releases}
[ $# -gt 0 ] || set -- bullseye trixie sid
[ "$(id -u)" = 0 ] || skip "the release machines need root (chroot, mount)"
[ -n "$mirror" ] || fail "no Debian mirror in this machine's apt sources"
if ! command -v debootstrap > /dev/null; then
    run apt-get update -q
    run env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

# The README's commands: the indented line under each of its first two headings.
readme_command() { awk -v h="## $1" '$0 == h { on = 1; next } on && /^    / { sub(/^    /, ""); print; exit }' "$repo/README.md"; }
build_command=$(readme_command "Build and run") test_command=$(readme_command "Run all tests")
if [ -z "$build_command" ] || [ -z "$test_command" ]; then fail "the README's two commands were not found"; fi

base() {  # release: builds $cache/RELEASE/base.tar unless it is there
    local dir=$cache/$1 root
    [ ! -f "$dir/base.tar" ] || return 0
    echo "== $1: building the base machine (once)"
    root=$dir/build
    rm -rf "$root" && mkdir -p "$dir"
    run debootstrap --variant=minbase --keyring="$keyring" "$1" "$root" "$mirror"
    # The mirror may be a dated copy of the archive, past its Release files' Valid-Until.
    echo 'Acquire::Check-Valid-Until "false";' > "$root/etc/apt/apt.conf.d/99dated-mirror"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    run chroot "$root" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -c \
        'apt-get update -q && apt-get install -y -q --no-install-recommends git cmake g++ make ca-certificates && apt-get clean'
    tar -C "$root" -cf "$dir/base.tar.part" . && mv "$dir/base.tar.part" "$dir/base.tar" && rm -rf "$root"
}

machine=""
cleanup() { if [ -n "$machine" ]; then umount "$machine/proc" 2> /dev/null || true; rm -rf "$machine"; fi; }
trap 'cleanup; rm -rf "$work"' EXIT

failed=()
for release in "$@"; do
    base "$release"
    started=$(date +%s)
    machine=$(mktemp -d "$cache/$release/machine.XXXXXX")
    tar -C "$machine" -xf "$cache/$release/base.tar"
    cp /etc/resolv.conf "$machine/etc/resolv.conf"
    mount -t proc proc "$machine/proc"
    git clone -q "$repo" "$machine/root/capability header"
    log=$work/$release.log
    echo "== $release: $build_command; $test_command; bash bench/run.sh --quick"
    # shellcheck disable=SC2016  # expanded inside the machine
    if chroot "$machine" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI=true TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c 'cd ~/"capability header" && { '"$build_command"'; } && { '"$test_command"'; } && bash bench/run.sh --quick &&
                 cmake=$(cmake --version | sed -n "1s/.* //p") &&
                 echo "versions: cmake $cmake, meson $(meson --version), gcc $(gcc -dumpfullversion), clang $(clang -dumpversion)"' \
        < /dev/null > "$log" 2>&1; then
        echo "ok: $release in $(($(date +%s) - started)) s; $(grep '^versions: ' "$log")"
    else
        tail -n 60 "$log"
        echo "FAIL: $release, after $(($(date +%s) - started)) s (above, the end of its log)"
        failed+=("$release")
    fi
    cleanup
    machine=""
done
[ "${#failed[@]}" = 0 ] || fail "the README's commands or the benchmark failed on ${failed[*]}"
echo "ok: $* pass the README's commands and the benchmark's quick check"
