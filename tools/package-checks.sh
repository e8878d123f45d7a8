#!/usr/bin/env bash
# Installs each package in dist/ as a user would, starts the program, saves a
# profile through its window and opens its help, then removes it:
#   - the Debian package with apt, the program under a fresh home folder;
#   - the Windows setup program silently under Wine, then its uninstaller;
#   - the Windows zip unpacked into a folder with a Chinese name, under Wine.
# Run it as root inside a virtual screen (xvfb-run); tools/test.sh does.
# Usage: bash tools/package-checks.sh [DIST_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dist=$(realpath "${1:-dist}")
deb=$(ls "$dist"/vantreel_*_amd64.deb)
zip=$(ls "$dist"/vantreel-*-win64.zip)
setup=$(ls "$dist"/vantreel-*-win64-setup.exe)
work=$(mktemp -d)
program_pid=
cleanup() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    import -window root "$work/../vantreel-package-check.png" 2>/dev/null &&
        echo "(the screen: $(realpath "$work/../vantreel-package-check.png"))" >&2
    exit 1
}

# The id of the first visible window whose name matches, within 60 s.
wait_window() {
    local id
    for _ in $(seq 1 120); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    return 1
}

# The setup program's last steps (the Start-menu link) may still be on their
# way when the command returns under Wine: wait for a path to appear.
wait_path() {
    for _ in $(seq 1 40); do
        [ -e "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

wait_file() {
    for _ in $(seq 1 40); do
        [ -s "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

# Presses 保存设置 (at x y in the window) and answers the input box with name.
save_profile() {
    local window=$1 x=$2 y=$3 name=$4 box
    xdotool mousemove --window "$window" "$x" "$y" click 1
    box=$(wait_window "域名设置组合的名称") || fail "no input box after 保存设置"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    sleep 0.5
    xdotool type --delay 60 "$name"
    sleep 0.3
    xdotool key Return
}

# ------------------------------------------------------------ Debian package
echo "-- $(basename "$deb"): install, start, save a profile, open help, purge"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }
[ -x /usr/bin/dovrenta ] || fail "no /usr/bin/dovrenta"
installed_files=$(dpkg -L vantreel)

# A fresh home; the desktop's opener is replaced by one that notes the address.
home="$work/home"
mkdir -p "$home" "$work/bin"
cat >"$work/bin/xdg-open" <<OPENER
#!/bin/sh
echo "\$1" >>"$work/opened"
OPENER
chmod +x "$work/bin/xdg-open"
(cd "$home" && exec env -u XDG_CONFIG_HOME HOME="$home" PATH="$work/bin:$PATH" \
    /usr/bin/dovrenta >"$work/qt.log" 2>&1) &
program_pid=$!
window=$(wait_window "^Vantreel v") || fail "the window did not come up"
sleep 1
save_profile "$window" 308 199 "deb-check"
ini="$home/.config/vantreel/kestrova.ini"
wait_file "$ini" || fail "no profile in $ini"
grep -q '^\[deb-check\]' "$ini" || fail "the profile is not in $ini"
xdotool mousemove --window "$window" 297 24 click 1 # 帮助, the fifth button
wait_file "$work/opened" || fail "帮助 opened nothing"
help=$(head -n 1 "$work/opened")
[ "$help" = "file:///usr/share/vantreel/help/index.html" ] || fail "帮助 opened $help"
[ -s /usr/share/vantreel/help/index.html ] || fail "no help page where 帮助 opens it"
kill "$program_pid" && wait "$program_pid" 2>/dev/null || true
program_pid=
echo "   window up, profile in ~/.config/vantreel/kestrova.ini, help at $help"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -q vantreel >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get purge"; }
while IFS= read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        fail "$path is left after the purge"
    fi
done <<<"$installed_files"
for folder in /usr/share/vantreel /usr/share/doc/vantreel; do
    [ ! -e "$folder" ] || fail "$folder is left after the purge"
done
echo "   purged: nothing of it is left under /usr"

# ------------------------------------------------------------ Windows, under Wine
# The Wine of the Windows tests (tools/wine-prefix.sh), as on an English Windows.
export WINEPREFIX="${VANTREEL_WINEPREFIX:-$root/build-win/wineprefix}" LC_ALL=en_US.UTF-8
wineserver -k 2>/dev/null || true
source tools/wine-prefix.sh "$WINEPREFIX" unmanaged
drive_c="$WINEPREFIX/drive_c"
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
settings=$(winepath -u "$appdata" 2>/dev/null)/Vantreel
rm -rf "$settings"
# The shortcut the program lays on the user's desktop at every start.
version=$(basename "$setup" | sed 's/^vantreel-\(.*\)-win64-setup\.exe$/\1/')
desktop=$(winepath -u "$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v Desktop 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')" 2>/dev/null)
desktop_link="$desktop/Vantreelv$version.lnk"
rm -f "$desktop_link"

# Starts a Windows program (unix path of a program or a shortcut) and returns
# its window, saves a profile through it and closes it with 关闭.
use_windows_program() {
    local start=$1 profile=$2 window
    (cd "$work" && exec wine start /wait /unix "$start" >"$work/wine.log" 2>&1) &
    program_pid=$!
    window=$(wait_window "^Vantreel v") || fail "the window of $start did not come up"
    sleep 1
    save_profile "$window" 313 221 "$profile"
    wait_file "$3" || fail "no profile in $3"
    grep -q "^\[$profile\]" "$3" || fail "the profile is not in $3"
    xdotool mousemove --window "$window" 412 51 click 1 # 关闭, the last button
    wait "$program_pid" || true
    program_pid=
    # Wine lets go of the program's file a moment after its window goes.
    for _ in $(seq 1 40); do
        pgrep -f 'dovrenta\.exe' >/dev/null || break
        sleep 0.25
    done
}

# Runs the uninstaller of the program in folder silently; it works from a copy
# of itself, so wait for the folder to go.
uninstall() {
    wine "$1/uninstall.exe" /S || fail "the uninstaller failed"
    for _ in $(seq 1 60); do
        [ -e "$1" ] || return 0
        sleep 0.5
    done
    fail "$1 is left after uninstalling: $(ls -A "$1")"
}

echo "-- $(basename "$setup"): silent install, start from the Start menu, save a profile, uninstall"
wine "$setup" /S || fail "the setup program failed"
folder="$drive_c/Program Files/Vantreel"
wait_path "$folder/dovrenta.exe" || fail "nothing installed in $folder"
[ -s "$folder/help/index.html" ] || fail "no help page in $folder/help"
link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantreel.lnk"
wait_path "$link" || fail "no Start-menu entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantreel' \
    /v UninstallString >/dev/null 2>&1 || fail "no uninstaller entry"
use_windows_program "$link" setup-check "$settings/kestrova.ini"
[ ! -e "$folder/kestrova.ini" ] || fail "the installed program wrote beside itself"
echo "   window up, profile in %APPDATA%\\Vantreel\\kestrova.ini"
[ -e "$desktop_link" ] || fail "the program laid no shortcut on the desktop ($desktop_link)"
uninstall "$folder"
[ ! -e "$link" ] || fail "the Start-menu entry is left after uninstalling"
[ ! -e "$desktop_link" ] || fail "the desktop shortcut to the removed program is left"
! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantreel' \
    >/dev/null 2>&1 || fail "the uninstaller entry is left"
echo "   uninstalled: the program's folder, its Start-menu entry, its entry and its desktop shortcut are gone"

echo "-- $(basename "$zip"): unpacked into a folder with a Chinese name, start, save a profile"
portable="$work/拼音域名 工具"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
[ ! -e "$portable/installed.txt" ] || fail "the zip carries the installed marker"
use_windows_program "$portable/dovrenta.exe" zip-check "$portable/kestrova.ini"
echo "   window up, profile beside dovrenta.exe"
echo "-- $(basename "$setup") /CurrentUser: installed for this user alone, then uninstalled"
wine "$setup" /S /CurrentUser || fail "the setup program failed for the current user"
local_appdata=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
folder="$local_appdata/Programs/Vantreel"
wait_path "$folder/dovrenta.exe" || fail "nothing installed in $folder"
[ ! -e "$drive_c/Program Files/Vantreel" ] || fail "a current-user install wrote to Program Files"
wait_path "$(winepath -u "$appdata")/Microsoft/Windows/Start Menu/Programs/Vantreel.lnk" ||
    fail "no Start-menu entry of the user's own"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantreel' \
    /v UninstallString >/dev/null 2>&1 || fail "no uninstaller entry of the user's own"
uninstall "$folder"
# The desktop shortcut now leads to the portable copy started above: it stays.
[ -e "$desktop_link" ] || fail "the uninstaller removed a desktop shortcut to another copy"
echo "   installed in the user's own programs folder and uninstalled; another copy's shortcut stays"

wineserver -k 2>/dev/null || true
echo "-- every package installed, used and removed"
