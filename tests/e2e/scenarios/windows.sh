# shellcheck shell=bash
# The real windows read back through rkprobe.exe: the main window and the info window compared
# with their design at 96, 120 and 144 dpi (screenshots of both kept as artefacts), the tray
# icon and its menu ("&Restore", "&Exit", the icon coming back after a new taskbar), "&Set
# Folder" through the real save dialog, and every setting coming back after a restart.

PROBE="${PROBE:-$TOOLS/window/rkprobe.exe}"
readonly FOLDER_DIALOG="Look for your folder where files are saved."
readonly QUALITY_CONTROLS="Label10,txtJPGQuality,cmdSetJPGQuality"
# The tray icon sits at the right end of the virtual desktop's taskbar (1024x768).
readonly TRAY_X=1013 TRAY_Y=758

# The probe's output without the CR of Windows line ends.
probe() { wine "$PROBE" "$@" 2>>"$SCEN_DIR/scenario.log" | tr -d '\r'; }
probe_ok() { probe "$@" >>"$SCEN_DIR/scenario.log"; }
# A step whose failure shows in the checks after it.
try() { "$@" || note "failed with status $?: $*"; }
# equals EXPECTED COMMAND...: the command's output is exactly EXPECTED.
equals() {
    local want="$1" got
    shift
    got="$("$@")" || return 1
    note "got [$got], want [$want]"
    [[ "$got" == "$want" ]]
}
# setting_becomes NAME VALUE: waits for the program to store VALUE in the game's key.
setting_becomes() {
    local i
    for ((i = 0; i < 100; i++)); do
        [[ "$(reg_value "$1")" == "$2" ]] && return 0
        sleep 0.1
    done
    note "$1 is [$(reg_value "$1")], want [$2]"
    return 1
}

# A changed resolution takes effect for programs started by a new wineserver: the session's
# server is ended and a new one started, in the same prefix and on the same display.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wineserver -k || true
    wineserver -w
    wineserver -p
    wine cmd.exe /c exit </dev/null >>"$WINEPREFIX.session.log" 2>&1
}

# window_start <app-dir> [arguments...]: raidkit.exe started, its main window shown.
window_start() {
    start_raidkit "$@"
    RK_PID="$STARTED_PID"
    probe_ok wait main-visible 20000
}
# window_stop: the main window closed as a player closes it, and the process gone.
window_stop() {
    try probe_ok close
    try probe_ok wait gone 20000
    wait_exit "$RK_PID" 20 || kill "$RK_PID" 2>/dev/null || true
}

# window_shot NAME main|info: the window as it shows on the screen.
window_shot() {
    local file="$ARTIFACTS/$1.png" x y w h
    mkdir -p "$ARTIFACTS"
    try probe_ok settle "$2"
    read -r x y w h <<<"$(probe rect "$2")"
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
    note "screenshot $file"
    [[ -s "$file" ]]
}
# matches_design main|info ARGS...: the probe's comparison; its mismatches and counts go to
# the scenario's layout.txt.
matches_design() {
    local output status=0
    output="$(probe check "$@")" || status=$?
    printf '%s\n' "$output" >>"$SCEN_DIR/layout.txt"
    return "$status"
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
    make_app_dir "$SCEN_DIR/app"
    window_start "$SCEN_DIR/app" || fail "raidkit.exe did not show its window at $dpi dpi"
    check "main window screenshot at $dpi dpi" window_shot "main-${dpi}dpi" main
    check "main window matches its design at $dpi dpi" matches_design main --dpi "$dpi"
    try probe_ok click main Command2
    probe_ok wait info-visible 10000 || fail "&Info did not show the info window at $dpi dpi"
    check "info window screenshot at $dpi dpi" window_shot "info-${dpi}dpi" info
    check "info window matches its design at $dpi dpi" matches_design info --dpi "$dpi"
    window_stop
}

# layout_at_other_dpi <dpi>: the session's server is restarted for it and, whatever happens,
# again for 96 dpi afterwards, so that the scenarios after it see the prefix as before.
layout_at_other_dpi() {
    trap 'end_scenario_processes; set_dpi 96 >/dev/null 2>&1 || true' EXIT
    set_dpi "$1" || fail "could not restart Wine at $1 dpi"
    layout_at_dpi "$1"
}

scenario windows_match_their_design_at_96_dpi yes
windows_match_their_design_at_96_dpi() { layout_at_dpi 96; }

