# shellcheck shell=bash
# The settings under HKLM\SOFTWARE\Kestrane\Kestrane Games\Ironveil, as seen from outside.

settings_expect() {
    local name="$1" want="$2" got
    got="$(reg_value "$name")" || fail "$name is missing or not a REG_SZ value"
    [[ "$got" == "$want" ]] || fail "$name holds \"$got\", expected \"$want\""
}

# Start-up stores only the sign-in text's default; every other value stays as it was.
scenario startup_stores_only_the_sign_in_text_default yes
startup_stores_only_the_sign_in_text_default() {
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    # Shown only after start-up has filled the panel, so the writes are done.
    settings_key_exists || fail "no $SETTINGS_KEY (32-bit view) after a normal start"
    settings_expect "MSN Title" "has just signed in."
    local name value
    for name in ScreenFolder ScreenyFormat JPGQuality KeyBind1 KeyBind2 KeyBind3 KeyBind4 MSN; do
        if value="$(reg_value "$name")" && [[ -n "$value" ]]; then
            fail "start-up stored \"$value\" in $name, which was not set"
        fi
    done
}

# With every other setting stored, start-up adds the sign-in text's default and changes nothing
# else, also not a value of the game's own.
scenario startup_keeps_stored_settings_and_other_values yes
startup_keeps_stored_settings_and_other_values() {
    # shellcheck disable=SC2016 # "$a" is a keybind counter, not a shell variable
    local -A preset=(
        [KeyBind1]='gg $a'
        [KeyBind4]='rush B'
        [ScreenyFormat]=Bmp
        [MSN]=True
        [JPGQuality]=75
        [ScreenFolder]='C:\shots\Raid'
        [InstallPath]='C:\Games\Ironveil'
    )
    local name
    for name in "${!preset[@]}"; do
        settings_reg add /v "$name" /t REG_SZ /d "${preset[$name]}" /f \
            >>"$SCEN_DIR/scenario.log" 2>&1 ||
            fail "could not preset $name: $(tail -n 1 "$SCEN_DIR/scenario.log" | tr -d '\r')"
    done
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    drv_quiet close "$RAIDKIT_TITLE" || fail "could not close the main window"
    drv_quiet wait-process-count raidkit.exe 0 10000 || fail "raidkit.exe did not end after its window closed"
    settings_expect "MSN Title" "has just signed in."
    for name in "${!preset[@]}"; do
        settings_expect "$name" "${preset[$name]}"
    done
}

# The game's key is in the 32-bit view. A value a 32-bit installer planted there is read; one a
# 32-bit settings tool left in the VirtualStore copy is read ahead of it; one in the 64-bit view
# is not the game's and is not read. Writes land in the 32-bit view and the per-user copy only.
scenario settings_are_the_32_bit_views_and_the_virtual_store_is_only_read yes
settings_are_the_32_bit_views_and_the_virtual_store_is_only_read() {
    local chat="$SCEN_DIR/chat-Ironveil.txt"
    settings_reg add /v KeyBind1 /t REG_SZ /d 'planted 32' /f >/dev/null 2>&1 || fail "could not plant KeyBind1 (/reg:32)"
    settings_reg add /v KeyBind2 /t REG_SZ /d 'hidden' /f >/dev/null 2>&1 || fail "could not plant KeyBind2 (/reg:32)"
    wine reg add "$VSTORE_SETTINGS_KEY" /v KeyBind2 /t REG_SZ /d 'from the store' /f >/dev/null 2>&1 ||
        fail "could not plant KeyBind2 in the VirtualStore copy"
    wine reg add "$SETTINGS_KEY" /v KeyBind3 /t REG_SZ /d 'native 64' /f /reg:64 >/dev/null 2>&1 ||
        fail "could not plant KeyBind3 (/reg:64)"
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"

    local key want=""
    for key in F9 F10 F11; do
        drv_quiet activate "$GAME_TITLE" || fail "could not bring the game to the front"
        drv_quiet wait-foreground "$GAME_TITLE" 5000 || fail "the game is not in front"
        drv_quiet press "$key" || fail "rkdriver could not send $key"
        case "$key" in
            F9) want+=$'planted 32\n' ;;
            F10) want+=$'from the store\n' ;;
            F11) want+=$'\n' ;;
        esac
        wait_file_content "$chat" "$want" 20 ||
            fail "after $key the chat holds \"$(cat "$chat" 2>/dev/null)\", expected \"$want\""
    done

    settings_expect "MSN Title" "has just signed in."
    settings_expect KeyBind2 "from the store"
    [[ "$(reg_value "MSN Title" "$USER_SETTINGS_KEY" /reg:64)" == "has just signed in." ]] ||
        fail "start-up's write did not reach the per-user copy"
    # The 64-bit view holds only what was planted there.
    if reg_value "MSN Title" "$SETTINGS_KEY" /reg:64 >/dev/null; then
        fail "a value was written to the 64-bit view of the game's key"
    fi
    [[ "$(reg_value KeyBind3 "$SETTINGS_KEY" /reg:64)" == "native 64" ]] || fail "the 64-bit value changed"
    # The VirtualStore copy holds exactly what was planted.
    local stored
    stored="$(wine reg query "$VSTORE_SETTINGS_KEY" 2>/dev/null | tr -d '\r' | grep -c 'REG_' || true)"
    [[ "$stored" == 1 ]] || fail "the VirtualStore copy holds $stored values, expected the 1 planted"
}
