#!/bin/bash
# Builds the release archive twice more from a fresh clone of the commit, under Debian's
# reprotest: once as a control and once with the build's path, clock, time zone, locale, umask,
# home, environment and more varied. Both must have the bytes of the archive given, and of its
# build record; where they differ, diffoscope shows which file and how.
# Usage: rebuild_test.sh ARCHIVE SOURCE_DIR CMAKE_CONFIGURE_ARGUMENT...
set -euo pipefail
archive=$1 source=$2
shift 2
if ! command -v reprotest >/dev/null; then
    echo "SKIP: reprotest is not installed; make reprotest-deps installs it"
    exit 77
fi
# Unpacked from an archive of the source, there is no commit to clone.
if ! top=$(git -C "$source" rev-parse --show-toplevel 2>/dev/null) ||
    [ "$top" != "$(cd "$source" && pwd -P)" ]; then
    echo "SKIP: $source is no clone, so there is no commit to build again"
    exit 77
fi
# A file not committed, a new preset say, may go into the archive but not into the clone.
if [ -n "$(git -C "$source" status --porcelain)" ]; then
    echo "SKIP: $source has changes not committed"
    exit 77
fi
name=$(basename "$archive")
record=${name%.zip}
record=${record%.tar.gz}.buildinfo
scratch=$(mktemp -d)
trap 'fusermount -u "$scratch/mount" 2>/dev/null || true; rm -rf "$scratch"' EXIT
git clone -q "$source" "$scratch/source"

# Another builder's user would take a second account on this machine.
variations=+all,-user_group
# Shuffled folder listings need a FUSE mount, a new host name a namespace of its own.
mkdir "$scratch/mount"
if disorderfs -q "$scratch/source" "$scratch/mount" 2>/dev/null; then
    fusermount -u "$scratch/mount"
else
    echo "NOTE: FUSE cannot be mounted here, so file order is not varied"
    variations+=,-fileordering
fi
if ! unshare -r --uts true 2>/dev/null; then
    echo "NOTE: no namespace can be made here, so the host name is not varied"
    variations+=,-domain_host
fi

build="cmake -S . -B out $(printf '%q ' "$@") >/dev/null"
build+=" && cmake --build out --target dist >/dev/null"
reprotest --store-dir "$scratch/artifacts" --variations "$variations" \
    --vary=locales.locale=et_EE.UTF-8 \
    --source-root "$scratch/source" "$build" "out/$name out/$name.sha256 out/$record"
for file in "$name" "$record"; do
    cmp "$(dirname "$archive")/$file" "$scratch/artifacts/control/source-root/out/$file" ||
        { echo "FAIL: built again, $file differs from the one given" >&2; exit 1; }
done
echo "1 passed, 0 failed"