scenario tray_and_info_window_hide_restore_and_exit yes
tray_and_info_window_hide_restore_and_exit() {
    make_app_dir "$SCEN_DIR/app"
    window_start "$SCEN_DIR/app" || fail "raidkit.exe did not show its window"
    try probe_ok click main Command2
    try probe_ok wait info-visible 10000
    try probe_ok click info Command1
    check "info &Hide hides the info window" probe_ok wait info-hidden 10000
    check "info &Hide leaves the main window shown" probe_ok wait main-visible 1000
    check "the tray icon is there" probe_ok wait tray-icon 10000
    try probe_ok settle main
    try probe_ok key escape
    check "Esc presses &Hide: the main window goes to the tray" probe_ok wait main-hidden 10000
    check "tray menu &Restore runs" tray_menu_choose 1
    check "&Restore shows the main window" probe_ok wait main-visible 10000
    try probe_ok tray-delete
    check "the tray icon is gone with the old taskbar" probe_ok wait no-tray-icon 10000
    try probe_ok taskbar-created
    check "the tray icon comes back on TaskbarCreated" probe_ok wait tray-icon 10000
    check "tray menu &Exit runs" tray_menu_choose 0
    check "&Exit closes the windows" probe_ok wait gone 10000
    check "&Exit ends the process" wait_exit "$RK_PID" 20
}

scenario settings_typed_in_the_window_are_stored_and_come_back yes
settings_typed_in_the_window_are_stored_and_come_back() {
    make_app_dir "$SCEN_DIR/app"
    mkdir -p "$WINEPREFIX/drive_c/shots"
    window_start "$SCEN_DIR/app" || fail "raidkit.exe did not show its window"
    try probe_ok click main Command1
    check "&Set Folder opens the save dialog" probe_ok wait "dialog=$FOLDER_DIALOG" 10000
    try probe_ok dialog-type "$FOLDER_DIALOG" 'C:\shots\Pic'
    check "the save dialog closes on Enter" probe_ok wait "no-dialog=$FOLDER_DIALOG" 10000
    check "&Set Folder stores ScreenFolder" setting_becomes ScreenFolder 'C:\shots\Pic'

    typed() { probe type "$1" "$2"; }
    check "typing into oText1 shows the text" equals 'gg $a headshot' typed oText1 'gg $a headshot'
    check "typing into oText1 stores KeyBind1" setting_becomes KeyBind1 'gg $a headshot'
    local row control text name
    for row in "oText2|F10 line|KeyBind2" "oText3|F11 line|KeyBind3" "oText4|F12 line|KeyBind4" \
        "Text1|is online now|MSN Title"; do
        IFS='|' read -r control text name <<<"$row"
        try typed "$control" "$text" >/dev/null
        check "typing into $control stores $name" setting_becomes "$name" "$text"
    done
    check "the quality box takes at most 3 typed characters" equals 123 typed txtJPGQuality 1234
    try probe_ok click main cmdSetJPGQuality
    check "&Apply Quality stores JPGQuality" setting_becomes JPGQuality 123
    try probe_ok click main Check1
    check "ticking Check1 stores MSN True" setting_becomes MSN True
    try probe_ok click main Option1
    check "Save As .bmp stores ScreenyFormat Bmp" setting_becomes ScreenyFormat Bmp
    for control in ${QUALITY_CONTROLS//,/ }; do
        check "Save As .bmp disables $control" equals 0 probe get main "$control" enabled
    done
    check "main window screenshot with BMP selected" window_shot main-96dpi-bmp main
    window_stop

    # Started again: every setting comes back.
    window_start "$SCEN_DIR/app" || fail "raidkit.exe did not start again"
    for row in "oText1|gg \$a headshot" "oText2|F10 line" "oText3|F11 line" "oText4|F12 line" \
        "Text1|is online now" "txtJPGQuality|123"; do
        IFS='|' read -r control text <<<"$row"
        check "$control comes back" equals "$text" probe get main "$control" text
    done
    check "MSN comes back: Check1 ticked" equals 1 probe get main Check1 checked
    check "ScreenyFormat comes back: Option1 selected" equals 1 probe get main Option1 checked
    check "ScreenyFormat comes back: Option2 cleared" equals 0 probe get main Option2 checked
    check "restarted main window matches its design, quality controls disabled" \
        matches_design main --dpi 96 --player-values --disabled "$QUALITY_CONTROLS"
    try probe_ok click main Command1
    check "&Set Folder opens the save dialog after the restart" \
        probe_ok wait "dialog=$FOLDER_DIALOG" 10000
    check "ScreenFolder comes back in the save dialog" equals Pic probe dialog-name "$FOLDER_DIALOG"
    try probe_ok dialog-cancel "$FOLDER_DIALOG"
    check "the save dialog closes on Cancel" probe_ok wait "no-dialog=$FOLDER_DIALOG" 10000
    check "cancelling keeps ScreenFolder" setting_becomes ScreenFolder 'C:\shots\Pic'
    window_stop
}

# Last: each restarts the session's server twice.
scenario windows_match_their_design_at_120_dpi yes
windows_match_their_design_at_120_dpi() { layout_at_other_dpi 120; }

scenario windows_match_their_design_at_144_dpi yes
windows_match_their_design_at_144_dpi() { layout_at_other_dpi 144; }
