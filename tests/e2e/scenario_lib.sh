# shellcheck shell=bash
# Helpers for the end-to-end scenarios; sourced by run_scenarios.sh after wine-env.sh.
# A scenario runs in a subshell whose exit status is its result: 0 pass, 77 skip (only through
# skip_here, which leaves what the machine lacks in $SCEN_DIR/skip-reason), anything else fail;
# a failure's reason is left in $SCEN_DIR/reason.
#
# Set by the runner: TOOLS (folder of rkdriver.exe, ironveil.exe, Kill.exe, dinput_probe.exe),
# RAIDKIT_EXE, ARTIFACTS (kept after the run), SCEN_DIR (this scenario's scratch folder).

readonly RAIDKIT_TITLE="Raidkit v2.2 By Velmor"
readonly GAME_TITLE="Ironveil"
# The game's key, in the 32-bit view where the 32-bit game and its installer keep it: reach it
# with settings_reg, which adds /reg:32.
readonly SETTINGS_KEY='HKLM\SOFTWARE\Kestrane\Kestrane Games\Ironveil'
# Every setting is also kept per user, and that copy is read first.
readonly USER_SETTINGS_KEY='HKCU\SOFTWARE\Kestrane\Kestrane Games\Ironveil'
# Where Windows keeps a 32-bit settings tool's writes when it may not write machine-wide.
readonly VSTORE_SETTINGS_KEY='HKCU\Software\Classes\VirtualStore\MACHINE\SOFTWARE\WOW6432Node\Kestrane\Kestrane Games\Ironveil'
# shellcheck disable=SC2034 # used by the scenario files
readonly RELAUNCH_ARGS=(go /D8 /C /R /I100 /U1)
readonly SKIP_STATUS=77
# The program under the names it runs as: its own, and the game's intro-movie player.
readonly RAIDKIT_IMAGES=(raidkit.exe intro.exe)
# Every image a scenario may leave running; cover.exe is a copy of the stand-in game.
readonly SCENARIO_IMAGES=("${RAIDKIT_IMAGES[@]}" ironveil.exe cover.exe Kill.exe dinput_probe.exe)

BG_PIDS=()
STARTED_PID=""

now_ms() { date +%s%3N; }

note() { printf '%s %s\n' "$(date +%T.%3N)" "$*" >>"$SCEN_DIR/scenario.log"; }

# The driver's own output goes to the scenario log unless the caller captures it.
drv() { wine "$TOOLS/rkdriver.exe" "$@"; }
# A status other than 0 is logged: 1 is rkdriver's "not met", anything else says it did not run
# its course.
drv_quiet() {
    drv "$@" >>"$SCEN_DIR/scenario.log" 2>&1 || {
        local status=$?
        note "rkdriver $1 ended with status $status"
        return "$status"
    }
}

fail() {
    printf '%s\n' "$*" >"$SCEN_DIR/reason"
    {
        echo "FAIL: $*"
        echo "windows at the time:"
        drv list-windows 2>&1 || true
    } >>"$SCEN_DIR/scenario.log"
    exit 1
}

# check <label> <command...>: one of a scenario's many checks. A failed one is noted and the
# scenario goes on, so that one run shows every check that fails; the runner then fails the
# scenario (see checks_done).
check() {
    local label="$1"
    shift
    note "check: $label: $*"
    if "$@" >>"$SCEN_DIR/scenario.log" 2>&1; then
        note "PASS $label"
        printf '%s\n' "$label" >>"$SCEN_DIR/checks-passed"
    else
        note "FAIL $label"
        printf '%s\n' "$label" >>"$SCEN_DIR/checks-failed"
    fi
}

# Called by the runner after each scenario: any failed check fails it.
checks_done() {
    [[ -s "$SCEN_DIR/checks-failed" ]] || return 0
    local count first
    count="$(wc -l <"$SCEN_DIR/checks-failed")"
    first="$(head -n 1 "$SCEN_DIR/checks-failed")"
    fail "$count of $(($(cat "$SCEN_DIR/checks-"* | wc -l))) checks failed, the first: $first"
}

