#!/bin/bash
# Builds Qt for Windows from Debian's own source of the Qt the Linux build uses: static,
# with a static runtime, and only the parts Quillfen needs. The result is cached outside
# the clone, so only the first build on a machine pays.
# Prints the Qt folder (the CMAKE_PREFIX_PATH for the Windows build), and nothing else, on
# standard output; the build's progress goes to standard error.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec 3>&1 1>&2

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
options=(
    -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
    -DINPUT_opengl=no -DFEATURE_opengl=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
)
tag=$(echo "$version ${options[*]} $(cat "$here/mingw.cmake")" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quillfen
prefix=$cache/qt-${version%%+*}-mingw-static-$tag
if [ -f "$prefix/.complete" ]; then
    echo "$prefix" >&3
    exit 0
fi

work=$cache/qt-build-$tag
mkdir -p "$work"
cd "$work"

# Debian's source of the Qt the Linux build uses, fetched through a private apt setup that adds
# source entries for the machine's own Debian archives and leaves the system's setup alone.
if [ ! -f source/CMakeLists.txt ]; then
    apt=$work/apt
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial"
    touch "$apt/sources.list"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        if [ -e "$f" ]; then sed -n 's/^deb /deb-src /p' "$f" >>"$apt/sources.list"; fi
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        if [ -e "$f" ]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/${f##*/}"; fi
    done
    private=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/sources.list.d"
        -o Dir::State::Lists="$apt/lists")
    apt-get "${private[@]}" update -q
    apt-get "${private[@]}" source -q --download-only "qt6-base=$version"
    rm -rf source
    dpkg-source -x qt6-base_*.dsc source >/dev/null
fi

cmake -S source -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    "${options[@]}" >configure.log
cmake --build build
cmake --install build >/dev/null
# The licence that goes with a program linked against this Qt.
mkdir -p "$prefix/licenses"
cp source/LICENSES/LGPL-3.0-only.txt source/LICENSES/GPL-3.0-only.txt "$prefix/licenses/"
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix" >&3
