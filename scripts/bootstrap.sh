#!/usr/bin/env bash
# Installs everything the builds and tests need on a Debian 12 machine.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

NATIVE_PKGS=(cmake ninja-build g++ make libgtest-dev googletest libgmock-dev libbenchmark-dev libssl-dev libcli11-dev
             clang libclang-rt-14-dev lld xvfb xauth x11-apps xdotool imagemagick librsvg2-bin fonts-dejavu-core
             fonts-open-sans nlohmann-json3-dev wixl msitools osslsigncode python3 python3-pefile file
             softhsm2 libengine-pkcs11-openssl opensc gettext python3-fonttools python3-brotli fonts-noto-cjk
             fonts-noto-core locales)
CROSS_PKGS=(g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
            wine wine64)
I386_PKGS=(wine32:i386)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${NATIVE_PKGS[@]}" "${CROSS_PKGS[@]}" "${I386_PKGS[@]}"; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "bootstrap: all packages present"
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "bootstrap: done"
