#!/usr/bin/env bash
# Makes the download: dist/raidkit-<version>-win64.zip with raidkit.exe, LICENSE.txt,
# GUIDE.txt and SHA256SUMS, and dist/raidkit-<version>-win64.zip.sha256 beside it.
# <version> is raidkit.rc's FILEVERSION (2.2.0 from 2,2,0,0). Two checkouts of one commit give
# byte-identical files: entries sorted, times taken from the commit, fixed permissions, UTC.
#
#   package.sh [--build-dir DIR]     DIR: the Windows build to use (default build/windows)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD_DIR="$ROOT/build/windows"
while [[ $# -gt 0 ]]; do
    case "$1" in
        --build-dir) BUILD_DIR="$(realpath -m "$2")"; shift 2 ;;
        -h | --help) sed -n '2,7p' "$0"; exit 0 ;;
        *) echo "unknown argument $1 (see --help)" >&2; exit 2 ;;
    esac
done

scripts/install-deps.sh >/dev/null

version="$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *[0-9]*.*/\1.\2.\3/p' \
    src/app/raidkit.rc)"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "no FILEVERSION in raidkit.rc" >&2; exit 1; }

if [[ "$BUILD_DIR" == "$ROOT/build/windows" ]]; then
    cmake --preset windows >/dev/null
else
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$BUILD_DIR" --target raidkit

# The commit's time, so that the same commit gives the same zip; a tree with changes still
# packages, at the time of its last commit.
epoch="$(git log -1 --format=%ct 2>/dev/null || echo 315532800)"
export TZ=UTC
name="raidkit-$version-win64"
stage="$ROOT/build/package/$name"
rm -rf "$stage"
mkdir -p "$stage" "$ROOT/dist"
cp "$BUILD_DIR/src/app/raidkit.exe" "$stage/raidkit.exe"
# Text files with Windows line ends, so that every editor on Windows shows their lines.
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/GUIDE.txt >"$stage/GUIDE.txt"
(cd "$stage" && sha256sum --binary GUIDE.txt LICENSE.txt raidkit.exe | sed 's/$/\r/' >SHA256SUMS)
chmod 0644 "$stage"/*
chmod 0755 "$stage/raidkit.exe"
touch -d "@$epoch" "$stage"/*

zip="$ROOT/dist/$name.zip"
rm -f "$zip"
# -X: no owner or extra time fields; -D: no folder entries; names in byte order.
(cd "$stage" && LC_ALL=C ls | LC_ALL=C sort | zip -X -D -q -9 "$zip" -@)
(cd "$ROOT/dist" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$zip"
cat "$ROOT/dist/$name.zip.sha256"
