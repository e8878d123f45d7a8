#!/usr/bin/env bash
# Builds the packages users install, in Release, and writes them to dist/:
#   vantreel_<version>_amd64.deb          the Debian package
#   vantreel-<version>-win64.zip          the portable Windows program
#   vantreel-<version>-win64-setup.exe    the Windows setup program
# then checks the Debian package (lintian, desktop-file-validate, appstreamcli)
# and prints each package's SHA-256. Installs what it is missing first.
#
# Two runs of one commit, in other folders and at other times, give the same
# bytes: every time in them is the last commit's (SOURCE_DATE_EPOCH), the
# compiler leaves out the build folder, and the linker the link time.
#
# Usage: bash tools/package.sh [--jobs N] [BUILD_FOLDER [OUT_FOLDER]]
#        bash tools/package.sh --from LINUX_BUILD WINDOWS_BUILD [OUT_FOLDER]
# By default it builds in build-package/ and writes to dist/. With --from it
# packages two Release builds that are already there (the test command's).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
linux_build=
windows_build=
while [ $# -gt 0 ]; do
    case "$1" in
    --jobs)
        jobs=$2
        shift 2
        ;;
    --from)
        linux_build=$(realpath "$2")
        windows_build=$(realpath "$3")
        shift 3
        ;;
    *) break ;;
    esac
done
if [ -n "$linux_build" ]; then
    out=$(realpath -m "${1:-dist}")
else
    build=$(realpath -m "${1:-build-package}")
    out=$(realpath -m "${2:-dist}")
    linux_build="$build/linux"
    windows_build="$build/windows"
fi

bash tools/install-deps.sh package
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null ||
    stat -c %Y CMakeLists.txt)}
export TZ=UTC
umask 022

echo "== packages of $(git describe --always --dirty 2>/dev/null || echo 'this tree'), time $SOURCE_DATE_EPOCH"
if [ -z "${build:-}" ]; then
    for folder in "$linux_build" "$windows_build"; do
        grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$folder/CMakeCache.txt" ||
            { echo "$folder is not a Release build" >&2; exit 1; }
    done
else
    cmake -S . -B "$linux_build" -DCMAKE_BUILD_TYPE=Release \
        -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
    cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
fi
cmake --build "$linux_build" -j"$jobs"
cmake --build "$windows_build" -j"$jobs"

rm -rf "$linux_build/dist" "$windows_build/dist"
(cd "$linux_build" && cpack -G DEB)
(cd "$windows_build" && cpack)
mkdir -p "$out"
version=$(sed -n 's/^#define VT_VERSION "\(.*\)"$/\1/p' "$linux_build/generated/Version.h")
deb="vantreel_${version}_amd64.deb"
packages=("$deb" "vantreel-${version}-win64.zip" "vantreel-${version}-win64-setup.exe")
cp "$linux_build/dist/$deb" "$out/"
cp "$windows_build/dist/${packages[1]}" "$windows_build/dist/${packages[2]}" "$out/"

# The Debian package as Debian's own tools see it: no lintian error, a menu
# entry and metadata that validate.
echo "== checks of $deb"
lintian --fail-on error --tag-display-limit 0 "$out/$deb"
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$out/$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml

# The built-in word list's licences ask for their notices in every package.
for notice in rime-pinyin-simp "Android Open Source Project" jieba "Sun Junyi" Apache-2.0; do
    grep -q "$notice" "$contents/usr/share/doc/vantreel/copyright" ||
        { echo "the Debian package's copyright file lacks: $notice" >&2; exit 1; }
done
for notice in rime-pinyin-simp "Android Open Source Project" jieba "Sun Junyi" \
    "Apache License" "TERMS AND CONDITIONS FOR USE, REPRODUCTION"; do
    unzip -p "$out/${packages[1]}" LICENSE.txt | grep -q "$notice" ||
        { echo "the zip's LICENSE.txt lacks: $notice" >&2; exit 1; }
done
echo "-- the word list's notices are in the Debian package and the Windows zip"

echo "== SHA-256"
(cd "$out" && sha256sum "${packages[@]}")