# skip_here <why this machine cannot run the scenario>: the only way to skip. The reason names
# what the machine lacks (a mount refused, ...); the runner counts a skip without one as a
# failure, so that a scenario cannot quietly stop checking.
skip_here() {
    [[ -n "${1// /}" ]] || fail "skip_here without saying what this machine lacks"
    printf '%s\n' "$*" >"$SCEN_DIR/skip-reason"
    exit "$SKIP_STATUS"
}

# start_win <log-name> <program.exe> [arguments...]: runs a Windows program in the background
# (its output to a log file: a Wine child keeps its parent's stdout open) and sets STARTED_PID.
start_win() {
    local name="$1"
    shift
    wine "$@" >"$SCEN_DIR/$name.log" 2>&1 &
    STARTED_PID=$!
    BG_PIDS+=("$STARTED_PID")
    note "started $* as pid $STARTED_PID"
}

# A folder holding a copy of raidkit.exe and, with "with-kill", the stand-in Kill.exe.
make_app_dir() {
    local dir="$1" with_kill="${2:-}"
    mkdir -p "$dir"
    cp "$RAIDKIT_EXE" "$dir/raidkit.exe"
    if [[ "$with_kill" == with-kill ]]; then
        cp "$TOOLS/Kill.exe" "$dir/Kill.exe"
    fi
}

# start_raidkit <app-dir> [arguments...]: run from its own folder, which is then also its
# current folder, as Explorer starts a program.
start_raidkit() {
    local dir="$1"
    shift
    pushd "$dir" >/dev/null
    start_win "raidkit-${#BG_PIDS[@]}" "$dir/raidkit.exe" "$@"
    popd >/dev/null
}

