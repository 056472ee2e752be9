#!/usr/bin/env bash
# Compiles every source file of the program for Windows (MinGW-w64, syntax
# only), so the Win32 path keeps compiling although it is built and run on
# Windows only. MinGW ships GL/gl.h and GL/glu.h; GLEW's header comes from
# the Debian package, handed over on its own so that no Linux system header
# comes with it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
compiler=x86_64-w64-mingw32-g++

include=$(mktemp -d)
trap 'rm -rf "$include"' EXIT
mkdir -p "$include/GL"
ln -s /usr/include/GL/glew.h "$include/GL/glew.h"

failed=0
count=0
for source in "$root"/src/shell/*.cpp "$root"/src/scene/*.cpp "$root"/src/shading/*.cpp \
    "$root"/src/drawables/*.cpp; do
    [ -e "$source" ] || continue
    count=$((count + 1))
    if ! "$compiler" -fsyntax-only -std=c++17 -Wall -Wextra -Wpedantic -DUNICODE -D_UNICODE \
        -I "$root/src" -I "$include" "$source"; then
        echo "windows build: ${source#"$root"/} does not compile" >&2
        failed=$((failed + 1))
    fi
done

echo "windows build: $((count - failed)) of $count source files compile"
[ "$failed" -eq 0 ]
