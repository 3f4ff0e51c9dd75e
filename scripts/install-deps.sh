#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building Raidkit and running its tests.
# Asks dpkg first, so a second run installs nothing and needs no network.
set -euo pipefail

PACKAGES=(
    # native build and unit tests
    cmake ninja-build g++ libgtest-dev valgrind clang-format
    # sanitizer builds and fuzz targets (the sanitize, fuzz and tsan presets)
    clang-14 libclang-rt-14-dev
    # cross build for Windows (posix threads flavour: the win32 one has no std::thread)
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
    # JPEG library and its SIMD assembler
    nasm libjpeg62-turbo-dev libturbojpeg0-dev dpkg-dev
    # running the Windows programs: 64-bit Wine only (wine32 would need the i386 architecture)
    wine wine64 fonts-wine
    # metric clones of Times New Roman and MS Sans Serif for the windows' design
    fonts-liberation
    # a private X screen, input and screenshots for the end-to-end tests
    xvfb xdotool x11-apps imagemagick
    # the download: zip it, read it back
    zip unzip git
)

declare -A installed=()
while read -r package status; do
    if [[ "$status" == installed ]]; then
        installed[$package]=1
    fi
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)

missing=()
for package in "${PACKAGES[@]}"; do
    [[ -n "${installed[$package]:-}" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "install-deps: all ${#PACKAGES[@]} packages are installed"
    exit 0
fi

as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
    as_root=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
# env, not export: sudo does not pass the caller's environment on.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
