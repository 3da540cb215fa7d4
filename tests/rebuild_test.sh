#!/bin/bash
# Builds the release archive again from a fresh clone of the commit, in another folder, and
# checks that it has the same bytes as the one given.
# Usage: rebuild_test.sh ARCHIVE SOURCE_DIR CMAKE_CONFIGURE_ARGUMENT...
set -euo pipefail
archive=$1 source=$2
shift 2
if ! git -C "$source" diff --quiet HEAD 2>/dev/null; then
    echo "SKIP: $source has uncommitted changes, or is no clone"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
git clone -q "$source" "$scratch/elsewhere"
cmake -S "$scratch/elsewhere" -B "$scratch/elsewhere/out" "$@" >/dev/null
cmake --build "$scratch/elsewhere/out" --target dist >/dev/null
again=$scratch/elsewhere/out/$(basename "$archive")
cmp "$archive" "$again" || { echo "FAIL: built again elsewhere, $(basename "$archive") differs" >&2; exit 1; }
cmp "$archive.sha256" "$again.sha256"
echo "1 passed, 0 failed"
