# shellcheck shell=bash
# Checks of the harness itself, so that a failing key scenario points at the program and not at
# the way keys are injected or chat is recorded.

scenario keys_from_the_driver_reach_a_background_directinput_keyboard no
keys_from_the_driver_reach_a_background_directinput_keyboard() {
    local out="$SCEN_DIR/probe.txt"
    start_win probe "$TOOLS/dinput_probe.exe" --out "$(to_win_path "$out")" --ms 120000
    wait_file_line "$out" ready 20 || fail "the DirectInput probe did not start: $(cat "$out" 2>/dev/null)"
    # The game in front, the probe's window hidden: as raidkit reads the keys during play.
    start_game
    local entry key code
    # Key names as rkdriver takes them, with the DirectInput codes the program watches.
    for entry in PrintScreen:B7 F9:43 F10:44 F11:57 F12:58 Pause:C5 ScrollLock:46; do
        key="${entry%%:*}"
        code="0x${entry##*:}"
        drv_quiet press "$key" || fail "rkdriver could not send $key"
        wait_file_line "$out" "up $code" 5 ||
            fail "DirectInput did not see $key as $code; it saw: $(grep -v ready "$out" | tr '\n' ' ')"
    done
    local unexpected
    unexpected="$(grep -vxE 'ready|(down|up) 0x(B7|43|44|57|58|C5|46)' "$out" || true)"
    [[ -z "$unexpected" ]] || fail "DirectInput saw keys that were not pressed: $(echo "$unexpected" | tr '\n' ' ')"
}

scenario stand_in_game_records_every_typed_character no
stand_in_game_records_every_typed_character() {
    start_game
    local chat="$SCEN_DIR/chat-Ironveil.txt"
    # F10 between letters: the game window must not fall into menu mode and lose the chat.
    for key in g F10 g; do
        drv_quiet press "$key" 30 || fail "rkdriver could not send $key"
    done
    LC_ALL=C.UTF-8 drv_quiet type " é€😀" || fail "rkdriver could not type text"
    drv_quiet press Enter 30 || fail "rkdriver could not send Enter"
    wait_file_content "$chat" $'gg é€😀\n' 10 ||
        fail "the chat record holds $(od -An -c "$chat" | tr -s ' ') instead of \"gg é€😀\\n\""
}
