# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 The capability_header authors
# SPDX-License-Identifier: MIT
# Sourced by the scripts that read Debian's archive: sets mirror and keyring to the first Debian
# mirror in this machine's apt sources, deb822 or one-line, and the keyring that signs it
# (mirror is empty when there is none).
sources=$(cat /etc/apt/sources.list.d/*.sources 2> /dev/null || true)
mirror=$(awk '/^URIs:/ && $2 ~ /debian\/?$/ { print $2; exit }' <<< "$sources")
keyring=$(awk -v m="$mirror" '/^URIs:/ { here = ($2 == m) } here && /^Signed-By:/ { print $2; exit }' <<< "$sources")
if [ -z "$mirror" ]; then
    mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\/.*debian\/?$/) { print $i; exit } }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2> /dev/null || true)
fi
keyring=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
