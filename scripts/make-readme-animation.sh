#!/usr/bin/env bash
# Makes docs/light-turn.webp, the moving picture at the top of the README:
# one turn of the light in 72 frames. Each frame is the program's real frame,
# drawn by korvane-capture with Mesa's software renderer on a virtual X
# server; img2webp (Debian's webp package) puts them together as an animated
# WebP that loops. The spheres keep the rotations of the still pictures in
# docs/, and the light starts where it stands in them.
#
# Installs what is missing from Debian's packages (through sudo unless root):
# what building and running need (scripts/install-deps.sh --run) and webp.
#
# Usage: scripts/make-readme-animation.sh
# Environment: KORVANE_BUILD_DIR (default: build in the repository root),
#              KORVANE_JOBS (parallel compile jobs, default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVANE_BUILD_DIR:-$root/build}
jobs=${KORVANE_JOBS:-2}
output=$root/docs/light-turn.webp
frames=72              # 5 degrees a frame
frameMilliseconds=60   # 4.3 s a turn; the program takes 36 s
largest=$((3 * 1024 * 1024))

"$root/scripts/install-deps.sh" --run
if ! command -v img2webp >/dev/null; then
    echo "make-readme-animation: installing webp (for img2webp)"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends webp
fi

cmake -S "$root" -B "$build" -DKORVANE_BUILD_TOOLS=ON
cmake --build "$build" -j"$jobs" --target korvane-capture

work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-animation.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The tool reads data/ from the working directory.
(cd "$root" && LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/capture/korvane-capture" \
    --light 300 --lower-sphere 0,120 --upper-sphere 10,250 --turn "$frames" \
    --output "$work" >/dev/null)

# Lossy frames that store only what changed; a key frame every five keeps
# the small changes of the lighting from piling up into blocks.
img2webp -loop 0 -kmax 5 -lossy -q 90 -m 4 -d "$frameMilliseconds" "$work"/turn-*.png \
    -o "$output" >/dev/null

size=$(stat -c %s "$output")
if [ "$size" -gt "$largest" ]; then
    echo "make-readme-animation: $output is $size bytes, more than $largest" >&2
    exit 1
fi
echo "make-readme-animation: wrote $output ($frames frames, $size bytes)"
