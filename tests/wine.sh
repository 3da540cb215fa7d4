#!/bin/bash
# Runs COMMAND with Wine kept to FOLDER, a folder of the build's own that holds the Wine prefix
# and the home folder: on a virtual X display of its own, and in the locale whose code page
# (1252) and file name encoding the tests expect. Afterwards it ends the Wine programs of that
# prefix, and no others.
# Usage: wine.sh FOLDER COMMAND...
set -euo pipefail
folder=$1
shift
if ! locale -a | grep -qx en_US.utf8; then
    echo "FAIL: the en_US.UTF-8 locale is missing (make wine-deps makes it)" >&2
    exit 1
fi
export WINEPREFIX=$folder/prefix WINEDEBUG=-all LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
# No Mono or Gecko to fetch, and no menu entries or file types added to the desktop.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# What Wine and the libraries it loads keep under the home folder stays here too.
export HOME=$folder/home XDG_CACHE_HOME=$folder/home/.cache XDG_CONFIG_HOME=$folder/home/.config \
    XDG_DATA_HOME=$folder/home/.local/share
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY
mkdir -p "$HOME"
trap 'wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a sh -c 'wineboot --init && wineserver --wait && "$@"' sh "$@"
