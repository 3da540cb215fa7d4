#!/bin/bash
# Runs COMMAND with Wine kept to FOLDER, a folder of the build's own that holds the Wine prefix
# and the home folder: on a virtual X display of its own, and in the locale whose code page
# (1252) and file name encoding the tests expect. Afterwards it ends the Wine programs of that
# prefix, and no others.
#
# With --as-player, started as root, COMMAND runs as the user nobody, as a player would: root
# writes into any folder. Either way COMMAND finds in SUITE_DENIED_FOLDER a data folder, with a
# pedgrp.dat, that its user cannot write, as Windows keeps Program Files from a player.
# Usage: wine.sh [--as-player] FOLDER COMMAND...
set -euo pipefail
as=()
if [ "$1" = --as-player ]; then
    shift
    if [ "$(id -u)" = 0 ]; then as=(setpriv --reuid=65534 --regid=65534 --clear-groups --); fi
fi
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
mkdir -p "$HOME" "$WINEPREFIX"
export SUITE_DENIED_FOLDER=$folder/denied/data
mkdir -p "$SUITE_DENIED_FOLDER"
chmod 755 "$SUITE_DENIED_FOLDER"
printf "the game's own groups\r\n" >"$SUITE_DENIED_FOLDER/pedgrp.dat"
chmod 555 "$SUITE_DENIED_FOLDER"
if [ ${#as[@]} -gt 0 ]; then
    chown 65534:65534 "$folder"
    chown -R 65534:65534 "$HOME" "$WINEPREFIX"
    # Debian's Wine names the folder of the prefix's server, root's from an earlier run, in it.
    rm -f "$WINEPREFIX/wineserver"
    # Where nobody cannot reach the folder or the program (a build under /root, say), it runs as
    # root after all, and the suite skips what needs a player.
    for file in "$folder/home" "$@"; do
        if [ -e "$file" ] && ! "${as[@]}" test -r "$file"; then
            echo "wine.sh: nobody cannot read $file: running as $(id -un)" >&2
            as=()
            chown -R "$(id -u):$(id -g)" "$folder" "$HOME" "$WINEPREFIX"
            break
        fi
    done
fi
trap '"${as[@]}" wineserver -k 2>/dev/null || true' EXIT
"${as[@]}" xvfb-run -a sh -c 'wineboot --init && wineserver --wait && "$@"' sh "$@"
