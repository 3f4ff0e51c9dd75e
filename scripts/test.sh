#!/usr/bin/env bash
# Builds everything and runs all the tests: the unit and contract tests natively under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), each fuzz target over its corpus and
# for a few seconds, the screenshot tests under ThreadSanitizer, the Windows build's tests under
# Wine, the download read back, the end-to-end scenarios against the real raidkit.exe, and a
# one-minute long run. Prints a summary, with the number of skipped test cases and scenarios,
# and exits non-zero when anything failed. Logs go to build/test-logs/.
#
# The native lane (sanitizer builds, their tests, the fuzzing) runs in the background beside the
# Windows build, filling the cores where either one waits (configure, links, the one-core
# fuzzing). Everything under Wine starts only once both are done: the scenarios and the long run
# time the program as a player's machine would, and a compile beside them makes them miss.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

JOBS="$(nproc)"
LOG_DIR="$ROOT/build/test-logs"
mkdir -p "$LOG_DIR"

# Each lane writes a line per step to its own file here; the summary reads them all.
RESULTS_DIR="$LOG_DIR/results"
rm -rf "$RESULTS_DIR"
mkdir -p "$RESULTS_DIR"
RESULTS="$RESULTS_DIR/windows"
BACKGROUND=0
STEP_PID=""
TAIL_PID=""
NATIVE_PID=""
PREFIX_PID=""

# shellcheck disable=SC2317 # called by the traps
end_step() {
    if [[ -n "$STEP_PID" ]]; then
        # The step runs in a session of its own: end all of it, scenario subshells included.
        kill -TERM -- "-$STEP_PID" 2>/dev/null || true
        wait "$STEP_PID" 2>/dev/null || true
        STEP_PID=""
    fi
    if [[ -n "$TAIL_PID" ]]; then
        kill "$TAIL_PID" 2>/dev/null || true
        wait "$TAIL_PID" 2>/dev/null || true
        TAIL_PID=""
    fi
}
# shellcheck disable=SC2317 # called by the traps
cleanup() {
    if [[ -n "$NATIVE_PID" ]]; then
        kill -TERM "$NATIVE_PID" 2>/dev/null || true
        wait "$NATIVE_PID" 2>/dev/null || true
    fi
    if [[ -n "$PREFIX_PID" ]]; then
        kill -TERM "$PREFIX_PID" 2>/dev/null || true
        wait "$PREFIX_PID" 2>/dev/null || true
        wineserver -k 2>/dev/null || true
    fi
    end_step
    wine_session_stop
}
# Whatever way the run ends, no Wine process, no Xvfb and no build stays behind.
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

RUN_START=$SECONDS

# skips_in <log>: "<cases> <scenarios>" a step's log reports skipped: CTest lists each case that
# found what it checks missing here as "(Skipped)"; the scenario runner counts its skips.
skips_in() {
    local cases scenarios
    cases="$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$1" || true)"
    scenarios="$(sed -n 's/^end-to-end: .*, \([0-9][0-9]*\) skipped.*/\1/p' "$1" | tail -n 1)"
    echo "${cases:-0} ${scenarios:-0}"
}

# step <name> <command...>: runs one step, its output kept in build/test-logs and, unless the
# lane runs in the background, shown as it comes. The output goes to a file, not a pipe: a Wine
# process that outlives its test keeps its parent's output open, and a pipe would then never end.
step() {
    local name="$1" start=$SECONDS status=0
    shift
    local log="$LOG_DIR/${name//[^A-Za-z0-9]/-}.log"
    [[ "$BACKGROUND" == 1 ]] || printf '\n=== %s\n' "$name"
    : >"$log"
    # setsid: the step and everything it starts form one group that cleanup can end at once.
    setsid "$@" >"$log" 2>&1 </dev/null &
    STEP_PID=$!
    if [[ "$BACKGROUND" != 1 ]]; then
        tail -n +1 -s 0.2 -f --pid="$STEP_PID" "$log" &
        TAIL_PID=$!
    fi
    # The wait builtin, unlike a foreground program, lets Ctrl-C reach the trap at once.
    wait "$STEP_PID" || status=$?
    STEP_PID=""
    if [[ -n "$TAIL_PID" ]]; then
        wait "$TAIL_PID" || true
        TAIL_PID=""
    fi
    local cases scenarios
    read -r cases scenarios < <(skips_in "$log")
    record "$status" "$cases" "$scenarios" "$name" $((SECONDS - start)) "$log"
    return "$status"
}

# record <status|-> <skipped cases> <skipped scenarios> <name> <seconds> <log|why>: one line of
# the lane's results, read back by summary; status "-" is a step that could not run.
record() {
    local IFS='|'
    printf '%s\n' "$*" >>"$RESULTS"
}

