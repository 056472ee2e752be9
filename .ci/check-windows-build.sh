#!/usr/bin/env bash
# Compiles every source file of the program for Windows (MinGW-w64, syntax
# only), so the Win32 path keeps compiling although it is built and run on
# Windows only. MinGW ships GL/gl.h and GL/glu.h; GLEW's header comes from
# the Debian package, handed over on its own so that no Linux system header
# comes with it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

include=$(mktemp -d)
trap 'rm -rf "$include"' EXIT
mkdir -p "$include/GL"
ln -s /usr/include/GL/glew.h "$include/GL/glew.h"

sources=()
for source in "$root"/src/{shell,scene,shading,drawables}/*.cpp; do
    [ -e "$source" ] && sources+=("$source")
done

# Two at a time; each failing file is named, and any failure fails the check.
export root include
if printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P2 bash -c '
    x86_64-w64-mingw32-g++ -fsyntax-only -std=c++17 -Wall -Wextra -Wpedantic \
        -DUNICODE -D_UNICODE -I "$root/src" -I "$include" "$1" ||
        { echo "windows build: ${1#"$root"/} does not compile" >&2; exit 1; }' compile; then
    echo "windows build: all ${#sources[@]} source files compile"
else
    echo "windows build: some of the ${#sources[@]} source files do not compile" >&2
    exit 1
fi
