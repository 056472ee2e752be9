#!/usr/bin/env bash
# Makes or removes the Wine prefix that the end-to-end tests of the Windows
# build share. Making it takes the most time of anything Wine does, so it is
# done once for the suite rather than once per test.
#
# Usage: wine-prefix.sh create|remove PREFIX
set -euo pipefail

action=$1
export WINEPREFIX=$2
# No debugging output, and no offer to install Mono or Gecko.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case $action in
create)
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init
    # wineboot returns before the server has finished writing the prefix.
    wineserver --wait
    echo "wine-prefix: made $WINEPREFIX"
    ;;
remove)
    if [ -d "$WINEPREFIX" ]; then
        wineserver --kill || true
        rm -rf "$WINEPREFIX"
    fi
    echo "wine-prefix: removed $WINEPREFIX"
    ;;
*)
    echo "usage: $0 create|remove PREFIX" >&2
    exit 2
    ;;
esac
