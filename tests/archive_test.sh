#!/bin/bash
# Unpacks a release archive and checks that it is a working program folder with no path of the
# build in it, and its build record, and in a clone the source archive beside it; then starts its
# program: the Windows one under Wine, on the X display it is given, where its window must come up
# with CAPTION.
# Usage: archive_test.sh ARCHIVE SOURCE_DIR CAPTION [STATIC_QT_PREFIX]
set -euo pipefail
export LC_ALL=C
archive=$1 source=$2 caption=$3 qt=${4:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$archive" ] || fail "no archive at $archive"
(cd "$(dirname "$archive")" && sha256sum --quiet -c "$(basename "$archive").sha256") ||
    fail "the archive does not match its .sha256"
[ -z "$qt" ] || [ -n "${WINEPREFIX:-}" ] || fail "run it through tests/wine.sh, which keeps Wine to the build"
scratch=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; [ -z "$qt" ] || wineserver -k 2>/dev/null || true
    rm -rf "$scratch"' EXIT
cmake -E chdir "$scratch" cmake -E tar xf "$archive"
# Whoever builds it, the same bytes: no entry names or numbers the builder's user.
case $archive in
*.zip) ! zipinfo -v "$archive" | grep -q 'ID 0x7875' || fail "entries carry a UID/GID" ;;
*) [ -z "$(tar -tvzf "$archive" | awk '$2 != "0/0"')" ] || fail "entries name an owner" ;;
esac

top=$(basename "$archive" .zip)
top=${top%.tar.gz}
folder=$scratch/$top
[ "$(ls "$scratch")" = "$top" ] || fail "the archive's top folder is not $top"
case $archive in
*.zip) exe=quillfen.exe listing="LICENSE LICENSE.Qt-GPL-3.0.txt LICENSE.Qt-LGPL-3.0.txt \
README.txt THIRD-PARTY-NOTICES.txt configs quillfen.exe " eol=$'\r' objdump=x86_64-w64-mingw32-objdump ;;
*) exe=quillfen listing="LICENSE README.txt configs quillfen " eol="" objdump=objdump ;;
esac
[ "$(ls -A "$folder" | tr '\n' ' ')" = "$listing" ] || fail "the folder holds $(ls -A "$folder")"
[ -x "$folder/$exe" ] || fail "the executable is not executable"
cmp -s "$folder/LICENSE" "$source/LICENSE" || fail "LICENSE differs"
# The players' part of README.md, without its marks and the blank line before the last, and
# every line ended the system's way.
sed -n '/^<!-- players -->$/,/^<!-- end of players -->$/p' "$source/README.md" | sed '1d;$d' |
    sed '$d' | sed "s/\$/$eol/" | cmp -s - "$folder/README.txt" ||
    fail "README.txt is not the players' part of README.md, each line ended ${eol:+CR }LF"
grep -q '^\*\*When an install fails\*\*' "$folder/README.txt" || fail "README.txt is too short"
# The source of this very version, published beside the archive.
source_archive=${top%-*}-source.tar.gz
grep -qF "$source_archive" "$folder/README.txt" || fail "README.txt does not name $source_archive"
grep -qF "qt6-base" "$folder/README.txt" || fail "README.txt does not name the source package of Qt"
! "$objdump" -h "$folder/$exe" | grep -q '\.debug_' || fail "the program has debug sections"
[ -d "$folder/configs/path" ] && [ -z "$(ls -A "$folder/configs/path")" ] ||
    fail "configs/path is not there and empty"

shipped=$(cd "$folder/configs" && find . -maxdepth 1 -type f | sort)
expected=$(cd "$source/configs" && find . -maxdepth 1 -type f -name '*.dat' | sort)
[ "$shipped" = "$expected" ] && [ "$(wc -l <<<"$shipped")" -eq 15 ] || fail "presets differ: $shipped"
while IFS= read -r preset; do
    cmp -s "$folder/configs/$preset" "$source/configs/$preset" || fail "$preset differs"
    # The game reads a line of eight ped models for each of its 31 groups.
    [ "$(grep -cP '^(\w+, ){7}\w+\r$' "$folder/configs/$preset")" -eq 31 ] ||
        fail "$preset does not hold 31 groups of eight"
done <<<"$shipped"

# Built elsewhere, the same files must come out: no folder of this machine's build in them.
build_paths=(-e "$source" -e "$(cd "$(dirname "$archive")" && pwd)")
if [ -n "$qt" ]; then build_paths+=(-e "$(dirname "$qt")"); fi
if grep -rlaF "${build_paths[@]}" "$folder"; then fail "a path of the build is in the files above"; fi

# The build record: the commit, the archive's checksum, and the exact packages that went in.
record=${archive%/*}/$top.buildinfo
[ -f "$record" ] || fail "no build record at $record"
if grep -aF "${build_paths[@]}" "$record"; then fail "a path of the build is in the build record"; fi
# The commit is the clone's, or outside one the one git archive wrote into the source.
if top_level=$(git -C "$source" rev-parse --show-toplevel 2>/dev/null) &&
    [ "$top_level" = "$(cd "$source" && pwd -P)" ]; then
    clone=yes
    commit=$(git -C "$source" rev-parse HEAD)
else
    clone=
    commit=$(sed -n 's/^commit: \([0-9a-f]\{40,\}\)$/\1/p' "$source/.git-archival.txt" 2>/dev/null)
fi
grep -qx "Git-Commit: ${commit:-none: .*}\( with changes not committed\)\?" "$record" ||
    fail "the build record does not name commit ${commit:-none}"
grep -qx " $(sha256sum "$archive" | cut -d' ' -f1) $(stat -c %s "$archive") ${archive##*/}" \
    "$record" || fail "the build record's checksum is not the archive's"
