#!/usr/bin/env bash
# Fetches GLEW's release sources from Debian's `glew` source package, for the
# Windows build, which compiles them in statically. The package's original
# tarball is GLEW's release, which already holds the generated src/glew.c
# and include/GL/glew.h, so nothing needs generating.
#
# Usage: scripts/fetch-glew.sh DIR
# Leaves the unpacked release in DIR/glew (DIR/glew/src/glew.c) and does
# nothing if it is there already. Where apt has no deb-src entry, adds one
# for the same archives as the binary entries (root or sudo) and updates the
# package lists.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
dest=$1
if [ -f "$dest/glew/src/glew.c" ] && [ -f "$dest/glew/include/GL/glew.h" ]; then
    echo "fetch-glew: $dest/glew is there already"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
    sudo=(sudo)
fi

# apt-get source needs source entries; Debian 12 keeps its entries in deb822
# files (sources.list.d/*.sources), older systems in one-line lists.
if ! apt-get source --print-uris glew >/dev/null 2>&1; then
    echo "fetch-glew: adding deb-src entries beside the deb entries, then updating the lists"
    sources=(/etc/apt/sources.list.d/*.sources)
    if [ -e "${sources[0]}" ]; then
        # Each stanza whose Types has deb but no deb-src, with Types: deb-src.
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Types:[^\n]*deb-src/ && !/(^|\n)Enabled: *no/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
            "${sources[@]}" | "${sudo[@]}" tee /etc/apt/sources.list.d/korvane-deb-src.sources >/dev/null
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list |
            "${sudo[@]}" tee /etc/apt/sources.list.d/korvane-deb-src.list >/dev/null
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
fi

# Only the original tarball is needed: Debian's own changes concern its
# Linux packaging, and unpacking them would need dpkg-source.
work=$(mktemp -d)
# apt downloads as its own unprivileged user where that user may write.
if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
    chown _apt "$work"
fi
trap 'rm -rf "$work"' EXIT
tarball=$(apt-get source --print-uris glew | awk -F"'" '/\.orig\.tar\./ { print $2 }' | head -n1)
if [ -z "$tarball" ]; then
    echo "fetch-glew: apt-get source names no original tarball for glew" >&2
    exit 1
fi
(cd "$work" && apt-get source --download-only glew >/dev/null)
mkdir -p "$work/unpacked"
tar -xf "$work/$(basename "$tarball")" -C "$work/unpacked"
release=("$work"/unpacked/*)
if [ ${#release[@]} -ne 1 ] || [ ! -f "${release[0]}/src/glew.c" ]; then
    echo "fetch-glew: the tarball $(basename "$tarball") holds no src/glew.c" >&2
    exit 1
fi
mkdir -p "$dest"
rm -rf "$dest/glew"
mv "${release[0]}" "$dest/glew"
echo "fetch-glew: $(basename "${release[0]}") unpacked in $dest/glew"
