#!/bin/bash
# Unpacks the release archive and checks that it is a working program folder.
# Usage: dist_test.sh ARCHIVE_WITHOUT_EXTENSION SOURCE_DIR
set -euo pipefail
archive=$1.tar.gz source=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$archive" ] || fail "no archive at $archive"
scratch=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
tar -xzf "$archive" -C "$scratch"

top=$(basename "$archive" .tar.gz)
folder=$scratch/$top
[ "$(ls "$scratch")" = "$top" ] || fail "the archive's top folder is not $top"
[ "$(ls -A "$folder" | tr '\n' ' ')" = "LICENSE configs quillfen " ] || fail "the folder holds $(ls -A "$folder")"
[ -x "$folder/quillfen" ] || fail "the executable is not executable"
cmp -s "$folder/LICENSE" "$source/LICENSE" || fail "LICENSE differs"
[ -d "$folder/configs/path" ] || fail "configs/path is missing"
[ -z "$(ls -A "$folder/configs/path")" ] || fail "configs/path is not empty"

shipped=$(cd "$folder/configs" && find . -maxdepth 1 -type f | sort)
expected=$(cd "$source/configs" && find . -maxdepth 1 -type f -name '*.dat' | sort)
[ "$shipped" = "$expected" ] || fail "presets differ: $shipped"
[ "$(echo "$shipped" | wc -l)" -eq 15 ] || fail "not fifteen presets"
while IFS= read -r preset; do
    cmp -s "$folder/configs/$preset" "$source/configs/$preset" || fail "$preset differs"
    # The game reads a line of eight ped models for each of its 31 groups.
    [ "$(grep -cP '^(\w+, ){7}\w+\r$' "$folder/configs/$preset")" -eq 31 ] ||
        fail "$preset does not hold 31 groups of eight"
done <<<"$shipped"

QT_QPA_PLATFORM=offscreen "$folder/quillfen" &
pid=$!
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the unpacked program did not keep running"
kill "$pid"
wait "$pid" 2>/dev/null || true
[ ! -e "$folder/configs/path/config.cfg" ] || fail "starting wrote a setting file"
echo "1 passed, 0 failed"
