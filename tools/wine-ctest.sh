#!/usr/bin/env bash
# Runs the Windows build's tests (build-win) under Wine. Call it inside a
# virtual screen (xvfb-run): the prefix is prepared here, so its first desktop
# process gets that screen too, as every test window does. One wineserver for
# all the test programs, ended afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="$(pwd)/build-win/wineprefix"
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineserver -p
source tools/wine-prefix.sh "$WINEPREFIX" unmanaged
# The screen's scaling is one for the whole Wine: the tests run at 96 DPI
# (set again, in case an earlier run was cut short at 144), then the runs at
# 144 DPI come alone, after the rest, and the scaling goes back to 96 DPI.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
set_dpi 96
status=0
(cd build-win && ctest --output-on-failure -j"$(nproc)" -LE dpi) | tee build-win/ctest.log || status=$?
set_dpi 144
(cd build-win && ctest --output-on-failure -L dpi) | tee -a build-win/ctest.log || status=$?
set_dpi 96
wineserver -k || true
exit "$status"