# not_run <name> <why>: a step that could not run fails the run.
not_run() { record - 0 0 "$1" 0 "$2"; }

FAILED=0
summary() {
    local lane status cases scenarios name secs why line skipped_cases=0 skipped_scenarios=0
    echo
    echo "=== summary ($((SECONDS - RUN_START)) s)"
    for lane in windows native; do
        [[ -f "$RESULTS_DIR/$lane" ]] || continue
        while IFS='|' read -r status cases scenarios name secs why; do
            # A line cut short (a lane ended mid-write) counts as a failed step, not a crash.
            [[ "$status" =~ ^[0-9]+$ || "$status" == - ]] || status=1
            [[ "$cases" =~ ^[0-9]+$ ]] || cases=0
            [[ "$scenarios" =~ ^[0-9]+$ ]] || scenarios=0
            [[ "$secs" =~ ^[0-9]+$ ]] || secs=0
            if [[ "$status" == - ]]; then
                printf '%-6s %-32s (%s)\n' - "$name" "$why"
                FAILED=1
                continue
            fi
            line="$(printf '%-6s %-32s %4d s' "$([[ $status -eq 0 ]] && echo PASS || echo FAIL)" \
                "$name" "$secs")"
            if ((cases + scenarios > 0)); then
                line+="  ($((cases + scenarios)) skipped)"
            fi
            echo "$line"
            skipped_cases=$((skipped_cases + cases))
            skipped_scenarios=$((skipped_scenarios + scenarios))
            [[ "$status" -eq 0 ]] || FAILED=1
        done <"$RESULTS_DIR/$lane"
    done
    # Skips pass, but what they leave unchecked must show: each says why in its step's log.
    echo "skipped: $skipped_cases GoogleTest cases, $skipped_scenarios end-to-end scenarios"
    # A scenario that failed once and then passed counts as passed; its first try stays in view.
    sed -n 's/^passed only on a second try: /scenarios &/p' "$LOG_DIR/end-to-end-scenarios.log" \
        2>/dev/null || true
    if [[ $FAILED -eq 0 ]]; then
        echo "all passed"
    else
        echo "FAILED (logs: $LOG_DIR)"
    fi
}

# The native lane: the unit and contract tests only in the sanitizer builds, the same tests with
# every memory error, undefined behaviour and data race they reach made fatal. Builds keep going
# past a broken target, so that everything that does build is still tested.
native_lane() {
    RESULTS="$RESULTS_DIR/native"
    BACKGROUND=1
    trap 'end_step; exit 143' TERM
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
}

# Shows what the native lane printed, once it is done, so that the lanes' output does not mix.
finish_native_lane() {
    echo
    echo "=== native lane (ran beside the Windows build)"
    local status=0
    wait "$NATIVE_PID" || status=$?
    NATIVE_PID=""
    local name log
    if [[ -f "$RESULTS_DIR/native" ]]; then
        while IFS='|' read -r _ _ _ name _ log; do
            [[ -f "$log" ]] || continue
            printf '\n=== %s\n' "$name"
            cat "$log"
        done <"$RESULTS_DIR/native"
    fi
    if [[ $status -ne 0 ]]; then
        RESULTS="$RESULTS_DIR/native" not_run "native lane" "ended with status $status"
    fi
}

if ! step "install dependencies" scripts/install-deps.sh; then
    summary
    exit 1
fi

native_lane &
NATIVE_PID=$!
# The Wine prefix is made while the Windows build runs: its making mostly waits on Wine.
(wine_prefix_ensure) >"$LOG_DIR/wine-prefix.log" 2>&1 &
PREFIX_PID=$!

windows_configured=0
if step "windows: configure" cmake --preset windows; then
    windows_configured=1
    step "windows: build" cmake --build --preset windows -- -k 0 || true
else
    not_run "windows: build and tests" "configure failed"
fi

# Nothing else runs from here on: the work under Wine has the machine to itself.
finish_native_lane

if [[ "$windows_configured" == 1 ]]; then
    # One prefix, one Xvfb and one persistent wineserver for everything under Wine from here.
    echo
    echo "=== wine: start session"
    session_start=$SECONDS
    wait "$PREFIX_PID" || true # a failed making is tried again, and reported, by the start
    PREFIX_PID=""
    if wine_session_start 1 >"$LOG_DIR/wine-session.log" 2>&1; then
        echo "Wine prefix $WINEPREFIX on display $DISPLAY"
        record 0 0 0 "wine: start session" $((SECONDS - session_start)) \
            "$LOG_DIR/wine-session.log"
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
fi

summary
exit "$FAILED"
