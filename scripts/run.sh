#!/usr/bin/env bash
# Builds raidkit.exe and starts it under Wine; arguments after run.sh go to raidkit.exe.
# With DISPLAY set it runs on that display until raidkit ends. Without one it runs on a private
# Xvfb: once its window has appeared, a screenshot of the screen is saved to
# build/screenshots/raidkit-run.png, and everything is stopped again.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

RAIDKIT_TITLE="Raidkit v2.2 By Velmor"
EXE="$ROOT/build/windows/src/app/raidkit.exe"
DRIVER="$ROOT/build/windows/tests/e2e/rkdriver.exe"
SHOT_DIR="$ROOT/build/screenshots"
LOG="$ROOT/build/raidkit-run.log"

scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target raidkit rkdriver

RAIDKIT_PID=""
cleanup() {
    if [[ -n "$RAIDKIT_PID" ]]; then
        kill "$RAIDKIT_PID" 2>/dev/null || true
        wait "$RAIDKIT_PID" 2>/dev/null || true
    fi
    wine_session_stop
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ -n "${DISPLAY:-}" ]]; then
    wine_session_start 0
    echo "raidkit.exe on display $DISPLAY; it runs until you close it"
    status=0
    wine "$EXE" "$@" || status=$?
    echo "raidkit.exe ended with status $status"
    exit "$status"
fi

wine_session_start 1
wine "$EXE" "$@" >"$LOG" 2>&1 &
RAIDKIT_PID=$!
shown=""
for ((i = 0; i < 60; i++)); do
    if wine "$DRIVER" wait-window "$RAIDKIT_TITLE" 500 >/dev/null; then
        shown=1
        break
    fi
    pid_running "$RAIDKIT_PID" || break
done
if [[ -z "$shown" ]]; then
    status=0
    wait "$RAIDKIT_PID" || status=$?
    RAIDKIT_PID=""
    echo "run: raidkit.exe showed no window titled \"$RAIDKIT_TITLE\" (status $status, log $LOG)" >&2
    exit 1
fi
echo "raidkit.exe window: $(wine "$DRIVER" find "$RAIDKIT_TITLE")"
# The window exists before it has painted; give it a moment so the picture shows it drawn.
sleep 1
mkdir -p "$SHOT_DIR"
import -display "$DISPLAY" -window root "$SHOT_DIR/raidkit-run.png"
echo "screenshot: $SHOT_DIR/raidkit-run.png"

# Closed the way a user would, so it shuts down in order; the trap stops the rest.
wine "$DRIVER" close "$RAIDKIT_TITLE" >/dev/null || true
for ((i = 0; i < 100; i++)); do
    pid_running "$RAIDKIT_PID" || break
    sleep 0.1
done
