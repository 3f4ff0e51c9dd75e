#!/usr/bin/env bash
# End-to-end scenarios: the real raidkit.exe beside the stand-in game under Wine.
#
#   run_scenarios.sh [--build-dir DIR] [--raidkit EXE] [--tools DIR] [--list] [PATTERN...]
#
# DIR is the Windows build (default build/windows): raidkit.exe from src/app, the test programs
# from tests/e2e. PATTERNs (shell globs) pick scenarios by name. Prints PASS, FAIL or SKIP per
# scenario with the reason, and exits non-zero when any failed (a skip that does not say what
# this machine lacks counts as failed). Uses the caller's Wine session if any, else its own.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$HERE/../../scripts/wine-env.sh"
# shellcheck source=tests/e2e/scenario_lib.sh
source "$HERE/scenario_lib.sh"

BUILD_DIR="$RAIDKIT_ROOT/build/windows"
RAIDKIT_EXE=""
TOOLS=""
LIST_ONLY=0
PATTERNS=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --build-dir) BUILD_DIR="$(realpath -m "$2")"; shift 2 ;;
        --raidkit) RAIDKIT_EXE="$(realpath -m "$2")"; shift 2 ;;
        --tools) TOOLS="$(realpath -m "$2")"; shift 2 ;;
        --list) LIST_ONLY=1; shift ;;
        -h | --help) sed -n '2,10p' "$0"; exit 0 ;;
        *) PATTERNS+=("$1"); shift ;;
    esac
done
RAIDKIT_EXE="${RAIDKIT_EXE:-$BUILD_DIR/src/app/raidkit.exe}"
TOOLS="${TOOLS:-$BUILD_DIR/tests/e2e}"
ARTIFACTS="$BUILD_DIR/e2e-artifacts"
RUN_DIR="$BUILD_DIR/e2e-run"

