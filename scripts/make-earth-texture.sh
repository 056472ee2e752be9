#!/bin/sh
# Makes data/earth.raw, the globe texture of the two spheres, from NASA's
# Visible Earth map (Blue Marble) that Debian ships in the xplanet-images
# package. Needs: xplanet-images, imagemagick.
#
# Usage: scripts/make-earth-texture.sh [side]   (side: multiple of 4, default 512)
#
# Output: headerless square 8-bit RGB, side x side pixels, rows unpadded.
# The map is stretched to a square and flipped top to bottom, so that the
# first row of the file (texture t = 0) is the south pole. A GLU sphere runs
# t from its -Z pole (t = 0) to its +Z pole (t = 1), and s eastward round the
# Z axis when seen from +Z, so north then lies at +Z and the continents read
# the right way round from outside. No left-right flip is needed.
set -eu

side=${1:-512}
case $side in
'' | *[!0-9]*)
    echo "side must be a positive whole number, got '$side'" >&2
    exit 2
    ;;
esac
if [ "$side" -le 0 ] || [ $((side % 4)) -ne 0 ]; then
    echo "side must be a positive multiple of 4, got $side" >&2
    exit 2
fi

src=/usr/share/xplanet/images/earth.jpg
if [ ! -r "$src" ]; then
    echo "$src not found: install the xplanet-images package" >&2
    exit 1
fi
if ! command -v convert >/dev/null 2>&1; then
    echo "ImageMagick's convert not found: install the imagemagick package" >&2
    exit 1
fi

out="$(cd "$(dirname "$0")/.." && pwd)/data/earth.raw"
tmp="$out.tmp.$$"
trap 'rm -f "$tmp"' EXIT

# Fixed filter and a single thread keep the output byte-for-byte repeatable.
MAGICK_THREAD_LIMIT=1 convert "$src" -colorspace sRGB -filter Lanczos \
    -resize "${side}x${side}!" -flip -depth 8 "rgb:$tmp"

size=$(wc -c <"$tmp")
if [ "$size" -ne $((3 * side * side)) ]; then
    echo "unexpected output size $size for side $side" >&2
    exit 1
fi
mv "$tmp" "$out"
trap - EXIT
echo "wrote $out ($side x $side)"
