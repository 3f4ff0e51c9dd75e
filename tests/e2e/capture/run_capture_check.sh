#!/bin/bash
# Runs capture_check.exe (built beside put_bitmap.exe) in the project's Wine prefix (or
# $WINEPREFIX). Uses the running Wine session when called from one (scripts/test.sh),
# otherwise starts a private one on its own Xvfb and ends it after.
# Usage: run_capture_check.sh <folder with capture_check.exe and put_bitmap.exe>
set -u
bin="$(cd "${1:?folder of capture_check.exe}" && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../../../scripts/wine-env.sh"
if [[ "${RAIDKIT_SESSION_LOCKED:-}" != 1 || -z "${DISPLAY:-}" ]]; then
    wine_session_start 1 || exit 1
    trap wine_session_stop EXIT
fi
cd "$bin" || exit 2
timeout 300 wine ./capture_check.exe >capture_check.out 2>capture_check.err
rc=$?
cat capture_check.out
if [[ $rc -ne 0 ]]; then
    echo "capture_check.exe ended with status $rc"
    cat capture_check.err
fi
exit $rc
