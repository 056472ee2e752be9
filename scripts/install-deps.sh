#!/usr/bin/env bash
# Installs the Debian packages that Korvane needs. Does nothing when all of
# them are present already; otherwise updates the package lists and installs
# the missing ones (with sudo unless root).
#
# Usage: scripts/install-deps.sh          everything: building and running the
#                                         program and its tools, and the tests
#                                         (the test command and CI)
#        scripts/install-deps.sh --run    only building and running the program
#                                         and its tools
set -euo pipefail

# Building and running the program and its tools.
run_packages=(
    # compiler and build
    build-essential cmake
    # OpenGL, GLU, GLEW and X11 headers and libraries
    libgl-dev libglu1-mesa-dev libglew-dev libx11-dev
    # stb, with which korvane-capture saves pictures
    libstb-dev
    # Mesa's software renderers, and a virtual X server to run them on where
    # there is no display
    libgl1-mesa-dri libglx-mesa0 xvfb xauth
)

# The tests, the Windows build and the Debian package, on top of the above.
test_packages=(
    # GoogleTest
    libgtest-dev
    # lavapipe (Vulkan) for the tests on zink
    mesa-vulkan-drivers
    # end-to-end tests: a window manager, key presses, window queries
    openbox xdotool x11-utils
    # the Windows build (MinGW-w64), its ZIP, and Wine to test it with
    g++-mingw-w64-x86-64 unzip wine wine64
    # the Debian package: dpkg-shlibdeps needs file to find the dependencies;
    # lintian checks the package as Debian would
    file lintian
    # the package's AppStream metadata and desktop entry, checked as software
    # centres and menus read them
    appstream desktop-file-utils
)

case "${1:-}" in
"") packages=("${run_packages[@]}" "${test_packages[@]}") ;;
--run) packages=("${run_packages[@]}") ;;
*)
    echo "usage: $0 [--run]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [ "$status" != installed ]; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages are installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "install-deps: not root and no sudo; install these as root: ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
