#!/usr/bin/env bash
# Builds Korvane with its tests and runs the whole suite on a virtual X
# server with Mesa's software renderer (llvmpipe), so no GPU or display is
# needed. It also cross-builds the Windows program with MinGW-w64, packs
# its ZIP, unpacks it, and runs the end-to-end tests that apply to a
# Windows program against it under Wine. Exits non-zero when a build or any
# test fails.
#
# Usage: scripts/run-tests.sh [extra cmake options for the Linux build...]
# Environment: KORVANE_BUILD_DIR (default: build in the repository root),
#              KORVANE_JOBS (parallel compile jobs, default 2),
#              KORVANE_WINDOWS_TESTS (1, the default: build the Windows
#                package and test it under Wine; 0: Linux only),
#              KORVANE_WINDOWS_BUILD_DIR (default: the build folder's name
#                with -windows added, so build-windows beside build).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVANE_BUILD_DIR:-$root/build}
jobs=${KORVANE_JOBS:-2}
windowsTests=${KORVANE_WINDOWS_TESTS:-1}
windowsBuild=${KORVANE_WINDOWS_BUILD_DIR:-${build%/}-windows}

# The Windows package first: the Linux test build is told where it lies.
package=
if [ "$windowsTests" = 1 ]; then
    cmake --preset windows -S "$root" -B "$windowsBuild"
    cmake --build "$windowsBuild" -j"$jobs"
    (cd "$windowsBuild" && cpack -G ZIP)
    # The newest, should an older version's ZIP be lying beside it.
    zip=$(ls -t "$windowsBuild"/korvane-*-windows-x86_64.zip | head -n1)
    rm -rf "$windowsBuild/package"
    mkdir -p "$windowsBuild/package"
    unzip -q "$zip" -d "$windowsBuild/package"
    package=$(basename "$zip" .zip)
    package=$windowsBuild/package/$package
    echo "run-tests: Windows package $(basename "$zip") unpacked in $package"
fi

cmake -S "$root" -B "$build" -DKORVANE_BUILD_TESTS=ON -DKORVANE_WINDOWS_PACKAGE_DIR="$package" "$@"
cmake --build "$build" -j"$jobs"

# Tests share one X server; they run one at a time so that focus and
# window-manager checks cannot disturb each other. -noreset keeps the server
# from resetting between tests, when a new connection would briefly fail.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure --no-tests=error
