#!/usr/bin/env bash
# Runs key_sender_check against the stand-in game under Wine. Uses the running Wine session
# when called from one (scripts/test.sh), otherwise starts a private one and ends it after.
#   run_key_sender_check.sh <build-dir> check
#   run_key_sender_check.sh <build-dir> bench|poll [runs]
# <build-dir> holds key_sender_check.exe and ironveil.exe (searched below it).
set -euo pipefail

build="$(realpath "${1:?build dir}")"
shift
# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-env.sh"

find_exe() { find "$build" -name "$1" -type f | head -n 1; }
checker="$(find_exe key_sender_check.exe)"
game="$(find_exe ironveil.exe)"
[[ -n "$checker" && -n "$game" ]] || {
    echo "key_sender_check.exe or ironveil.exe missing under $build" >&2
    exit 2
}

work="$(mktemp -d "$RAIDKIT_ROOT/build/keys-check.XXXXXX")"
own_session=""
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    if [[ -n "$own_session" ]]; then
        wine_session_stop
    elif [[ -s "$work/game.pid" ]]; then
        wine taskkill /f /pid "$(tr -dc '0-9' <"$work/game.pid")" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
if [[ "${RAIDKIT_SESSION_LOCKED:-}" != 1 ]]; then
    own_session=1
    wine_session_start 1
fi

record="$work/chat.txt"
: >"$record"
wine "$game" --record "$(to_win_path "$record")" --pid-file "$(to_win_path "$work/game.pid")" \
    >"$work/game.log" 2>&1 &
for ((i = 0; i < 200; i++)); do
    [[ -s "$work/game.pid" ]] && break
    sleep 0.05
done
[[ -s "$work/game.pid" ]] || {
    echo "the stand-in game did not start" >&2
    exit 2
}

status=0
wine "$checker" "$1" "$(to_win_path "$record")" "${@:2}" </dev/null >"$work/out.txt" 2>"$work/err.txt" ||
    status=$?
cat "$work/out.txt"
exit "$status"