case $archive in
*.zip) packages="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev zip"
    grep -qx "Built-Using: qt6-base (= $(dpkg-query -W -f='${source:Version}' qt6-base-dev))" \
        "$record" || fail "the build record does not name the source of Qt" ;;
*) packages="$(dpkg-query -S "$(readlink -f "$(command -v g++)")" | cut -d: -f1) qt6-base-dev tar gzip" ;;
esac
listed=$(sed 's/,$//' "$record")
for package in $packages cmake ninja-build; do
    grep -qxF " $package (= $(dpkg-query -W -f='${Version}' "$package"))" <<<"$listed" ||
        fail "the build record does not name $package as installed"
done

# The source archive: every file of the commit as committed and nothing else, with the commit and
# its time filled in for a build without a clone. Outside a clone there is no commit to pack.
if [ -n "$clone" ]; then
    source_archive=${archive%/*}/$source_archive
    [ -f "$source_archive" ] || fail "no source archive at $source_archive"
    (cd "${source_archive%/*}" && sha256sum --quiet -c "${source_archive##*/}.sha256") ||
        fail "the source archive does not match its .sha256"
    [ -z "$(tar --numeric-owner -tvzf "$source_archive" | awk '$2 != "0/0"')" ] ||
        fail "the source archive's entries name an owner"
    mkdir "$scratch/source"
    tar -xzf "$source_archive" -C "$scratch/source"
    unpacked=$scratch/source/${top%-*}
    [ "$(ls -A "$scratch/source")" = "${unpacked##*/}" ] ||
        fail "the source archive's top folder is not ${unpacked##*/}"
    committed=$(git -C "$source" ls-tree -r -z --name-only HEAD | tr '\0' '\n' | sort)
    diff <(echo "$committed") <(cd "$unpacked" && find . ! -type d | sed 's|^\./||' | sort) >&2 ||
        fail "the source archive's files are not the commit's"
    while IFS= read -r file; do
        [ "$file" = .git-archival.txt ] ||
            git -C "$source" cat-file blob "HEAD:$file" | cmp -s - "$unpacked/$file" ||
            fail "$file in the source archive is not as committed"
    done <<<"$committed"
    grep -qx "commit: $commit" "$unpacked/.git-archival.txt" &&
        grep -qx "time: $(git -C "$source" log -1 --format=%ct)" "$unpacked/.git-archival.txt" ||
        fail "the source archive does not name its commit and time"
fi

if [ -z "$qt" ]; then
    # The system's Qt, and no library from beside the folder it was unpacked in.
    ! readelf -d "$folder/$exe" | grep -E 'RPATH|RUNPATH' || fail "the program looks for libraries"
    # A first run looks for the game under the home folder: here, not the user's.
    env -u XDG_DATA_HOME -u WINEPREFIX HOME="$scratch" QT_QPA_PLATFORM=offscreen "$folder/$exe" &
    pid=$!
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "the unpacked program did not keep running"
else
    # Every third-party part of the static Qt has its notice.
    notices=$folder/THIRD-PARTY-NOTICES.txt
    for library in "$qt"/lib/libQt6Bundled*.a; do
        part=$(basename "$library" .a)
        grep -qi "^  .*${part#libQt6Bundled}" "$notices" || fail "no notice for $part"
    done
    grep -q "^  MinGW-w64 runtime" "$notices" || fail "no notice for the MinGW-w64 runtime"
    # Before them, where the source of the program and of its Qt is, which a rebuild against
    # another Qt needs: the source archive, and the Debian source the record names.
    qt_source=$(sed -n 's/^Built-Using: qt6-base (= \(.*\))$/\1/p' "$record")
    where=$(sed '/^Third-party notices/,$d' "$notices")
    for named in "${source_archive##*/}" "qt6-base source package" "$qt_source" \
        windows/build-qt.sh; do
        tr -s '\n' ' ' <<<"$where" | grep -qF "$named" || fail "the notices do not name $named"
    done

    # A GUI program that needs no DLL beyond Windows' own, with its version in its resources.
    headers=$(x86_64-w64-mingw32-objdump -p "$folder/$exe")
    grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
    dlls=$(grep 'DLL Name' <<<"$headers" | awk '{print $3}' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    if grep -Eq 'qt|libgcc|libstdc|libwinpthread' <<<"$dlls"; then fail "needs DLLs beside it: $dlls"; fi
    strings -el "$folder/$exe" | grep -qx 'Quillfen, ped group installer for GTA3' ||
        fail "no version information"

    wine "$folder/$exe" &
    for _ in $(seq 60); do
        xwininfo -root -tree | grep -qF "\"$caption\"" && break
        sleep 1
    done
    xwininfo -root -tree | grep -qF "\"$caption\"" || fail "no window titled $caption came up"
fi
[ ! -e "$folder/configs/path/config.cfg" ] || fail "starting wrote a setting file"
echo "1 passed, 0 failed"
