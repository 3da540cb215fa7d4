#!/bin/bash
# Packs the source archive again in a fresh clone of the commit, and builds the release archive
# twice more from that source archive unpacked, with no clone, under Debian's reprotest: each
# once as a control and once with the build's path, clock, time zone, locale, umask, home,
# environment and more varied. All must have the bytes of the source archive beside ARCHIVE, of
# ARCHIVE and of its build record; where they differ, diffoscope shows which file and how.
# Usage: rebuild_test.sh ARCHIVE SOURCE_DIR CMAKE_CONFIGURE_ARGUMENT...
set -euo pipefail
archive=$1 source=$2
shift 2
if ! command -v reprotest >/dev/null; then
    echo "SKIP: reprotest is not installed; make reprotest-deps installs it"
    exit 77
fi
# The source archive is packed from a commit, which only a clone has.
if ! top=$(git -C "$source" rev-parse --show-toplevel 2>/dev/null) ||
    [ "$top" != "$(cd "$source" && pwd -P)" ]; then
    echo "SKIP: $source is no clone, so there is no commit to pack and build again"
    exit 77
fi
# A file not committed, a new preset say, may go into the archive but not into the clone.
if [ -n "$(git -C "$source" status --porcelain)" ]; then
    echo "SKIP: $source has changes not committed"
    exit 77
fi
name=$(basename "$archive")
top=${name%.zip}
top=${top%.tar.gz}
record=$top.buildinfo
source_archive=${top%-*}-source.tar.gz
scratch=$(mktemp -d)
trap 'fusermount -u "$scratch/mount" 2>/dev/null || true; rm -rf "$scratch"' EXIT
git clone -q "$source" "$scratch/clone"

# Another builder's user would take a second account on this machine.
variations=+all,-user_group
# Shuffled folder listings need a FUSE mount, a new host name a namespace of its own.
mkdir "$scratch/mount"
if disorderfs -q "$scratch/clone" "$scratch/mount" 2>/dev/null; then
    fusermount -u "$scratch/mount"
else
    echo "NOTE: FUSE cannot be mounted here, so file order is not varied"
    variations+=,-fileordering
fi
if ! unshare -r --uts true 2>/dev/null; then
    echo "NOTE: no namespace can be made here, so the host name is not varied"
    variations+=,-domain_host
fi

# The source archive, packed by the clone's own dist.cmake.
pack='mkdir -p out && cmake -DSOURCE="$PWD" -DBUILD="$PWD/out"'
pack+=" -DSOURCE_ARCHIVE=$source_archive -P dist.cmake >/dev/null"
reprotest --store-dir "$scratch/packed" --variations "$variations" \
    --vary=locales.locale=et_EE.UTF-8 \
    --source-root "$scratch/clone" "$pack" "out/$source_archive out/$source_archive.sha256"
packed=$scratch/packed/control/source-root/out/$source_archive
cmp "$(dirname "$archive")/$source_archive" "$packed" ||
    { echo "FAIL: packed again, $source_archive differs from the one given" >&2; exit 1; }

# The release archive, from that source archive unpacked.
mkdir "$scratch/unpacked"
tar -xzf "$packed" -C "$scratch/unpacked"
build="cmake -S . -B out $(printf '%q ' "$@") >/dev/null"
build+=" && cmake --build out --target dist >/dev/null"
reprotest --store-dir "$scratch/artifacts" --variations "$variations" \
    --vary=locales.locale=et_EE.UTF-8 \
    --source-root "$scratch/unpacked/${top%-*}" "$build" "out/$name out/$name.sha256 out/$record"
for file in "$name" "$record"; do
    cmp "$(dirname "$archive")/$file" "$scratch/artifacts/control/source-root/out/$file" ||
        { echo "FAIL: built again, $file differs from the one given" >&2; exit 1; }
done
echo "1 passed, 0 failed"
