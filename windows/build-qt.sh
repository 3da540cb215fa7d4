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
    # No install path compiled into QtCore: a static Qt then looks beside the executable.
    -DFEATURE_relocatable=ON
)
# The build folders under fixed names in everything compiled, so that no path of the builder's
# ends up in a program linked against this Qt.
path_map() { echo "-ffile-prefix-map=$1/source=/qt/source -ffile-prefix-map=$1/build=/qt/build"; }
# The compiler that builds Qt is the one a release's build record names, so its packages are part
# of the name; so are the notices made with the build, and this script.
toolchain=$(dpkg-query -W g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev)
tag=$(cat <(echo "$version ${options[*]} $(path_map WORK) $toolchain") "$here/mingw.cmake" \
    "$here/qt-notices.pl" "$here/build-qt.sh" | sha256sum | cut -c1-12)
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

# Dates that Qt's tools write into what they generate are the source package's own.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l source/debian/changelog -S Timestamp)
export SOURCE_DATE_EPOCH
cmake -S source -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$(path_map "$work")" -DCMAKE_CXX_FLAGS="$(path_map "$work")" \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    "${options[@]}" >configure.log
cmake --build build
cmake --install build >/dev/null
# The licence that goes with a program linked against this Qt.
mkdir -p "$prefix/licenses"
cp source/LICENSES/LGPL-3.0-only.txt source/LICENSES/GPL-3.0-only.txt "$prefix/licenses/"
# And the notices of the third-party code compiled into it, made from this very build.
perl "$here/qt-notices.pl" source build >"$prefix/THIRD-PARTY-NOTICES.txt"
# The source it was built from, for the build record of a program linked against it.
echo "qt6-base (= $version)" >"$prefix/built-using"
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix" >&3
