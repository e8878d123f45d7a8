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
# Usage: bash tools/package.sh [BUILD_FOLDER [OUT_FOLDER]]
#        (by default build-package and dist, below the project's folder)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath -m "${1:-build-package}")
out=$(realpath -m "${2:-dist}")

bash tools/install-deps.sh package
jobs=$(nproc)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null ||
    stat -c %Y CMakeLists.txt)}
export TZ=UTC
umask 022

echo "== packages of $(git describe --always --dirty 2>/dev/null || echo 'this tree'), time $SOURCE_DATE_EPOCH"
cmake -S . -B "$build/linux" -DCMAKE_BUILD_TYPE=Release \
    -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
cmake --build "$build/linux" -j"$jobs"
cmake -S . -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
cmake --build "$build/windows" -j"$jobs"

rm -rf "$build/linux/dist" "$build/windows/dist"
(cd "$build/linux" && cpack -G DEB)
(cd "$build/windows" && cpack)
mkdir -p "$out"
version=$(sed -n 's/^#define VT_VERSION "\(.*\)"$/\1/p' "$build/linux/generated/Version.h")
deb="vantreel_${version}_amd64.deb"
packages=("$deb" "vantreel-${version}-win64.zip" "vantreel-${version}-win64-setup.exe")
cp "$build/linux/dist/$deb" "$out/"
cp "$build/windows/dist/${packages[1]}" "$build/windows/dist/${packages[2]}" "$out/"

# The Debian package as Debian's own tools see it: no lintian error, a menu
# entry and metadata that validate.
echo "== checks of $deb"
lintian --fail-on error --tag-display-limit 0 "$out/$deb"
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$out/$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml

echo "== SHA-256"
(cd "$out" && sha256sum "${packages[@]}")
