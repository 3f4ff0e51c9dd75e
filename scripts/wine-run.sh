#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix and returns its exit code; CTest's
# emulator for the Windows build. Usage: wine-run.sh <program.exe> [arguments...]
#
# Wine lists and finds windows only with an X display behind its desktop, so without DISPLAY
# this starts a private Xvfb and wineserver for the one program and stops them afterwards.
# Callers that run many programs (scripts/test.sh) start one session and export DISPLAY.
set -euo pipefail

# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [[ $# -lt 1 ]]; then
    echo "usage: $0 <program.exe> [arguments...]" >&2
    exit 2
fi

if [[ -n "${DISPLAY:-}" ]]; then
    wine_prefix_ensure
    exec wine "$@"
fi

trap wine_session_stop EXIT
wine_session_start 1
rc=0
wine "$@" || rc=$?
exit "$rc"
