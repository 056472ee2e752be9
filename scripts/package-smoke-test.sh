#!/usr/bin/env bash
# Builds the Debian package and checks it with lintian, which must report no
# error or warning (with KORVANE_PACKAGE_MAINTAINER unset, none but those
# about the maintainer's missing mail address) and, at the info level, no
# missing hardening (PIE, full RELRO, stack protector, fortified functions).
# Then installs it on this machine with dpkg (and apt-get for any dependency
# still missing), validates the installed AppStream metadata and desktop
# entry as software centres and menus read them (no error or warning), checks
# that the metadata's newest release is the package's version on its
# changelog's date, starts the installed `korvane`
# launcher from an empty folder on a virtual X server with a window manager,
# closes the window through the window manager (Alt+F4) and checks that the
# program ended with status 0. The package is removed again at the end. (A
# `cmake --install` tree moved after installation is the test suite's
# concern: tests/e2e/installTest.cpp.)
#
# Usage: scripts/package-smoke-test.sh
# Environment: KORVANE_PACKAGE_BUILD_DIR (default: build-package in the
#              repository root), KORVANE_JOBS (parallel compile jobs, default 2),
#              KORVANE_PACKAGE_MAINTAINER (the package's maintainer, "Full Name
#              <address>"; default: none, which lintian reports).
# Needs root or sudo for dpkg and apt-get; needs lintian, appstream,
# desktop-file-utils, xvfb, openbox and xdotool.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVANE_PACKAGE_BUILD_DIR:-$root/build-package}
jobs=${KORVANE_JOBS:-2}

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

work=$(mktemp -d)
xvfb_pid=
wm_pid=
korvane_pid=
installed_package=no

cleanup() {
    for pid in $korvane_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ "$installed_package" = yes ]; then
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q korvane >/dev/null ||
            echo "package-smoke-test: could not remove the korvane package" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "package-smoke-test: FAILED: $*" >&2
    if [ -s "$work/korvane.err" ]; then
        echo "--- the program's stderr:" >&2
        cat "$work/korvane.err" >&2
    fi
    exit 1
}

# A virtual X server with openbox on it, so that Alt+F4 is the window
# manager's own close, as a user would give it.
start_desktop() {
    # Xvfb picks a free display number and writes it to descriptor 5.
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp \
        5>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local display_number=
    for _ in $(seq 100); do
        display_number=$(head -n 1 "$work/display" 2>/dev/null || true)
        [ -n "$display_number" ] && break
        sleep 0.1
    done
    [ -n "$display_number" ] || fail "Xvfb did not start"
    export DISPLAY=":$display_number"
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    # openbox announces itself on the root window once it manages windows.
    for _ in $(seq 50); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            return
        fi
        sleep 0.1
    done
    fail "openbox did not start"
}

# Runs the given launcher from an empty folder, checks that its window
# appears and keeps running, closes it with Alt+F4 and checks exit status 0.
run_and_close() {
    local launcher=$1
    local empty="$work/empty-$RANDOM"
    mkdir "$empty"
    (cd "$empty" && exec "$launcher") >"$work/korvane.out" 2>"$work/korvane.err" &
    korvane_pid=$!

    local window=
    for _ in $(seq 100); do
        window=$(xdotool search --name '^Korvane$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$korvane_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$window" ] || fail "$launcher: no window titled Korvane appeared"

    # Let it draw for a while; it must still be running afterwards.
    sleep 3
    kill -0 "$korvane_pid" 2>/dev/null || fail "$launcher: the program ended by itself"

    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    # A window manager that has only just started now and then misses a
    # synthetic key press on a loaded machine; a user would press again, and
    # so does this script, once, if the window is still there.
    local status=
    for press in 1 2; do
        xdotool key --clearmodifiers alt+F4
        for _ in $(seq 40); do
            if ! kill -0 "$korvane_pid" 2>/dev/null; then
                status=0
                wait "$korvane_pid" || status=$?
                break 2
            fi
            sleep 0.05
        done
        xdotool search --name '^Korvane$' >/dev/null 2>&1 || break
    done
    [ -n "$status" ] || fail "$launcher: still running 2 s after Alt+F4"
    korvane_pid=
    [ "$status" -eq 0 ] || fail "$launcher: exit status $status after closing"
    echo "package-smoke-test: $launcher ran, closed through the window manager, status 0"
}

echo "package-smoke-test: building in $build"
maintainer=${KORVANE_PACKAGE_MAINTAINER:-}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_TOOLS=OFF \
    -DKORVANE_PACKAGE_MAINTAINER="$maintainer" >/dev/null
cmake --build "$build" -j"$jobs" --target korvane
rm -f "$build"/korvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/korvane_*.deb)
echo "package-smoke-test: made $(basename "$deb")"

