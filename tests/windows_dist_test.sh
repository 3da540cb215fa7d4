#!/bin/bash
# Unpacks the Windows release archive, checks that it is a working program folder, and starts
# the program under Wine on the X display it is given.
# Usage: windows_dist_test.sh ARCHIVE_WITHOUT_EXTENSION SOURCE_DIR
set -euo pipefail
export LC_ALL=C
archive=$1.zip source=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$archive" ] || fail "no archive at $archive"
scratch=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
cmake -E chdir "$scratch" cmake -E tar xf "$archive"

top=$(basename "$1")
folder=$scratch/$top
exe=$folder/quillfen.exe
[ "$(ls "$scratch")" = "$top" ] || fail "the archive's top folder is not $top"
[ "$(ls -A "$folder" | tr '\n' ' ')" = "LICENSE LICENSE.Qt-GPL-3.0.txt LICENSE.Qt-LGPL-3.0.txt configs quillfen.exe " ] ||
    fail "the folder holds $(ls -A "$folder")"
cmp -s "$folder/LICENSE" "$source/LICENSE" || fail "LICENSE differs"
[ -d "$folder/configs/path" ] && [ -z "$(ls -A "$folder/configs/path")" ] || fail "configs/path is not there and empty"
for preset in "$source"/configs/*.dat; do
    cmp -s "$preset" "$folder/configs/$(basename "$preset")" || fail "$(basename "$preset") differs"
done
[ "$(ls "$folder/configs" | wc -l)" -eq 16 ] || fail "not fifteen presets beside configs/path"

# A GUI program that needs no DLL beyond Windows' own, with its version in its resources.
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
dlls=$(grep 'DLL Name' <<<"$headers" | awk '{print $3}' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
if grep -Eq 'qt|libgcc|libstdc|libwinpthread' <<<"$dlls"; then fail "needs DLLs beside it: $dlls"; fi
strings -el "$exe" | grep -qx 'Quillfen, ped group installer for GTA3' || fail "no version information"

wine "$exe" &
for _ in $(seq 60); do
    xwininfo -root -tree | grep -q '"Quillfen V1.1"' && break
    sleep 1
done
xwininfo -root -tree | grep -q '"Quillfen V1.1"' || fail "no window titled Quillfen V1.1 came up"
[ ! -e "$folder/configs/path/config.cfg" ] || fail "starting wrote a setting file"
echo "1 passed, 0 failed"
