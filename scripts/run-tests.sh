#!/usr/bin/env bash
# Builds Korvane with its tests and runs the whole suite on a virtual X
# server with Mesa's software renderer (llvmpipe), so no GPU or display is
# needed. Exits non-zero when the build or any test fails.
#
# Usage: scripts/run-tests.sh [extra cmake options...]
# Environment: KORVANE_BUILD_DIR (default: build in the repository root),
#              KORVANE_JOBS (parallel compile jobs, default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVANE_BUILD_DIR:-$root/build}
jobs=${KORVANE_JOBS:-2}

cmake -S "$root" -B "$build" -DKORVANE_BUILD_TESTS=ON "$@"
cmake --build "$build" -j"$jobs"

# Tests share one X server; they run one at a time so that focus and
# window-manager checks cannot disturb each other. -noreset keeps the server
# from resetting between tests, when a new connection would briefly fail.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure --no-tests=error
