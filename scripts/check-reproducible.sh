#!/usr/bin/env bash
# Builds the download from two clean clones of HEAD, in folders of different names, and checks
# that both give byte-identical raidkit.exe and zip. Prints both sums and the time taken; exits
# non-zero when they differ. Takes two full Windows builds (several minutes on 2 cores).
#
#   check-reproducible.sh [--keep]     --keep: leave the clones in build/reproducible
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KEEP=0
[[ "${1:-}" == --keep ]] && KEEP=1
start=$SECONDS
work="$ROOT/build/reproducible"
rm -rf "$work"
mkdir -p "$work"
[[ $KEEP -eq 1 ]] || trap 'rm -rf "$work"' EXIT

commit="$(git -C "$ROOT" rev-parse HEAD)"
[[ -z "$(git -C "$ROOT" status --porcelain)" ]] ||
    echo "note: the work tree has changes; the check builds the commit $commit without them"

declare -A exe_sum zip_sum
for clone in first second-clone-elsewhere; do
    dir="$work/$clone/raidkit"
    git clone -q "$ROOT" "$dir"
    git -C "$dir" checkout -q "$commit"
    echo "=== building $dir"
    (cd "$dir" && scripts/package.sh) >"$work/$clone.log" 2>&1 || {
        tail -20 "$work/$clone.log"
        echo "FAIL: the package did not build in $dir (log: $work/$clone.log)"
        exit 1
    }
    zip="$(ls "$dir"/dist/raidkit-*-win64.zip)"
    exe_sum[$clone]="$(sha256sum <"$dir/build/windows/src/app/raidkit.exe" | cut -c1-64)"
    zip_sum[$clone]="$(sha256sum <"$zip" | cut -c1-64)"
    echo "raidkit.exe ${exe_sum[$clone]}"
    echo "$(basename "$zip") ${zip_sum[$clone]}"
done

echo "=== $((SECONDS - start)) s for two clean builds of $commit"
if [[ "${exe_sum[first]}" == "${exe_sum[second-clone-elsewhere]}" &&
    "${zip_sum[first]}" == "${zip_sum[second-clone-elsewhere]}" ]]; then
    echo "PASS: both clones give the same raidkit.exe and zip"
else
    echo "FAIL: the two builds differ"
    exit 1
fi
