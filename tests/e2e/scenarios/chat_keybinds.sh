# shellcheck shell=bash
# F9-F12 type their prepared chat lines into the game's chat box, followed by Enter.

# set_keybind <n> <text>: a chat line as the settings panel stores it.
set_keybind() {
    settings_reg add /v "KeyBind$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1 ||
        fail "could not store KeyBind$1"
}

# press_in_game <key>: the key pressed while the game's chat box has the focus.
press_in_game() {
    drv_quiet activate "$GAME_TITLE" || fail "could not bring the game to the front"
    drv_quiet wait-foreground "$GAME_TITLE" 5000 || fail "the game is not in front"
    drv_quiet press "$1" || fail "rkdriver could not send $1"
}

scenario chat_lines_arrive_as_written_with_counters yes
chat_lines_arrive_as_written_with_counters() {
    local chat="$SCEN_DIR/chat-Ironveil.txt" pid want
    make_app_dir "$SCEN_DIR/app"
    set_keybind 1 'That was headshot number $a'
    set_keybind 2 '+gg {~} {{}'
    set_keybind 4 'again{F12}'
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    pid="$STARTED_PID"
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"

    want=$'That was headshot number 1\n'
    press_in_game F9
    wait_file_content "$chat" "$want" 20 || fail "after F9 the chat holds \"$(cat "$chat")\""
    want+=$'That was headshot number 2\n'
    press_in_game F9
    wait_file_content "$chat" "$want" 20 || fail "after F9 again the chat holds \"$(cat "$chat")\""
    want+=$'Gg ~ {\n'
    press_in_game F10
    wait_file_content "$chat" "$want" 20 || fail "the F10 line arrived as \"$(tail -n1 "$chat")\""
    # An empty line sends only Enter.
    want+=$'\n'
    press_in_game F11
    wait_file_content "$chat" "$want" 20 || fail "the empty F11 line did not send just Enter"
    # A line that types F12 itself is typed once, not again and again.
    want+=$'again\n'
    press_in_game F12
    wait_file_content "$chat" "$want" 20 || fail "the F12 line arrived as \"$(tail -n2 "$chat")\""
    holds_for 2 wait_file_content "$chat" "$want" 0 ||
        fail "the F12 line that types F12 was typed more than once"

    # The counters start from 1 again after a restart.
    drv_quiet close "$RAIDKIT_TITLE" || fail "could not close raidkit's window"
    wait_exit "$pid" 10 || fail "raidkit.exe did not end after its window was closed"
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit did not start again"
    want+=$'That was headshot number 1\n'
    press_in_game F9
    wait_file_content "$chat" "$want" 20 || fail "after a restart F9 gave \"$(tail -n1 "$chat")\""
}

scenario chat_line_keeps_its_case_with_caps_lock_on yes
chat_line_keeps_its_case_with_caps_lock_on() {
    local chat="$SCEN_DIR/chat-Ironveil.txt" want
    make_app_dir "$SCEN_DIR/app"
    set_keybind 1 'Ready, Go team 7!'
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"
    press_in_game CapsLock
    want=$'Ready, Go team 7!\n'
    press_in_game F9
    wait_file_content "$chat" "$want" 20 ||
        fail "with Caps Lock on, F9 gave \"$(cat "$chat")\""
    # Caps Lock back off: the toggle belongs to the session, not to this scenario.
    press_in_game CapsLock
    want+=$'Ready, Go team 7!\n'
    press_in_game F9
    wait_file_content "$chat" "$want" 20 ||
        fail "with Caps Lock off again, F9 gave \"$(tail -n1 "$chat")\""
}
