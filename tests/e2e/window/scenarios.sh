#!/usr/bin/env bash
# End-to-end checks of the real raidkit.exe's windows under Wine on a private Xvfb: the main
# window and the info window read back and compared with their design at 96, 120 and 144 dpi,
# screenshots of both, the tray icon and its menu ("&Restore", "&Exit", the icon coming back
# after a new taskbar), "&Set Folder" through the real save dialog, and every setting coming
# back after a restart (group "windows"); the nickname editor through the real open dialog, its
# message boxes and its files compared byte for byte (group "profile", profile_scenarios.sh).
# Prints PASS or FAIL per check; exits non-zero on any failure.
#
#   scenarios.sh [--build-dir DIR] [windows] [profile]     (no group: both)
#
# DIR is the Windows build (default build/windows). Environment: RAIDKIT_EXE, RKPROBE
# (rkprobe.exe), ARTIFACTS (screenshots) override what DIR gives; WINEPREFIX.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
BUILD_DIR="$ROOT/build/windows"
GROUPS_CHOSEN=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --build-dir) BUILD_DIR="$(realpath -m "$2")"; shift 2 ;;
        windows | profile) GROUPS_CHOSEN+=("$1"); shift ;;
        -h | --help) sed -n '2,14p' "$0"; exit 0 ;;
        *) echo "unknown argument $1 (see --help)" >&2; exit 2 ;;
    esac
