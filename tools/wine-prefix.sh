#!/usr/bin/env bash
# Prepares a Wine prefix for the Windows program: SimSun (宋体), the font the
# window asks for, is mapped to a Chinese font of the host, so Chinese text
# shows. With "unmanaged", Wine draws the window frames itself instead of
# waiting for a window manager, as on a virtual screen without one (hiding a
# window there otherwise waits two seconds for an answer that never comes).
# Usage: source tools/wine-prefix.sh PREFIX [unmanaged]   (leaves the shell's options alone)
# No menu entries for the shortcuts tests write, and no debugger window that
# would wait on the screen for ever after a crash: the crash is reported.
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/.vantreel-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    for face in SimSun "宋体" NSimSun; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
            /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 || true
    done
    touch "$WINEPREFIX/.vantreel-ready"
fi
if [ "${2:-}" = "unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
