# shellcheck shell=bash disable=SC2154  # repo and work come from lib.sh
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Sourced by the scripts that run commands on fresh Debian machines (after lib.sh): a machine is a
# minbase chroot of one release with the packages its script asks for, built once per machine with
# debootstrap from this machine's Debian mirror and kept as a tarball in CACHE (default
# /var/cache/capability_header/releases; remove a folder to build it again). Every start is a new
# copy of it. Needs root (chroot, mount).
# shellcheck source=../tools/debian_mirror.sh
source "$repo/tools/debian_mirror.sh"
cache=${CACHE:-/var/cache/capability_header/releases}
[ "$(id -u)" = 0 ] || skip "the Debian machines need root (chroot, mount)"
[ -n "$mirror" ] || fail "no Debian mirror in this machine's apt sources"
if ! command -v debootstrap > /dev/null; then
    run apt-get update -q
    run env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

# Builds $cache/NAME/base.tar, unless it is there with the same SETUP: RELEASE with SETUP, shell
# commands run as root inside it, which install what the machine needs.
machine_base() {  # name release setup
    local dir=$cache/$1 root
    if [ -f "$dir/base.tar" ] && [ "$(cat "$dir/setup" 2> /dev/null)" = "$3" ]; then return 0; fi
    echo "== $1: building the machine (once)"
    root=$dir/build
    rm -rf "$root" && mkdir -p "$dir"
    run debootstrap --variant=minbase --keyring="$keyring" "$2" "$root" "$mirror"
    # The mirror may be a dated copy of the archive, past its Release files' Valid-Until.
    echo 'Acquire::Check-Valid-Until "false";' > "$root/etc/apt/apt.conf.d/99dated-mirror"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    run chroot "$root" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -c "$3 && apt-get clean"
    tar -C "$root" -cf "$dir/base.tar.part" . && mv "$dir/base.tar.part" "$dir/base.tar" && rm -rf "$root"
    printf '%s' "$3" > "$dir/setup"
}

machine=""
machine_stop() {
    if [ -n "$machine" ]; then umount "$machine/proc" 2> /dev/null || true; rm -rf "$machine"; fi
    machine=""
}
trap 'machine_stop; rm -rf "$work"' EXIT

# Starts a new copy of machine NAME in $machine, with a clone of this repository in
# /root/capability header (a folder whose name has a space).
machine_start() {  # name
    machine=$(mktemp -d "$cache/$1/machine.XXXXXX")
    tar -C "$machine" -xf "$cache/$1/base.tar"
    cp /etc/resolv.conf "$machine/etc/resolv.conf"
    mount -t proc proc "$machine/proc"
    git clone -q "$repo" "$machine/root/capability header"
}

# Runs COMMAND with bash as root in the machine, in a clean environment with CI=true.
machine_run() {  # command
    chroot "$machine" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI=true TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$1" < /dev/null
}
