#!/usr/bin/env bash
# Makes every picture that docs/how-it-works.md shows, and the README's two
# still pictures, docs/final.png and docs/debug.png. Every picture is a frame
# or a render target of the real program, drawn by korvane-capture with
# Mesa's software renderer on a virtual X server, and then cropped or scaled
# with netpbm:
#   - the passes of one frame, at the moment of the README's stills;
#   - the lit image without shadows (korvane-capture --no-shadows);
#   - the pictures of changed composites: each runs korvane-capture on a copy
#     of data/ patched with the diff that the page shows under a
#     "<!-- patch: NAME -->" line, so the page shows exactly what was run.
# A changed copy whose picture does not differ from the unchanged one fails
# the script, and so do pictures in docs/ over 8 MB together.
#
# Installs what is missing from Debian's packages (through sudo unless root):
# what building and running need (scripts/install-deps.sh --run) and netpbm.
#
# Usage: scripts/make-doc-figures.sh
# Environment: KORVANE_BUILD_DIR (default: build-doc-figures in the repository
#              root, configured without the tests), KORVANE_JOBS (parallel
#              compile jobs, default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVANE_BUILD_DIR:-$root/build-doc-figures}
jobs=${KORVANE_JOBS:-2}
page=$root/docs/how-it-works.md
figures=$root/docs/how-it-works
largest=$((8 * 1024 * 1024))

fail() {
    echo "make-doc-figures: $*" >&2
    exit 1
}

"$root/scripts/install-deps.sh" --run
if ! command -v pamcut >/dev/null || ! command -v pnmtopng >/dev/null; then
    echo "make-doc-figures: installing netpbm (to crop and scale the pictures)"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends netpbm
fi

cmake -S "$root" -B "$build" -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" -j"$jobs" --target korvane-capture >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-figures.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$figures"

# capture FOLDER LIGHT NAME [OPTION...]: korvane-capture run from FOLDER,
# which holds data/, with the light at LIGHT degrees and the spheres as in the
# README's stills; the pictures go to $work/NAME.
capture() {
    local folder=$1 light=$2 name=$3
    shift 3
    (cd "$folder" && LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
        xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/capture/korvane-capture" \
        --light "$light" --lower-sphere 0,120 --upper-sphere 10,250 \
        --output "$work/$name" "$@" >/dev/null)
}

# changed NAME LIGHT: korvane-capture run on a copy of data/ patched with the
# page's diff NAME; the pictures go to $work/NAME.
changed() {
    local name=$1 light=$2
    local copy=$work/$name-data
    mkdir -p "$copy"
    cp -r "$root/data" "$copy/"
    awk -v marker="<!-- patch: $name -->" '
        $0 == marker { found = 1; next }
        found && $0 == "```diff" { inside = 1; next }
        inside && $0 == "```" { exit }
        inside { print }' "$page" >"$copy/change.diff"
    [ -s "$copy/change.diff" ] || fail "no diff under <!-- patch: $name --> in $page"
    patch --quiet --fuzz=0 -p1 -d "$copy" <"$copy/change.diff" ||
        fail "the diff $name no longer applies to data/"
    capture "$copy" "$light" "$name"
}

# half PICTURE OUT: the picture at half its width and height.
half() {
    pngtopnm "$1" | pamscale 0.5 | pnmtopng -compression 9 >"$2"
}

# crop PICTURE LEFT TOP WIDTH HEIGHT ZOOM: a part of the picture, each pixel
# made a ZOOM x ZOOM square, as a PPM on standard output.
crop() {
    pngtopnm "$1" | pamcut -left "$2" -top "$3" -width "$4" -height "$5" | pamscale -nomix "$6"
}

# pair OUT BEFORE AFTER LEFT TOP WIDTH HEIGHT ZOOM: the same part of two
# pictures side by side, BEFORE on the left, with a white strip between.
pair() {
    local out=$1 before=$2 after=$3
    shift 3
    crop "$before" "$@" >"$work/before.ppm"
    crop "$after" "$@" >"$work/after.ppm"
    cmp -s "$work/before.ppm" "$work/after.ppm" &&
        fail "$(basename "$out"): the change makes no difference there"
    ppmmake white 8 "$(($4 * $5))" >"$work/strip.ppm"
    pnmcat -lr "$work/before.ppm" "$work/strip.ppm" "$work/after.ppm" |
        pnmtopng -compression 9 >"$out"
}

# One frame, pass by pass, at the moment of the README's stills.
moment=300
capture "$root" "$moment" frame
capture "$root" "$moment" unshadowed --no-shadows
changed shadow-term "$moment"
cp "$work/frame/final.png" "$work/frame/debug.png" "$root/docs/"
half "$work/frame/shadow-map.png" "$figures/shadow-map.png"
for texture in diffuse position normals; do
    half "$work/frame/gbuffer-$texture.png" "$figures/gbuffer-$texture.png"
done
half "$work/unshadowed/final.png" "$figures/lit-without-shadows.png"
half "$work/shadow-term/final.png" "$figures/shadow-term.png"
crop "$work/frame/final.png" 160 600 160 110 4 | pnmtopng -compression 9 >"$figures/penumbra.png"

# What goes wrong without each piece, beside the same part of the frame as
# Korvane draws it. At 60 degrees the light falls on the side of the lower
# box that faces the camera, and on the floor at its foot.
feet=60
capture "$root" "$feet" feet
changed without-bias "$feet"
changed without-filter "$moment"
changed without-level-texels "$feet"
changed without-receiver-plane "$moment"
pair "$figures/without-bias.png" "$work/feet/final.png" "$work/without-bias/final.png" \
    365 550 90 55 6
pair "$figures/without-filter.png" "$work/frame/final.png" "$work/without-filter/final.png" \
    160 600 160 110 4
pair "$figures/without-level-texels.png" "$work/feet/final.png" \
    "$work/without-level-texels/final.png" 365 550 90 55 6
pair "$figures/without-receiver-plane.png" "$work/frame/final.png" \
    "$work/without-receiver-plane/final.png" 350 405 100 35 6

# Every picture the page shows must be there now.
grep -o '!\[[^]]*\]([^)]*)' "$page" | sed 's/.*](//; s/)$//' | sort -u | while read -r shown; do
    [ -f "$root/docs/$shown" ] || fail "the page shows $shown, which is not in docs/"
done
total=$(find "$root/docs" -type f \( -name '*.png' -o -name '*.webp' \) -printf '%s\n' |
    awk '{ sum += $1 } END { print sum + 0 }')
[ "$total" -le "$largest" ] || fail "the pictures in docs/ take $total bytes, more than $largest"
echo "make-doc-figures: wrote $figures and docs/final.png, docs/debug.png" \
    "(pictures in docs/: $total bytes)"
