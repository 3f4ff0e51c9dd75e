# shellcheck shell=bash
# Wine and X set-up shared by every script that runs Windows programs. Source it; it defines
# functions and exports the Wine environment, and starts nothing by itself.
#
#   wine_prefix_ensure     make the prefix once (locked, so parallel callers wait for one maker)
#   xvfb_start             start a private Xvfb (1024x768x24) and export DISPLAY
#   wine_session_start     prefix + private Xvfb unless DISPLAY is set + one persistent wineserver
#   wine_session_stop      end every Wine process of the prefix, then the Xvfb this shell started
#   wine_session_lock      hold the prefix's session lock for the life of this shell
#   pid_running, to_win_path

RAIDKIT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export RAIDKIT_ROOT

export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko download prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$RAIDKIT_ROOT/build/wineprefix}"

# The virtual desktop and Xvfb share one size: hiding or closing a window takes 2 s without it.
RAIDKIT_SCREEN=1024x768

RAIDKIT_XVFB_PID=""
RAIDKIT_WINESERVER_STARTED=""

_wine_log() { printf '[wine-env] %s\n' "$*" >&2; }

# Marker written last, so a prefix whose creation was interrupted is made again.
_wine_prefix_marker() { printf '%s/.raidkit-prefix-ready' "$WINEPREFIX"; }

_wine_prefix_is_ready() {
    local marker
    marker="$(_wine_prefix_marker)"
    [[ -f "$marker" ]] && [[ "$(cat "$marker")" == "$(wine --version 2>/dev/null)" ]]
}

# Every step is checked by hand: callers use these functions in conditions, where bash does
# not stop at a failing command even under set -e.
_wine_prefix_make() {
    local log="$WINEPREFIX.log"
    _wine_log "creating Wine prefix $WINEPREFIX (about 15 s)"
    rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX" || return 1
    { wineboot -i && wineserver -w; } >"$log" 2>&1 || return 1
    # Debian's Wine does not find its own fonts: without them title-bar buttons render as letters.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" &&
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    {
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$RAIDKIT_SCREEN" /f &&
            wineserver -w
    } >>"$log" 2>&1 || return 1
    wine --version >"$(_wine_prefix_marker)"
}

wine_prefix_ensure() {
    mkdir -p "$(dirname "$WINEPREFIX")" || return 1
    _wine_prefix_is_ready && return 0
    local lock_fd
    exec {lock_fd}>"$WINEPREFIX.create.lock"
    flock "$lock_fd" || return 1
    # Another caller may have made it while this one waited for the lock.
    if ! _wine_prefix_is_ready; then
        if ! _wine_prefix_make; then
            exec {lock_fd}>&-
            _wine_log "prefix creation failed, see $WINEPREFIX.log"
            return 1
        fi
    fi
    exec {lock_fd}>&-
}

# One session (Xvfb + persistent wineserver) per prefix at a time: a second one would share the
# wineserver and the virtual desktop, whose X display is the first session's.
wine_session_lock() {
    mkdir -p "$(dirname "$WINEPREFIX")" || return 1
    exec {RAIDKIT_SESSION_LOCK_FD}>"$WINEPREFIX.session.lock"
    if ! flock -n "$RAIDKIT_SESSION_LOCK_FD"; then
        _wine_log "waiting for another session on $WINEPREFIX to end"
        flock "$RAIDKIT_SESSION_LOCK_FD" || return 1
    fi
    export RAIDKIT_SESSION_LOCKED=1
}

xvfb_start() {
    local dir="$RAIDKIT_ROOT/build/xvfb"
    mkdir -p "$dir"
    local display_file
    display_file="$(mktemp "$dir/display.XXXXXX")"
    # -displayfd writes the display number once the server accepts clients.
    Xvfb -displayfd 3 -screen 0 "${RAIDKIT_SCREEN}x24" -nolisten tcp -noreset \
        3>"$display_file" >"$WINEPREFIX.xvfb.log" 2>&1 &
    RAIDKIT_XVFB_PID=$!
    local i
    for ((i = 0; i < 200; i++)); do
        if [[ -s "$display_file" ]]; then
            DISPLAY=":$(tr -dc '0-9' <"$display_file")"
            export DISPLAY
            rm -f "$display_file"
            return 0
        fi
        if ! kill -0 "$RAIDKIT_XVFB_PID" 2>/dev/null; then
            break
        fi
        sleep 0.05
    done
    rm -f "$display_file"
    _wine_log "Xvfb did not start, see $WINEPREFIX.xvfb.log"
    xvfb_stop
    return 1
}

xvfb_stop() {
    [[ -n "$RAIDKIT_XVFB_PID" ]] || return 0
    kill "$RAIDKIT_XVFB_PID" 2>/dev/null || true
    wait "$RAIDKIT_XVFB_PID" 2>/dev/null || true
    RAIDKIT_XVFB_PID=""
}

# Starts a session for this shell. With use_own_display=1 a private Xvfb is started even when
# DISPLAY is set (tests always run on their own 1024x768 screen).
wine_session_start() {
    local use_own_display="${1:-1}"
    wine_session_lock || return 1
    wine_prefix_ensure || return 1
    if [[ "$use_own_display" == 1 || -z "${DISPLAY:-}" ]]; then
        xvfb_start || return 1
    fi
    # A persistent server: a process then starts in about 0.05 s instead of 0.5 s.
    wineserver -p || return 1
    RAIDKIT_WINESERVER_STARTED=1
    # The first program of a session starts Wine's services, which keep its stderr for their
    # whole life: a test run under a pipe (CTest) would then never see the pipe end. Starting
    # them here hands them a log file instead.
    wine cmd.exe /c exit </dev/null >>"$WINEPREFIX.session.log" 2>&1
}

wine_session_stop() {
    if [[ -n "$RAIDKIT_WINESERVER_STARTED" ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        RAIDKIT_WINESERVER_STARTED=""
    fi
    xvfb_stop
    if [[ -n "${RAIDKIT_SESSION_LOCK_FD:-}" ]]; then
        exec {RAIDKIT_SESSION_LOCK_FD}>&-
        unset RAIDKIT_SESSION_LOCK_FD RAIDKIT_SESSION_LOCKED
    fi
}

# A child that has ended but is not yet reaped still answers kill -0: look at its state instead.
pid_running() {
    local stat
    stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
    stat="${stat##*) }"
    [[ "${stat%% *}" != Z ]]
}

# Windows path of a Unix path, through the prefix's Z: drive (the root of the Unix file system).
to_win_path() {
    local path
    path="$(realpath -m "$1")"
    printf 'Z:%s' "${path//\//\\}"
}