# start_game [title] [program]: the stand-in game, recording its chat into chat-<title>.txt.
start_game() {
    local title="${1:-$GAME_TITLE}" exe="${2:-$TOOLS/ironveil.exe}"
    start_win "game-${title// /_}" "$exe" --title "$title" \
        --record "$(to_win_path "$SCEN_DIR/chat-${title// /_}.txt")"
    drv_quiet wait-window "$title" 20000 visible ||
        fail "the stand-in game's window \"$title\" did not appear within 20 s"
}

wait_raidkit_window() {
    local state="$1" timeout_ms="${2:-20000}"
    drv_quiet wait-window "$RAIDKIT_TITLE" "$timeout_ms" "$state"
}

raidkit_count() { drv count-process "${RAIDKIT_IMAGES[@]}" | tr -dc '0-9'; }

alive() { pid_running "$1"; }
ended() { ! pid_running "$1"; }

# wait_until <timeout-s> <command...>: true once the command succeeds, checked every 50 ms;
# false when it has not within the time.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

# wait_exit <pid> <timeout-s>: true when the process ended in time; its status in EXIT_STATUS.
EXIT_STATUS=""
wait_exit() {
    wait_until "$2" ended "$1" || return 1
    EXIT_STATUS=0
    wait "$1" || EXIT_STATUS=$?
    return 0
}

# holds_for <seconds> <command...>: the command keeps succeeding, checked repeatedly, for the
# whole time. For "still running after N s" checks, which can only be made by waiting.
holds_for() {
    local seconds="$1" deadline
    shift
    deadline=$(($(now_ms) + seconds * 1000))
    while (($(now_ms) < deadline)); do
        "$@" || return 1
        sleep 0.25
    done
    "$@"
}

raidkit_count_is() { [[ "$(raidkit_count)" == "$1" ]]; }

# A copy that ends by itself ends cleanly; a crash shows as a non-zero status.
expect_clean_exit() {
    [[ "$EXIT_STATUS" == 0 ]] || fail "$1 ended with status $EXIT_STATUS"
}

# settings_reg <add|query|delete> [options...]: reg.exe on the game's key in the 32-bit view.
settings_reg() {
    local verb="$1"
    shift
    wine reg "$verb" "$SETTINGS_KEY" "$@" /reg:32
}

# reg_value <name> [key] [view]: the data of a settings value (by default the game's key in
# the 32-bit view), or failure when the value or the key does not exist. Only REG_SZ is
# accepted: every setting is stored as text.
reg_value() {
    local out line prefix="    $1    REG_SZ    "
    out="$(wine reg query "${2:-$SETTINGS_KEY}" /v "$1" ${3:-/reg:32} 2>/dev/null | tr -d '\r')" ||
        return 1
    while IFS= read -r line; do
        if [[ "$line" == "$prefix"* ]]; then
            printf '%s' "${line#"$prefix"}"
            return 0
        fi
        # An empty REG_SZ is printed without the blanks after its type.
        if [[ "$line" == "    $1    REG_SZ" ]]; then
            return 0
        fi
    done <<<"$out"
    return 1
}

settings_key_exists() { settings_reg query >/dev/null 2>&1; }

screenshot() {
    mkdir -p "$ARTIFACTS"
    import -display "$DISPLAY" -window root "$ARTIFACTS/$1.png"
    note "screenshot $ARTIFACTS/$1.png"
}

# Ends every scenario process: raidkit politely first (so its tray icon goes), then by force.
end_scenario_processes() {
    if [[ "$(raidkit_count)" != 0 ]] && drv close "$RAIDKIT_TITLE" >/dev/null 2>&1; then
        wait_until 5 raidkit_count_is 0 || true
    fi
    drv kill-process "${SCENARIO_IMAGES[@]}" >/dev/null 2>&1 || true
    local pid
    for pid in "${BG_PIDS[@]}"; do
        wait_exit "$pid" 10 || kill -9 "$pid" 2>/dev/null || true
    done
    BG_PIDS=()
}

# The known state every scenario starts from: no scenario process, no settings, empty folder.
reset_state() {
    end_scenario_processes
    local left
    left="$(drv count-process "${SCENARIO_IMAGES[@]}" | tr -dc '0-9')"
    [[ "$left" == 0 ]] || fail "$left processes of an earlier scenario still run"
    # Every place a setting may be read from or written to: both machine-wide views, the
    # per-user copy and the VirtualStore copy.
    local key view said
    for key in "$SETTINGS_KEY /reg:32" "$SETTINGS_KEY /reg:64" "$USER_SETTINGS_KEY /reg:64" \
        "$VSTORE_SETTINGS_KEY /reg:64"; do
        view="${key##* }"
        key="${key% *}"
        said="$(wine reg delete "$key" /f "$view" 2>&1)" || said+=" (status $?)"
        ! wine reg query "$key" "$view" >/dev/null 2>&1 ||
            fail "could not delete $key ($view) before the scenario; reg.exe said: ${said//$'\r'/}"
    done
    return 0
}

# wait_started <timeout-s>: the first copy of a scenario has run its start-up to the end, whose
# last step stores the sign-in text's default. Its window exists from the start of start-up on:
# a second copy started before the end may search for running copies while the first one's
# title is still changed for its own search.
wait_started() { wait_until "$1" reg_value "MSN Title" >/dev/null; }

# activate_game: the game's window in front; tried again while a window just shown takes the
# front back.
activate_game() {
    local try
    for try in 1 2 3; do
        drv_quiet activate "$GAME_TITLE" && drv_quiet wait-foreground "$GAME_TITLE" 2000 && return 0
    done
    return 1
}

# wait_file <path> <timeout-s>: the file exists. Files the program stores are moved into place
# whole, so one that exists is finished.
wait_file() { wait_until "$2" test -f "$1"; }

# wait_file_line <file> <line> <timeout-s>: the file holds that whole line.
wait_file_line() { wait_until "$3" grep -qsxF -- "$2" "$1"; }

# wait_file_content <file> <expected> <timeout-s>: the file's bytes are exactly the expected
# text. Stops early when the file already holds more than expected.
wait_file_content() {
    local file="$1" want="$2" deadline got
    deadline=$(($(now_ms) + $3 * 1000))
    while :; do
        got="$(
            cat "$file" 2>/dev/null
            printf x
        )"
        got="${got%x}"
        [[ "$got" == "$want" ]] && return 0
        ((${#got} <= ${#want})) || return 1
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}