contents=$(dpkg-deb -c "$deb")
metainfo_id=invalid.korvane.korvane
for path in ./usr/bin/korvane ./usr/libexec/korvane/korvane \
    ./usr/share/korvane/data/deferredShading.vert ./usr/share/korvane/data/deferredShading.frag \
    ./usr/share/korvane/data/deferredRendering.vert ./usr/share/korvane/data/deferredRendering.frag \
    ./usr/share/korvane/data/plane.raw ./usr/share/korvane/data/box.raw \
    ./usr/share/korvane/data/earth.raw ./usr/share/applications/korvane.desktop \
    ./usr/share/icons/hicolor/scalable/apps/korvane.svg ./usr/share/man/man6/korvane.6.gz \
    ./usr/share/metainfo/$metainfo_id.metainfo.xml \
    ./usr/share/doc/korvane/copyright ./usr/share/doc/korvane/changelog.gz \
    ./usr/share/doc/korvane/NOTICE; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/korvane/changelog.gz |
    gunzip >"$work/changelog"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$changelog_version" = "$version" ] ||
    fail "the changelog's latest entry is for $changelog_version, the package is $version"

# lintian, as Debian checks a package. Without a maintainer, the Maintainer
# field and the changelog's trailer name one with an empty address, which
# lintian rightly reports; any other error or warning fails, and so does any
# hardening tag, which lintian gives at the info level.
lintian_report=$(lintian -I --fail-on none "$deb" 2>"$work/lintian.err") ||
    { cat "$work/lintian.err" >&2; fail "lintian could not check the package"; }
if [ -n "$lintian_report" ]; then
    sed 's/^/package-smoke-test: lintian: /' <<<"$lintian_report"
else
    echo "package-smoke-test: lintian: no errors or warnings"
fi
accepted='^$'
if [ -z "$maintainer" ]; then
    accepted='^E: korvane: (malformed-contact Maintainer|bogus-mail-host-in-debian-changelog) '
fi
unexpected=$(grep -E '^[EW]: ' <<<"$lintian_report" | grep -Ev "$accepted" || true)
[ -z "$unexpected" ] || fail "lintian reports errors or warnings:
$unexpected"
hardening=$(grep -E '^[EWI]: korvane: hardening-' <<<"$lintian_report" || true)
[ -z "$hardening" ] || fail "lintian finds the program's hardening incomplete:
$hardening"
depends=$(dpkg-deb -f "$deb" Depends)
echo "package-smoke-test: Depends: $depends"
for library in libglew libx11 libgl; do
    grep -q "$library" <<<"$depends" || fail "Depends names no $library package"
done

if dpkg-query -W -f='${db:Status-Status}' korvane 2>/dev/null | grep -q '^installed$'; then
    fail "a korvane package is installed already; remove it first"
fi
# dpkg installs the package; apt-get then brings in any dependency that is
# still missing.
if ! "${sudo[@]}" dpkg -i "$deb" >"$work/apt.log" 2>&1; then
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -f -y -q >>"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; fail "the package could not be installed"; }
fi
installed_package=yes

# The AppStream metadata and the desktop entry as installed. appstreamcli
# fails on an error or a warning and prints its infos; desktop-file-validate
# fails only on an error, so its warnings are looked for in what it prints.
metainfo=/usr/share/metainfo/$metainfo_id.metainfo.xml
appstreamcli validate --no-net --no-color "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli finds errors or warnings in $metainfo"; }
sed 's/^/package-smoke-test: appstreamcli: /' "$work/appstream.log"
# The same on the package's own files, which also finds a launchable that
# names no desktop entry of the package.
mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate-tree --no-net --no-color "$work/tree" >"$work/appstream-tree.log" 2>&1 ||
    { cat "$work/appstream-tree.log" >&2; fail "appstreamcli finds errors or warnings in the package's tree"; }
desktop_report=$(desktop-file-validate /usr/share/applications/korvane.desktop 2>&1) &&
    ! grep -Eq '(error|warning): ' <<<"$desktop_report" ||
    fail "desktop-file-validate finds errors or warnings in korvane.desktop:
$desktop_report"
echo "package-smoke-test: desktop-file-validate: ${desktop_report:-no errors or warnings}"
# The newest release that software centres show is this package, released
# on the day of its changelog entry.
release=$(sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$metainfo" | head -n 1)
changelog_date=$(date -u -d "$(dpkg-parsechangelog -l "$work/changelog" -S Date)" +%F)
[ "$release" = "$version $changelog_date" ] ||
    fail "the metadata's newest release is '$release', the package is $version of $changelog_date"

export LIBGL_ALWAYS_SOFTWARE=1
start_desktop
run_and_close /usr/bin/korvane

echo "package-smoke-test: passed"
