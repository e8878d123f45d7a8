#!/usr/bin/env bash
# Installs what is missing, cross-builds the Windows program (dovrenta.exe) with
# mingw-w64 and starts it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh windows
cmake -S . -B build-win-app -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVANTREEL_BUILD_TESTS=OFF -DVANTREEL_BUILD_BENCH=OFF
cmake --build build-win-app -j"$(nproc)" --target dovrenta
echo "Built $(pwd)/build-win-app/app/win32/dovrenta.exe (with help/ beside it)."

if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
There is no X display to show the window on (DISPLAY is not set). Start this
command from a terminal inside your desktop session, or, on a machine without
one, inside a virtual screen:
    xvfb-run -a -s "-screen 0 1600x1000x24" bash tools/run-windows.sh
MSG
    exit 1
fi
source tools/wine-prefix.sh "$(pwd)/build-win-app/wineprefix"
exec wine build-win-app/app/win32/dovrenta.exe
