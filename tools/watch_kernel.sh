#!/usr/bin/env bash
# Checks the table against the newest kernel that Debian packages: downloads linux-libc-dev from
# Debian's development distribution (unstable) through this machine's own mirror and keyring, with
# an apt configuration of its own in a temporary folder, so nothing is installed and no system
# file changes, then runs tools/check_kernel.sh on its capability.h.
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

# The first Debian mirror and its keyring in this machine's apt sources, deb822 or one-line.
sources=$(cat /etc/apt/sources.list.d/*.sources 2> /dev/null || true)
mirror=$(awk '/^URIs:/ && $2 ~ /debian\/?$/ { print $2; exit }' <<< "$sources")
keyring=$(awk -v m="$mirror" '/^URIs:/ { here = ($2 == m) } here && /^Signed-By:/ { print $2; exit }' <<< "$sources")
if [ -z "$mirror" ]; then
    mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\/.*debian\/?$/) { print $i; exit } }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2> /dev/null || true)
fi
keyring=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
[ -n "$mirror" ] || unreachable "no Debian mirror in this machine's apt sources"
[ -f "$keyring" ] || unreachable "no Debian keyring at $keyring"

mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts" "$work/download"
echo "deb [signed-by=$keyring] $mirror unstable main" > "$work/sources.list"
apt=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts="$work/parts"
     -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts="$work/parts"
     -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o Dir::State::status=/dev/null
     -o Debug::NoLocking=1 -o Acquire::Languages=none -o APT::Sandbox::User="$(id -un)")
apt-get "${apt[@]}" -q --error-on=any update > "$work/apt.log" 2>&1 ||
    unreachable "cannot read unstable from $mirror: $(tail -n 3 "$work/apt.log")"
(cd "$work/download" && apt-get "${apt[@]}" -q download linux-libc-dev) > "$work/apt.log" 2>&1 ||
    unreachable "cannot download linux-libc-dev from $mirror: $(tail -n 3 "$work/apt.log")"
deb=$(echo "$work"/download/linux-libc-dev_*.deb)
dpkg-deb -x "$deb" "$work/root"
echo "linux-libc-dev $(dpkg-deb -f "$deb" Version) from Debian unstable"
bash "$here/check_kernel.sh" "$work/root/usr/include/linux/capability.h"
