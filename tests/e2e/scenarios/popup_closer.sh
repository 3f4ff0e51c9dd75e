# shellcheck shell=bash
# Messenger pop-ups closed while the game runs: the Messenger Service always, sign-in notices
# while the check box is ticked.

# start_popup <title>: a stand-in pop-up window of another program. Waits until its window
# exists (the stand-in writes its pid file then), not until a look finds it: the closer may
# close it before any look does.
start_popup() {
    # Numbered, not named for the title: Wine finds names regardless of case, and two pop-ups
    # whose titles differ only in case would share one file.
    local pid_file="$SCEN_DIR/popup-${#BG_PIDS[@]}.pid"
    start_win "popup-${1// /_}" "$TOOLS/ironveil.exe" --title "$1" \
        --record "$(to_win_path "$SCEN_DIR/popup.txt")" --pid-file "$(to_win_path "$pid_file")"
    wait_file "$pid_file" 20 || fail "the pop-up \"$1\" did not appear within 20 s"
}

scenario messenger_popups_are_closed_while_the_game_runs yes
messenger_popups_are_closed_while_the_game_runs() {
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"

    start_popup "Messenger Service"
    drv_quiet wait-no-window "Messenger Service" 3000 ||
        fail "the Messenger Service pop-up is still open 3 s after it appeared"
    # The check box is clear: sign-in notices stay.
    start_popup "Bob has just signed in."
    holds_for 2 drv_quiet find "Bob has just signed in." ||
        fail "a sign-in notice was closed although the check box is clear"
}

scenario sign_in_notices_are_closed_when_asked yes
sign_in_notices_are_closed_when_asked() {
    make_app_dir "$SCEN_DIR/app"
    settings_reg add /v MSN /t REG_SZ /d True /f >/dev/null 2>&1 || fail "could not store MSN"
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"
    start_popup "Bob has just signed in."
    drv_quiet wait-no-window "Bob has just signed in." 3000 ||
        fail "the sign-in notice is still open 3 s after it appeared"
    # Other capitals are another text.
    start_popup "Bob Has Just Signed In."
    holds_for 2 drv_quiet find "Bob Has Just Signed In." ||
        fail "a notice with other capitals was closed"
}

scenario nothing_is_closed_without_the_game yes
nothing_is_closed_without_the_game() {
    make_app_dir "$SCEN_DIR/app"
    settings_reg add /v MSN /t REG_SZ /d True /f >/dev/null 2>&1 || fail "could not store MSN"
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    start_popup "Messenger Service"
    start_popup "Ann has just signed in."
    holds_for 2 drv_quiet find "Messenger Service" ||
        fail "the Messenger Service pop-up was closed although the game does not run"
    drv_quiet find "Ann has just signed in." || fail "a sign-in notice was closed without the game"
}
