#!/usr/bin/env bash
# Builds everything and runs all the tests: the unit and contract tests natively under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), each fuzz target over its corpus and
# for a few seconds, the screenshot tests under ThreadSanitizer, the Windows build's tests under
# Wine, the download read back, the end-to-end scenarios against the real raidkit.exe, and a
# one-minute long run. Prints a summary, with the number of skipped test cases and scenarios,
# and exits non-zero when anything failed. Logs go to build/test-logs/.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

JOBS="$(nproc)"
LOG_DIR="$ROOT/build/test-logs"
mkdir -p "$LOG_DIR"

STEP_PID=""
TAIL_PID=""
# shellcheck disable=SC2317 # called by the traps
cleanup() {
    if [[ -n "$STEP_PID" ]]; then
        # The step runs in a session of its own: end all of it, scenario subshells included.
        kill -TERM -- "-$STEP_PID" 2>/dev/null || true
        wait "$STEP_PID" 2>/dev/null || true
    fi
    if [[ -n "$TAIL_PID" ]]; then
        kill "$TAIL_PID" 2>/dev/null || true
        wait "$TAIL_PID" 2>/dev/null || true
    fi
    wine_session_stop
}
# Whatever way the run ends, no Wine process and no Xvfb stays behind.
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

RUN_START=$SECONDS
SUMMARY=()
FAILED=0
SKIPPED_CASES=0
SKIPPED_SCENARIOS=0

# skips_in <log>: "<cases> <scenarios>" a step's log reports skipped: CTest lists each case that
# found what it checks missing here as "(Skipped)"; the scenario runner counts its skips.
skips_in() {
    local cases scenarios
    cases="$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$1" || true)"
    scenarios="$(sed -n 's/^end-to-end: .*, \([0-9][0-9]*\) skipped.*/\1/p' "$1" | tail -n 1)"
    echo "${cases:-0} ${scenarios:-0}"
}

# step <name> <command...>: runs one step, its output shown and kept in build/test-logs.
# The output goes to a file, not a pipe: a Wine process that outlives its test keeps its
# parent's output open, and a pipe would then never end.
step() {
    local name="$1" start=$SECONDS status=0
    shift
    local log="$LOG_DIR/${name//[^A-Za-z0-9]/-}.log"
    echo
    echo "=== $name"
    : >"$log"
    # setsid: the step and everything it starts form one group that cleanup can end at once.
    setsid "$@" >"$log" 2>&1 </dev/null &
    STEP_PID=$!
    tail -n +1 -s 0.2 -f --pid="$STEP_PID" "$log" &
    TAIL_PID=$!
    # The wait builtin, unlike a foreground program, lets Ctrl-C reach the trap at once.
    wait "$STEP_PID" || status=$?
    STEP_PID=""
    wait "$TAIL_PID" || true
    TAIL_PID=""
    local line cases scenarios
    line="$(printf '%-6s %-32s %4d s' "$([[ $status -eq 0 ]] && echo PASS || echo FAIL)" "$name" $((SECONDS - start)))"
    read -r cases scenarios < <(skips_in "$log")
    SKIPPED_CASES=$((SKIPPED_CASES + cases))
    SKIPPED_SCENARIOS=$((SKIPPED_SCENARIOS + scenarios))
    if ((cases + scenarios > 0)); then
        line+="  ($((cases + scenarios)) skipped)"
    fi
    SUMMARY+=("$line")
    if [[ $status -ne 0 ]]; then
        FAILED=1
    fi
    return "$status"
}

not_run() {
    SUMMARY+=("$(printf '%-6s %-32s (%s)' "-" "$1" "$2")")
    FAILED=1
}

summary() {
    echo
    echo "=== summary ($((SECONDS - RUN_START)) s)"
    printf '%s\n' "${SUMMARY[@]}"
    # Skips pass, but what they leave unchecked must show: each says why in its step's log.
    echo "skipped: $SKIPPED_CASES GoogleTest cases, $SKIPPED_SCENARIOS end-to-end scenarios"
    if [[ $FAILED -eq 0 ]]; then
        echo "all passed"
    else
        echo "FAILED (logs: $LOG_DIR)"
    fi
}

if ! step "install dependencies" scripts/install-deps.sh; then
    summary
    exit 1
fi

# Builds keep going past a broken target, so that everything that does build is still tested.
# The native tests run only in the sanitizer builds: the same tests, with every memory error,
# undefined behaviour and data race they reach made fatal.
if step "sanitize: configure" cmake --preset sanitize; then
    step "sanitize: build" cmake --build --preset sanitize -- -k 0 || true
    # Unit and contract tests, and each fuzz target once over its committed corpus.
    step "sanitize: tests, fuzz corpora" ctest --preset sanitize -j "$JOBS" || true
    step "fuzz: 5 s per target" scripts/fuzz.sh --no-build 5 || true
else
    not_run "sanitize: build and tests" "configure failed"
fi
if step "tsan: configure" cmake --preset tsan; then
    step "tsan: build" cmake --build --preset tsan -- -k 0 || true
    step "tsan: screenshot tests" ctest --preset tsan -j "$JOBS" || true
else
    not_run "tsan: build and tests" "configure failed"
fi

if step "windows: configure" cmake --preset windows; then
    step "windows: build" cmake --build --preset windows -- -k 0 || true
    # One prefix, one Xvfb and one persistent wineserver for everything under Wine from here.
    echo
    echo "=== wine: start session"
    session_start=$SECONDS
    if wine_session_start 1 >"$LOG_DIR/wine-session.log" 2>&1; then
        echo "Wine prefix $WINEPREFIX on display $DISPLAY"
        SUMMARY+=("$(printf '%-6s %-32s %4d s' PASS "wine: start session" $((SECONDS - session_start)))")
        step "windows: tests under Wine" ctest --test-dir build/windows --output-on-failure \
            -j "$JOBS" --timeout 300 || true
        # The download as a player gets it: made, then read back.
        step "download package" bash -c \
            'zip="$(scripts/package.sh | grep "^/.*\.zip$")" && tests/package/check_package.sh "$zip"' ||
            true
        step "end-to-end scenarios" tests/e2e/run_scenarios.sh --build-dir build/windows || true
        step "key sender under Wine" tests/e2e/keys/run_key_sender_check.sh build/windows check ||
            true
        # Screenshots through the real clipboard, GDI and files, a hidden file replaced among them.
        step "screenshot files under Wine" tests/e2e/capture/run_capture_check.sh \
            build/windows/tests/e2e/capture || true
        # A tray-mode copy under a minute of steady play: every action answered, nothing grows.
        step "long run (60 s)" bench/longrun/run_longrun.sh 60 --check-after 20 || true
    else
        cat "$LOG_DIR/wine-session.log"
        not_run "wine: start session" "see $LOG_DIR/wine-session.log"
    fi
else
    not_run "windows: build and tests" "configure failed"
fi

summary
exit "$FAILED"
