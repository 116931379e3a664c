#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
#
# Checks the table against the newest kernels that Debian packages: downloads linux-libc-dev from
# Debian's development distribution (unstable) and from experimental, which carries the kernel's
# release candidates, so that a new capability is heard of at its first rc. It goes through this
# machine's own mirror and keyring, with an apt configuration of its own in a temporary folder, so
# nothing is installed and no system file changes, then runs tools/check_kernel.sh on each
# capability.h. experimental may have no linux-libc-dev between two kernels; it is then left out.
# When the mirror cannot be reached it says so and exits 77 (skipped); with CI=true, 1.
# Usage: tools/watch_kernel.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unreachable() {
    echo "watch_kernel: $*"
    if [ "${CI:-}" = true ]; then exit 1; fi
    echo "skipped: the newest kernel headers were not checked"
    exit 77
}

# shellcheck source=debian_mirror.sh
source "$here/debian_mirror.sh"
[ -n "$mirror" ] || unreachable "no Debian mirror in this machine's apt sources"
[ -f "$keyring" ] || unreachable "no Debian keyring at $keyring"

mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts"
printf 'deb [signed-by=%s] %s %s main\n' "$keyring" "$mirror" unstable "$keyring" "$mirror" experimental > "$work/sources.list"
# A dated copy of the archive may be past its Release files' Valid-Until; their signatures count.
apt=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts="$work/parts"
     -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts="$work/parts"
     -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o Dir::State::status=/dev/null
     -o Debug::NoLocking=1 -o Acquire::Languages=none -o APT::Sandbox::User="$(id -un)"
     -o Acquire::Check-Valid-Until=false)
apt-get "${apt[@]}" -q --error-on=any update > "$work/apt.log" 2>&1 ||
    unreachable "cannot read unstable and experimental from $mirror: $(tail -n 3 "$work/apt.log")"
status=0
for suite in unstable experimental; do
    mkdir -p "$work/$suite"
    if ! (cd "$work/$suite" && apt-get "${apt[@]}" -q download "linux-libc-dev/$suite") > "$work/apt.log" 2>&1; then
        [ $suite = experimental ] || unreachable "cannot download linux-libc-dev from $mirror: $(tail -n 3 "$work/apt.log")"
        echo "experimental has no linux-libc-dev now: $(tail -n 1 "$work/apt.log")"
        continue
    fi
    deb=$(echo "$work/$suite"/linux-libc-dev_*.deb)
    dpkg-deb -x "$deb" "$work/$suite/root"
    echo "linux-libc-dev $(dpkg-deb -f "$deb" Version) from Debian $suite"
    bash "$here/check_kernel.sh" "$work/$suite/root/usr/include/linux/capability.h" || status=1
done
exit $status