done
[[ ${#GROUPS_CHOSEN[@]} -gt 0 ]] || GROUPS_CHOSEN=(windows profile)
RAIDKIT_EXE="${RAIDKIT_EXE:-$BUILD_DIR/src/app/raidkit.exe}"
RKPROBE="${RKPROBE:-$BUILD_DIR/tests/e2e/window/rkprobe.exe}"
ARTIFACTS="${ARTIFACTS:-$BUILD_DIR/e2e-artifacts}"
# shellcheck source=../../../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

readonly HKLM_KEY='HKLM\SOFTWARE\Kestrane\Kestrane Games\Ironveil'
readonly HKCU_KEY='HKCU\SOFTWARE\Kestrane\Kestrane Games\Ironveil'
readonly FOLDER_DIALOG="Look for your folder where files are saved."
readonly QUALITY_CONTROLS="Label10,txtJPGQuality,cmdSetJPGQuality"
# The tray icon sits at the right end of the virtual desktop's taskbar (1024x768).
readonly TRAY_X=1013 TRAY_Y=758
readonly WAIT_MS=20000
RUN_DIR="$BUILD_DIR/e2e-run/window"

passes=0
failures=0
starts=0
RK_PID=""
SUMMARY=()

for tool in "$RAIDKIT_EXE" "$RKPROBE"; do
    [[ -f "$tool" ]] || { echo "FAIL missing $tool (build it first)"; exit 1; }
done
for command in xdotool import; do
    command -v "$command" >/dev/null || { echo "FAIL $command is not installed"; exit 1; }
done
rm -rf "$RUN_DIR"
mkdir -p "$RUN_DIR" "$ARTIFACTS"
LOG="$RUN_DIR/scenarios.log"

log() { printf '%s %s\n' "$(date +%T.%3N)" "$*" >>"$LOG"; }
pass() {
    echo "PASS $*"
    passes=$((passes + 1))
}
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}
# expect NAME COMMAND...: PASS when the command succeeds.
expect() {
    local name="$1"
    shift
    log "check: $name: $*"
    if "$@" >>"$LOG" 2>&1; then pass "$name"; else fail "$name"; fi
}
# The probe's output without the CR of Windows line ends.
probe() { wine "$RKPROBE" "$@" 2>>"$LOG" | tr -d '\r'; }
probe_ok() { probe "$@" >>"$LOG"; }
# A step whose failure shows in the checks after it.
try() { "$@" || log "failed: $*"; }
# equals EXPECTED COMMAND...: the command's output is exactly EXPECTED.
equals() {
    local want="$1" got
    shift
    got="$("$@")" || return 1
    log "got [$got], want [$want]"
    [[ "$got" == "$want" ]]
}
# A registry value of the settings key (32-bit view, the game's), as wine reg shows it.
setting() {
    wine reg query "$HKLM_KEY" /v "$1" /reg:32 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_SZ *//p"
}
# setting_becomes NAME VALUE: waits for the program to store VALUE.
setting_becomes() {
    local i
    for ((i = 0; i < 100; i++)); do
        [[ "$(setting "$1")" == "$2" ]] && return 0
        sleep 0.1
    done
    log "$1 is [$(setting "$1")], want [$2]"
    return 1
}
fresh_settings() {
    wine reg delete "$HKLM_KEY" /f /reg:32 >/dev/null 2>&1 || true
    wine reg delete "$HKLM_KEY" /f /reg:64 >/dev/null 2>&1 || true
    wine reg delete "$HKCU_KEY" /f >/dev/null 2>&1 || true
}
# A changed resolution takes effect for programs started by a new wineserver.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wineserver -k || true
    wineserver -w
    wineserver -p
    wine cmd.exe /c exit </dev/null >>"$WINEPREFIX.session.log" 2>&1
}

# start_raidkit [EXE]: the build's raidkit.exe, or EXE run from its own folder (which is then
# also its current folder).
start_raidkit() {
    starts=$((starts + 1))
    # Output to a file: a Wine child keeps its parent's stdout open.
    if [[ $# -gt 0 ]]; then
        (cd "$(dirname "$1")" && exec wine "$1") >"$RUN_DIR/raidkit-$starts.log" 2>&1 &
    else
        wine "$RAIDKIT_EXE" >"$RUN_DIR/raidkit-$starts.log" 2>&1 &
    fi
    RK_PID=$!
    log "started raidkit.exe as pid $RK_PID"
    probe_ok wait main-visible "$WAIT_MS"
}
process_gone() {
    local i
    for ((i = 0; i < 200; i++)); do
        pid_running "$RK_PID" || return 0
        sleep 0.1
    done
    return 1
}
stop_raidkit() {
    [[ -n "$RK_PID" ]] || return 0
    if pid_running "$RK_PID"; then
        probe_ok close || true
        probe_ok wait gone "$WAIT_MS" || true
        process_gone || kill "$RK_PID" 2>/dev/null || true
    fi
    wait "$RK_PID" 2>/dev/null || true
    RK_PID=""
}

cleanup() {
    stop_raidkit || true
    # The prefix is shared with the other tests: it goes back to 96 dpi whatever happened.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
    wine_session_stop || true
}
trap cleanup EXIT

# screenshot NAME main|info: the window as it shows on the screen.
screenshot() {
    local file="$ARTIFACTS/$1.png" x y w h
    try probe_ok settle "$2"
    read -r x y w h <<<"$(probe rect "$2")"
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
    log "screenshot $file"
    [[ -s "$file" ]]
}
# check_layout LABEL main|info ARGS...: the probe's comparison, its count kept for the summary.
check_layout() {
    local label="$1" output status=0
    shift
    output="$(probe check "$@")" || status=$?
    printf '%s\n' "$output" >>"$LOG"
    printf '%s\n' "$output" | grep '^MISMATCH' || true
    SUMMARY+=("$(printf '%s\n' "$output" | tail -n 1)")
    if [[ $status -eq 0 ]]; then pass "$label"; else fail "$label"; fi
}
# The tray icon's menu, choosing item INDEX of its two.
tray_menu_choose() {
    local x y
    xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
    probe_ok wait menu 10000 || return 1
    read -r x y <<<"$(probe menu-point "$1" 2)"
    xdotool mousemove "$x" "$y" click 1
}

layout_at_dpi() {
    local dpi="$1"
    set_dpi "$dpi"
    fresh_settings
    start_raidkit || { fail "raidkit.exe shows its window at $dpi dpi"; return; }
    expect "main window screenshot at $dpi dpi" screenshot "main-${dpi}dpi" main
    check_layout "main window matches its design at $dpi dpi" main --dpi "$dpi"
    try probe_ok click main Command2
    if probe_ok wait info-visible 10000; then
        expect "info window screenshot at $dpi dpi" screenshot "info-${dpi}dpi" info
        check_layout "info window matches its design at $dpi dpi" info --dpi "$dpi"
    else
        fail "&Info shows the info window at $dpi dpi"
    fi
    stop_raidkit
}

window_scenarios() {
    # --- 96 dpi: layout, windows, tray, dialog, settings ------------------------------------------
    layout_at_dpi 96
    start_raidkit || fail "raidkit.exe starts again"
    try probe_ok click main Command2
    try probe_ok wait info-visible 10000
    try probe_ok click info Command1
    expect "info &Hide hides the info window" probe_ok wait info-hidden 10000
    expect "info &Hide leaves the main window shown" probe_ok wait main-visible 1000
    expect "the tray icon is there" probe_ok wait tray-icon 10000
    try probe_ok settle main
    try probe_ok key escape
    expect "Esc presses &Hide: the main window goes to the tray" probe_ok wait main-hidden 10000
    expect "tray menu &Restore runs" tray_menu_choose 1
    expect "&Restore shows the main window" probe_ok wait main-visible 10000
    try probe_ok tray-delete
    expect "the tray icon is gone with the old taskbar" probe_ok wait no-tray-icon 10000
    try probe_ok taskbar-created
    expect "the tray icon comes back on TaskbarCreated" probe_ok wait tray-icon 10000

    mkdir -p "$WINEPREFIX/drive_c/shots"
    try probe_ok click main Command1
    if probe_ok wait "dialog=$FOLDER_DIALOG" 10000; then
        pass "&Set Folder opens the save dialog"
        try probe_ok dialog-type "$FOLDER_DIALOG" 'C:\shots\Pic'
        expect "the save dialog closes on Enter" probe_ok wait "no-dialog=$FOLDER_DIALOG" 10000
        expect "&Set Folder stores ScreenFolder" setting_becomes ScreenFolder 'C:\shots\Pic'
    else
        fail "&Set Folder opens the save dialog"
    fi

    typed() { probe type "$1" "$2"; }
    expect "typing into oText1 shows the text" equals 'gg $a headshot' typed oText1 'gg $a headshot'
    expect "typing into oText1 stores KeyBind1" setting_becomes KeyBind1 'gg $a headshot'
    expect "typing into oText2 stores KeyBind2" eval 'typed oText2 "F10 line" >/dev/null && setting_becomes KeyBind2 "F10 line"'
    expect "typing into oText3 stores KeyBind3" eval 'typed oText3 "F11 line" >/dev/null && setting_becomes KeyBind3 "F11 line"'
    expect "typing into oText4 stores KeyBind4" eval 'typed oText4 "F12 line" >/dev/null && setting_becomes KeyBind4 "F12 line"'
    expect "typing into Text1 stores MSN Title" eval 'typed Text1 "is online now" >/dev/null && setting_becomes "MSN Title" "is online now"'
    expect "the quality box takes at most 3 typed characters" equals 123 typed txtJPGQuality 1234
    try probe_ok click main cmdSetJPGQuality
    expect "&Apply Quality stores JPGQuality" setting_becomes JPGQuality 123
    try probe_ok click main Check1
    expect "ticking Check1 stores MSN True" setting_becomes MSN True
    try probe_ok click main Option1
    expect "Save As .bmp stores ScreenyFormat Bmp" setting_becomes ScreenyFormat Bmp
    for control in ${QUALITY_CONTROLS//,/ }; do
        expect "Save As .bmp disables $control" equals 0 probe get main "$control" enabled
    done
    expect "main window screenshot with BMP selected" screenshot main-96dpi-bmp main

    expect "tray menu &Exit runs" tray_menu_choose 0
    expect "&Exit closes the windows" probe_ok wait gone 10000
    expect "&Exit ends the process" process_gone
    wait "$RK_PID" 2>/dev/null || true
    RK_PID=""

    # --- Restart: every setting comes back --------------------------------------------------------
    start_raidkit || fail "raidkit.exe starts after &Exit"
    expect "KeyBind1 comes back in oText1" equals 'gg $a headshot' probe get main oText1 text
    expect "KeyBind2 comes back in oText2" equals 'F10 line' probe get main oText2 text
    expect "KeyBind3 comes back in oText3" equals 'F11 line' probe get main oText3 text
    expect "KeyBind4 comes back in oText4" equals 'F12 line' probe get main oText4 text
    expect "MSN Title comes back in Text1" equals 'is online now' probe get main Text1 text
    expect "JPGQuality comes back in txtJPGQuality" equals 123 probe get main txtJPGQuality text
    expect "MSN comes back: Check1 ticked" equals 1 probe get main Check1 checked
    expect "ScreenyFormat comes back: Option1 selected" equals 1 probe get main Option1 checked
    expect "ScreenyFormat comes back: Option2 cleared" equals 0 probe get main Option2 checked
    check_layout "restarted main window matches its design, quality controls disabled" \
        main --dpi 96 --player-values --disabled "$QUALITY_CONTROLS"
    try probe_ok click main Command1
    if probe_ok wait "dialog=$FOLDER_DIALOG" 10000; then
        expect "ScreenFolder comes back in the save dialog" equals Pic probe dialog-name "$FOLDER_DIALOG"
        try probe_ok dialog-cancel "$FOLDER_DIALOG"
        expect "the save dialog closes on Cancel" probe_ok wait "no-dialog=$FOLDER_DIALOG" 10000
        expect "cancelling keeps ScreenFolder" setting_becomes ScreenFolder 'C:\shots\Pic'
    else
        fail "&Set Folder opens the save dialog after the restart"
    fi
    stop_raidkit

    # --- Other resolutions ------------------------------------------------------------------------
    layout_at_dpi 120
    layout_at_dpi 144
    set_dpi 96

    echo "--- layout read back:"
    printf '  %s\n' "${SUMMARY[@]}"
    echo "--- screenshots in $ARTIFACTS:"
    ls -1 "$ARTIFACTS"/main-*dpi*.png "$ARTIFACTS"/info-*dpi*.png 2>/dev/null | sed 's/^/  /'
}

# shellcheck source=profile_scenarios.sh
source "$HERE/profile_scenarios.sh"

wine_session_start 1
log "session on $DISPLAY, prefix $WINEPREFIX"
for group in "${GROUPS_CHOSEN[@]}"; do
    case "$group" in
        windows) window_scenarios ;;
        profile) profile_scenarios ;;
    esac
done
echo "--- $passes passed, $failures failed (log: $LOG)"
[[ $failures -eq 0 ]]
