#!/usr/bin/env bash
# Installs the Debian packages that building Korvane and running its tests
# need. Does nothing when all of them are present already; otherwise updates
# the package lists and installs the missing ones (with sudo unless root).
set -euo pipefail

packages=(
    # compiler and build
    build-essential cmake pkg-config
    # OpenGL, GLU, GLEW and X11 headers and libraries
    libgl-dev libglu1-mesa-dev libglew-dev libx11-dev
    # the tests: GoogleTest, and stb for saving pictures
    libgtest-dev libstb-dev
    # Mesa's software renderers and a virtual X server to run them on; lavapipe
    # (Vulkan) for the tests on zink
    libgl1-mesa-dri libglx-mesa0 mesa-vulkan-drivers xvfb xauth
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
