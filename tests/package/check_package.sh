#!/usr/bin/env bash
# Reads the download back as a player gets it: the zip's entries, its sums, the guide's topics
# and raidkit.exe's version resource (through Windows' own reader, under Wine).
#
#   check_package.sh ZIP [VERSION_INFO_EXE]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
zip="$(realpath "$1")"
reader="${2:-$ROOT/build/windows/tests/package/version_info.exe}"
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

failures=0
check() {
    local name="$1"
    shift
    if "$@"; then echo "PASS $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

version="$(basename "$zip" .zip)"
version="${version#raidkit-}"
version="${version%-win64}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

check "the zip holds exactly GUIDE.txt LICENSE.txt SHA256SUMS raidkit.exe, in that order" \
    test "$(unzip -Z1 "$zip" | tr '\n' ' ')" == "GUIDE.txt LICENSE.txt SHA256SUMS raidkit.exe "
check "every file matches its sum in SHA256SUMS" \
    bash -c "cd '$work' && tr -d '\r' <SHA256SUMS | sha256sum --quiet -c -"
check "SHA256SUMS covers every other file" \
    test "$(tr -d '\r' <"$work/SHA256SUMS" | sed 's/^[0-9a-f]* \*//' | tr '\n' ' ')" == \
    "GUIDE.txt LICENSE.txt raidkit.exe "
check "the zip's published sum matches it" \
    bash -c "cd '$(dirname "$zip")' && sha256sum --quiet -c '$(basename "$zip").sha256'"
check "the text files have Windows line ends" \
    bash -c "! grep -qv \$'\r\$' '$work/GUIDE.txt' '$work/LICENSE.txt'"

guide_covers() { grep -qF -- "$1" "$work/GUIDE.txt"; }
for topic in "Print Screen" "F9 ... F12" "Pause" "Scroll Lock" "intro.exe" "Proton" \
    "same Wine or Proton build" "as administrator" "Snipping Tool" "Pictures\\Ironveil" \
    "WOW6432Node" "VirtualStore" "reg delete" "LF only" "CR LF line ends throughout" \
    "certutil -hashfile" "Raidkit $version"; do
    check "the guide covers \"$topic\"" guide_covers "$topic"
done

copyright="$(sed -n 's/^\(Copyright (c) .*\)\r\?$/\1/p' "$work/LICENSE.txt" | tr -d '\r')"
check "LICENSE.txt is the MIT license of the Raidkit authors" \
    test "$copyright" == "Copyright (c) 2026 the Raidkit authors"

if [[ -f "$reader" ]]; then
    wine_prefix_ensure >/dev/null 2>&1 || true
    info="$(wine "$reader" "$(winepath -w "$work/raidkit.exe" 2>/dev/null)" 2>&1 | tr -d '\r')" ||
        true
    printf '%s\n' "$info" | sed 's/^/  /'
    field() { printf '%s\n' "$info" | sed -n "s/^$1=//p"; }
    check "ProductName is Raidkit" test "$(field ProductName)" == Raidkit
    check "FileDescription names the program" test "$(field FileDescription)" == \
        "Raidkit - Ironveil tray utility"
    check "FileVersion $(field FileVersion) is the zip's version $version" \
        test "$(field FileVersion)" == "$version.0"
    check "LegalCopyright matches LICENSE.txt" test "$(field LegalCopyright)" == "$copyright"
else
    echo "FAIL $reader is not built"
    failures=$((failures + 1))
fi

[[ $failures -eq 0 ]] && echo "package: all checks passed" || echo "package: $failures failed"
exit $((failures > 0))
