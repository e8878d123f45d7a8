#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only
# those that are missing (so a machine that has them all needs no network).
set -euo pipefail

# "app" installs what building and starting the program needs; "windows" what
# cross-building the Windows program and starting it under Wine needs;
# "package" what tools/package.sh needs; "words" what tools/make-words.sh
# needs; anything else (the default) also what the tests, sanitizers, fuzzers
# and the Windows build and its window tests (Wine on a virtual screen) need.
case "${1:-all}" in
app)
    packages=(build-essential cmake qt6-base-dev fonts-wqy-microhei libcurl4-openssl-dev nlohmann-json3-dev libidn2-dev pkgconf)
    ;;
windows)
    packages=(cmake g++-mingw-w64-x86-64-posix nlohmann-json3-dev wine wine64 fonts-wqy-microhei xvfb xauth locales)
    ;;
words)
    packages=(python3 rime-data-pinyin-simp python3-jieba)
    ;;
package)
    packages=(build-essential cmake qt6-base-dev libcurl4-openssl-dev nlohmann-json3-dev libidn2-dev pkgconf
        g++-mingw-w64-x86-64-posix nsis dpkg-dev file lintian desktop-file-utils appstream git)
    ;;
*)
    packages=(
        build-essential cmake qt6-base-dev fonts-wqy-microhei
        libcurl4-openssl-dev nlohmann-json3-dev libssl-dev libidn2-dev pkgconf
        libgtest-dev libgmock-dev libbenchmark-dev
        clang libclang-rt-14-dev
        googletest g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth locales
        nsis dpkg-dev file lintian desktop-file-utils appstream git xdotool x11-utils unzip xdg-utils
        procps python3 rime-data-pinyin-simp python3-jieba
    )
    ;;
esac
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} > 0)); then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Wine takes a Windows' code page from the locale it starts in (zh_CN: 936, the
# Chinese Windows; en_US: 1252), and names files in that locale's character
# set: the Windows tests need both locales generated, in UTF-8.
if [ "${1:-all}" != app ] && [ "${1:-all}" != package ] && [ "${1:-all}" != words ]; then
    for name in en_US zh_CN; do
        if ! locale -a 2>/dev/null | grep -qix "$name.utf-\?8"; then
            sudo_cmd=()
            if [ "$(id -u)" -ne 0 ]; then
                sudo_cmd=(sudo)
            fi
            "${sudo_cmd[@]}" localedef -i "$name" -f UTF-8 "$name.UTF-8"
        fi
    done
fi
