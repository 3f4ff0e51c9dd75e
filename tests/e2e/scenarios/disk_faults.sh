# shellcheck shell=bash
# Print Screen meeting what a real file system refuses: a disk that fills in the middle of a
# shot, a drive that refuses every write, a name that a folder holds. The player is told where
# the program says so, no file is left half written under a screenshot's name, and the next
# shot works. Uses the helpers of screenshots.sh.

# fault_drive <letter> <tmpfs-size>: a small tmpfs in the scenario's folder, mapped as Wine's
# drive <letter>: and removed again when the scenario ends. A machine that refuses the mount
# skips the scenario.
fault_drive() {
    FAULT_MOUNT="$SCEN_DIR/drive-$1"
    FAULT_LINK="$WINEPREFIX/dosdevices/$1:"
    mkdir -p "$FAULT_MOUNT"
    mount -t tmpfs -o "size=$2" tmpfs "$FAULT_MOUNT" 2>>"$SCEN_DIR/scenario.log" ||
        skip_here "this machine refuses to mount a tmpfs (not run as root?)"
    trap 'end_scenario_processes; rm -f "$FAULT_LINK"; umount -l "$FAULT_MOUNT" 2>/dev/null || true' EXIT
    rm -f "$FAULT_LINK"
    ln -s "$FAULT_MOUNT" "$FAULT_LINK"
}

# box_says <title> <text>: the program's box <title> shows, its text holds <text>; OK closes it.
box_says() {
    local text
    text="$(wine "$TOOLS/window/rkprobe.exe" box-text "$1" 10000 2>>"$SCEN_DIR/scenario.log" |
        tr -d '\r')" || fail "no box \"$1\" within 10 s"
    note "box \"$1\": $text"
    [[ "$text" == *"$2"* ]] || fail "the box \"$1\" says \"$text\", not \"$2\""
    wine "$TOOLS/window/rkprobe.exe" box-ok "$1" >>"$SCEN_DIR/scenario.log" 2>&1 ||
        fail "the box \"$1\" did not close on OK"
}

# shot_on_drive <letter> <format>: raidkit.exe storing shots on <letter>:\ScreenShot.
shot_on_drive() {
    settings_reg add /v ScreenFolder /d "$1:\\ScreenShot" /f >>"$SCEN_DIR/scenario.log" 2>&1
    settings_reg add /v ScreenyFormat /d "$2" /f >>"$SCEN_DIR/scenario.log" 2>&1
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
}

# A BMP raises "Disk full" (61) to the player; a JPEG says it could not be saved. Either way
# nothing is left on the drive, and a shot that fits is then stored as ScreenShot1.
full_disk_case() {
    local format="$1" ext="$2" title="$3" text="$4"
    fault_drive f 64k
    shot_on_drive f "$format"
    print_screen_with 4 900 700
    box_says "$title" "$text"
    holds_for 1 folder_holds "$FAULT_MOUNT" "" ||
        fail "the full drive holds $(files_in "$FAULT_MOUNT") after the failed shot"
    print_screen_with 5 40 30
    wait_file "$FAULT_MOUNT/ScreenShot1.$ext" 10 ||
        fail "no ScreenShot1.$ext after the failed shot ($(files_in "$FAULT_MOUNT"))"
    same_picture "$FAULT_MOUNT/ScreenShot1.$ext" 5 40 30 3
    [[ "$(raidkit_count)" == 1 ]] || fail "raidkit.exe did not keep running"
}

scenario full_disk_in_the_middle_of_a_bmp_leaves_nothing yes
full_disk_in_the_middle_of_a_bmp_leaves_nothing() {
    full_disk_case Bmp bmp Raidkit "Run-time error '61'"
}

scenario full_disk_in_the_middle_of_a_jpg_leaves_nothing yes
full_disk_in_the_middle_of_a_jpg_leaves_nothing() {
    full_disk_case Jpg jpg Error "Could not save JPG"
}

scenario read_only_screenshot_drive_tells_the_player yes
read_only_screenshot_drive_tells_the_player() {
    fault_drive w 1m
    mount -o remount,ro "$FAULT_MOUNT" 2>>"$SCEN_DIR/scenario.log" ||
        skip_here "this machine refuses to remount a tmpfs read-only"
    touch "$FAULT_MOUNT/probe" 2>/dev/null &&
        skip_here "this machine has no folder that refuses writes: a read-only tmpfs takes them"
    shot_on_drive w Bmp
    print_screen_with 6 64 64
    box_says Raidkit "Run-time error '75'"
    print_screen_with 7 64 64
    box_says Raidkit "Run-time error '75'"
    [[ "$(raidkit_count)" == 1 ]] || fail "raidkit.exe did not keep running"
}

# A folder takes its number as a file does: the shot goes to the next one, the folder and what
# it holds stay.
scenario screenshot_name_held_by_a_folder_takes_the_next_number yes
screenshot_name_held_by_a_folder_takes_the_next_number() {
    local shots="$SCEN_DIR/shots"
    mkdir -p "$shots/ScreenShot1.jpg"
    printf 'kept' >"$shots/ScreenShot1.jpg/inside.txt"
    shots_start "$shots"
    print_screen_with 8 64 48
    wait_file "$shots/ScreenShot2.jpg" 10 || fail "no ScreenShot2.jpg ($(files_in "$shots"))"
    same_picture "$shots/ScreenShot2.jpg" 8 64 48 3
    [[ -d "$shots/ScreenShot1.jpg" && "$(cat "$shots/ScreenShot1.jpg/inside.txt")" == kept ]] ||
        fail "the folder ScreenShot1.jpg or its file changed"
    holds_for 1 folder_holds "$shots" "ScreenShot1.jpg ScreenShot2.jpg " ||
        fail "the folder holds $(files_in "$shots")"
}