# Each scenario file adds its scenarios, in order, with "scenario <function> <needs-raidkit>".
SCENARIO_NAMES=()
declare -A SCENARIO_NEEDS_RAIDKIT=()
scenario() {
    SCENARIO_NAMES+=("$1")
    SCENARIO_NEEDS_RAIDKIT[$1]="$2"
}
# The harness's own checks first (when they fail, the others' failures mean little), then the
# program's life from start to end; files not named here follow in name order.
ORDER=(harness launch_modes single_instance game_keys chat_keybinds popup_closer settings_store)
declare -A sourced=()
for file in "${ORDER[@]/#/$HERE/scenarios/}" "$HERE"/scenarios/*; do
    file="${file%.sh}.sh"
    if [[ -z "${sourced[$file]:-}" ]]; then
        sourced[$file]=1
        # shellcheck source=/dev/null
        source "$file"
    fi
done

selected() {
    [[ ${#PATTERNS[@]} -eq 0 ]] && return 0
    local p
    for p in "${PATTERNS[@]}"; do
        # shellcheck disable=SC2053
        [[ "$1" == $p ]] && return 0
    done
    return 1
}

if [[ "$LIST_ONLY" == 1 ]]; then
    for name in "${SCENARIO_NAMES[@]}"; do
        selected "$name" && echo "$name"
    done
    exit 0
fi

for tool in rkdriver.exe ironveil.exe Kill.exe dinput_probe.exe; do
    if [[ ! -f "$TOOLS/$tool" ]]; then
        echo "run_scenarios: $TOOLS/$tool is missing: build the windows preset first" >&2
        exit 2
    fi
done

# Ended by a signal, the EXIT trap still stops a session of its own.
trap 'exit 130' INT
trap 'exit 143' TERM
if [[ "${RAIDKIT_SESSION_LOCKED:-}" == 1 && -n "${DISPLAY:-}" ]]; then
    : # the caller's session
else
    trap wine_session_stop EXIT
    wine_session_start 1
fi

rm -rf "$RUN_DIR"
mkdir -p "$RUN_DIR" "$ARTIFACTS"

passed=0
failed=0
skipped=0
second_try=()

# try_scenario <name>: one run of the scenario in a fresh SCEN_DIR; sets status, secs and reason.
try_scenario() {
    local name="$1" start
    SCEN_DIR="$RUN_DIR/$name"
    rm -rf "$SCEN_DIR"
    mkdir -p "$SCEN_DIR"
    start=$(now_ms)
    if [[ "${SCENARIO_NEEDS_RAIDKIT[$name]}" == yes && ! -f "$RAIDKIT_EXE" ]]; then
        status=1
        echo "raidkit.exe is not built ($RAIDKIT_EXE)" >"$SCEN_DIR/reason"
    else
        set +e
        (
            set -Eeuo pipefail
            trap end_scenario_processes EXIT
            trap 'fail "unexpected failure (status $?) of: $BASH_COMMAND"' ERR
            reset_state
            "$name"
            checks_done
        )
        status=$?
        set -e
    fi
    secs="$(printf '%d.%d' $((($(now_ms) - start) / 1000)) $((($(now_ms) - start) % 1000 / 100)))"
    reason="$(cat "$SCEN_DIR/reason" 2>/dev/null || true)"
    if [[ "$status" == "$SKIP_STATUS" ]]; then
        # A skip stands only with what this machine lacks; any other way out with 77 fails.
        local why
        why="$(cat "$SCEN_DIR/skip-reason" 2>/dev/null || true)"
        if [[ -n "${why//[[:space:]]/}" ]]; then
            reason="$why"
        else
            status=1
            reason="skipped without saying what this machine lacks (use skip_here \"<why>\")"
        fi
    fi
}

# failure_text <word> <name>: the failed try as printed: the reason, where its log is, and the
# log's last lines before the failure, for runs whose files are gone afterwards.
failure_text() {
    local text before
    text="$1  $2 (${secs} s): ${reason:-exit status $status}"$'\n'"      log: $SCEN_DIR/scenario.log"
    before="$(sed -n '/^FAIL: /q;p' "$SCEN_DIR/scenario.log" 2>/dev/null | tail -n 6 |
        sed 's/^/      | /')"
    [[ -z "$before" ]] || text+=$'\n'"$before"
    printf '%s' "$text"
}

# A failed scenario is run once more. This VM's timing swings, and a Wine program has now and then
# failed to do its part; a fault of the program's fails both tries. The first try is printed in
# full, its files kept beside the second's, and a pass on the second try is counted apart.
run_one() {
    local name="$1" status secs reason line second=""
    try_scenario "$name"
    if [[ "$status" != 0 && "$status" != "$SKIP_STATUS" ]]; then
        rm -rf "$SCEN_DIR.first-try"
        mv "$SCEN_DIR" "$SCEN_DIR.first-try"
        SCEN_DIR="$SCEN_DIR.first-try"
        failure_text "FIRST TRY FAILED" "$name"
        echo
        try_scenario "$name"
        [[ "$status" != 0 ]] || { second_try+=("$name"); second=" on the second try"; }
    fi
    case "$status" in
        0) passed=$((passed + 1)); line="PASS  $name (${secs} s)$second" ;;
        "$SKIP_STATUS") skipped=$((skipped + 1)); line="SKIP  $name: $reason" ;;
        *)
            failed=$((failed + 1))
            line="$(failure_text FAIL "$name")"
            ;;
    esac
    echo "$line"
}

echo "end-to-end scenarios (raidkit: $RAIDKIT_EXE)"
for name in "${SCENARIO_NAMES[@]}"; do
    selected "$name" && run_one "$name"
done

echo
[[ ${#second_try[@]} -eq 0 ]] || echo "passed only on a second try: ${second_try[*]}"
echo "end-to-end: $passed passed (${#second_try[@]} on a second try), $failed failed, $skipped skipped (artefacts: $ARTIFACTS)"
[[ "$failed" -eq 0 ]]
