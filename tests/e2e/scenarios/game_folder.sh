# shellcheck shell=bash
# Where a new player's screenshots and profiles go, with no ScreenFolder stored: the game's own
# folder, found below "Program Files (x86)" or as the folder raidkit.exe was installed into as
# the game's intro-movie player, and the player's Pictures where the game's folder takes no new
# files. A scenario file of run_scenarios.sh (it belongs in tests/e2e/scenarios/).

readonly GF_PROBE="$TOOLS/window/rkprobe.exe"
readonly GF_DIALOG="Look for your profile"
readonly GF_X86_GAME="$WINEPREFIX/drive_c/Program Files (x86)/Halvane/Ironveil/Ironveil"

gf_probe() { wine "$GF_PROBE" "$@" 2>>"$SCEN_DIR/scenario.log" | tr -d '\r'; }

# gf_profile <folder> <nickname>: a 70-line profile whose name line holds the nickname.
gf_profile() {
    mkdir -p "$1"
    local n
    for ((n = 1; n <= 70; n++)); do
        if ((n == 64)); then
            printf '"name" "%s"\r\n' "$2"
        else
            printf 'setting%d "%d"\r\n' "$n" "$n"
        fi
    done >"$1/Player.cfg"
}

# gf_press_print_screen: a picture on the clipboard with Print Screen, as Windows answers it.
gf_press_print_screen() {
    # Built with everything else: missing, the build failed, which no machine excuses.
    [[ -f "$TOOLS/capture/put_bitmap.exe" ]] || fail "$TOOLS/capture/put_bitmap.exe is not built"
    wine "$TOOLS/capture/put_bitmap.exe" 7 320 200 --press >>"$SCEN_DIR/scenario.log" 2>&1 ||
        fail "put_bitmap.exe could not press Print Screen: $(tail -n 1 "$SCEN_DIR/scenario.log")"
}

# gf_start <folder> <exe-name>: raidkit.exe copied there under that name, started, window up.
gf_start() {
    mkdir -p "$1"
    cp "$RAIDKIT_EXE" "$1/$2"
    start_win "raidkit" "$1/$2"
    wait_raidkit_window visible 20000 || fail "$2's window did not appear within 20 s"
}

# gf_nickname_from_dialog: "&Open Player Profile", "Player.cfg" typed into the dialog where it
# opened, Enter; prints what Text2 shows then.
gf_nickname_from_dialog() {
    [[ -f "$GF_PROBE" ]] || fail "$GF_PROBE is not built"
    local opened
    opened="$(gf_probe press main Open_profile)"
    [[ "$opened" == "modal: $GF_DIALOG" ]] || fail "&Open Player Profile showed \"$opened\""
    note "the dialog opened in $(gf_probe dialog-folder "$GF_DIALOG")"
    gf_probe dialog-type "$GF_DIALOG" "Player.cfg" >>"$SCEN_DIR/scenario.log" ||
        fail "could not type Player.cfg into the profile dialog"
    gf_probe wait "no-dialog=$GF_DIALOG" 10000 >>"$SCEN_DIR/scenario.log" ||
        fail "the profile dialog stayed open after Enter"
    gf_probe get main Text2 text
}

gf_clean_x86() {
    rm -rf "$WINEPREFIX/drive_c/Program Files (x86)/Halvane" "$WINEPREFIX/drive_c/Program Files/Halvane"
    rm -rf "$(gf_store_profile_dir)"
}

# The VirtualStore copy of the game's Profile folder below "Program Files (x86)".
gf_store_profile_dir() {
    local local_app
    local_app="$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')"
    printf '%s/VirtualStore/Program Files (x86)/Halvane/Ironveil/Ironveil/Profile' \
        "$(winepath -u "$local_app" 2>/dev/null)"
}

scenario game_below_program_files_x86_holds_shots_and_profiles yes
game_below_program_files_x86_holds_shots_and_profiles() {
    gf_clean_x86
    gf_profile "$GF_X86_GAME/Profile" "Xeno"
    gf_start "$SCEN_DIR/elsewhere" raidkit.exe
    gf_press_print_screen
    wait_file "$GF_X86_GAME/ScreenShot1.jpg" 10 ||
        fail "no ScreenShot1.jpg in the game's folder below Program Files (x86) 10 s after Print Screen"
    local shown
    shown="$(gf_nickname_from_dialog)"
    [[ "$shown" == Xeno ]] || fail "the profile dialog loaded \"$shown\", not the game's Xeno"

    # The game, run as an ordinary user, writes its profiles to the VirtualStore: that copy is
    # the one the player changes.
    local store
    store="$(gf_store_profile_dir)"
    gf_profile "$store" "Yuki"
    shown="$(gf_nickname_from_dialog)"
    rm -rf "$store"
    gf_clean_x86
    [[ "$shown" == Yuki ]] || fail "with a VirtualStore copy the dialog loaded \"$shown\", not Yuki"
}

scenario installed_as_intro_player_keeps_shots_beside_it yes
installed_as_intro_player_keeps_shots_beside_it() {
    gf_clean_x86
    local game="$SCEN_DIR/Games/Ironveil"
    gf_profile "$game/Profile" "Zed"
    gf_start "$game" intro.exe
    gf_press_print_screen
    wait_file "$game/ScreenShot1.jpg" 10 ||
        fail "no ScreenShot1.jpg beside intro.exe 10 s after Print Screen ($(ls "$game" | tr '\n' ' '))"
}

scenario game_folder_that_refuses_files_sends_shots_to_pictures yes
game_folder_that_refuses_files_sends_shots_to_pictures() {
    gf_clean_x86
    local mount="$SCEN_DIR/readonly" drive="$WINEPREFIX/dosdevices/r:"
    mkdir -p "$mount"
    mount -t tmpfs -o size=8m tmpfs "$mount" 2>>"$SCEN_DIR/scenario.log" ||
        skip_here "this machine refuses to mount a tmpfs (not run as root?)"
    GF_MOUNT="$mount"
    # The program runs from the drive: it ends before the drive goes.
    trap 'end_scenario_processes; rm -f "$WINEPREFIX/dosdevices/r:"; umount -l "$GF_MOUNT" 2>/dev/null || true' EXIT
    gf_profile "$mount/Ironveil/Profile" "Ro"
    cp "$RAIDKIT_EXE" "$mount/Ironveil/intro.exe"
    mount -o remount,ro "$mount" 2>>"$SCEN_DIR/scenario.log" ||
        skip_here "this machine refuses to remount a tmpfs read-only"
    touch "$mount/Ironveil/probe" 2>/dev/null &&
        skip_here "this machine has no folder that refuses writes: a read-only tmpfs takes them"
    rm -f "$drive"
    ln -s "$mount" "$drive"

    # Under Wine, Pictures is a link to the Linux home: a folder inside the prefix instead.
    local pictures_win pictures
    pictures_win="$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')\\Pictures"
    pictures="$(winepath -u "$pictures_win" 2>/dev/null)"
    [[ -n "$pictures" ]] || fail "no Linux path for $pictures_win"
    [[ -L "$pictures" ]] && rm -f "$pictures"
    mkdir -p "$pictures"
    rm -rf "$pictures/Ironveil"

    start_win "raidkit" 'R:\Ironveil\intro.exe'
    wait_raidkit_window visible 20000 || fail "intro.exe's window did not appear within 20 s"
    gf_press_print_screen
    wait_file "$pictures/Ironveil/ScreenShot1.jpg" 10 ||
        fail "no ScreenShot1.jpg in Pictures\\Ironveil 10 s after Print Screen"
    end_scenario_processes
}
