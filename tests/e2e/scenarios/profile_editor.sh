# shellcheck shell=bash
# The nickname editor end to end: the real raidkit.exe, "&Open Player Profile" through the real
# open dialog, a profile's path typed into it, the new name typed into Text2, "&OK", and the
# file compared byte for byte with its golden file. A cancelled dialog, "&OK" with nothing
# opened and files that are no profile change no file; the program's error boxes are read and
# answered. Uses the probe helpers of windows.sh.

readonly PROFILE_DIALOG="Look for your profile"
readonly PROFILE_GOLDEN="$RAIDKIT_ROOT/tests/unit/data/profile"
# raidkit.exe runs from a copy on C:, so that the game's profile folder below its drive, where
# the dialog opens, lies inside the prefix.
readonly PROFILE_WIN_DIR='C:\Program Files\Halvane\Ironveil\Ironveil\Profile'
readonly PROFILE_PROGRAM_DIR="$WINEPREFIX/drive_c/Raidkit"
readonly PROFILE_DIR="$WINEPREFIX/drive_c/Program Files/Halvane/Ironveil/Ironveil/Profile"
readonly PROFILE_REL_DIR="Program Files/Halvane/Ironveil/Ironveil/Profile"

profile_setup() {
    profile_teardown
    mkdir -p "$PROFILE_PROGRAM_DIR" "$PROFILE_DIR"
    cp "$RAIDKIT_EXE" "$PROFILE_PROGRAM_DIR/"
    preset_profiles
}
# The game's folder below Program Files would be found by every later start of the program.
profile_teardown() { rm -rf "$PROFILE_PROGRAM_DIR" "$WINEPREFIX/drive_c/Program Files/Halvane"; }
# Profiles named as the dialog's preset, in the program's (and current) folder and in the
# dialog's folder: loading one of them after a cancel, or writing one, must show. Their CR line
# ends come back as CR LF from any write, whatever name it stores.
preset_profiles() {
    cp "$PROFILE_GOLDEN/player70_bob_cr.cfg" "$PROFILE_PROGRAM_DIR/Player.cfg"
    cp "$PROFILE_GOLDEN/player70_bob_cr.cfg" "$PROFILE_DIR/Player.cfg"
}

# Every file of the program's folder and of the game's folders, with a checksum of its bytes:
# a file written, added or removed shows as a difference.
profile_files() {
    local file
    (cd "$WINEPREFIX/drive_c" && find Raidkit "Program Files/Halvane" -type f | LC_ALL=C sort |
        while IFS= read -r file; do
            printf '%s %s\n' "$file" "$(sha256sum <"$file" | cut -c1-64)"
        done)
}
# unchanged_since LIST [FILE]: the folders hold what LIST recorded, apart from profile FILE.
unchanged_since() {
    local skip="$PROFILE_REL_DIR/${2:-}"
    [[ $# -gt 1 ]] || skip=""
    # shellcheck disable=SC2016 # awk expands them
    local keep='skip == "" || substr($0, 1, length(skip) + 1) != skip " "'
    diff <(awk -v skip="$skip" "$keep" "$1") <(profile_files | awk -v skip="$skip" "$keep")
}

# open_profile NAME: "&Open Player Profile", the profile folder's NAME typed as a full path into
# the dialog, Enter.
open_profile() {
    equals "modal: $PROFILE_DIALOG" probe press main Open_profile &&
        probe_ok dialog-type "$PROFILE_DIALOG" "$PROFILE_WIN_DIR\\$1" &&
        probe_ok wait "no-dialog=$PROFILE_DIALOG" 10000
}
# "&OK"; its handler returns without showing a box.
press_ok() { equals returned probe press main SetNickName; }
# ok_with NAME: NAME typed over Text2's text, then "&OK".
ok_with() { equals "$1" probe type Text2 "$1" && press_ok; }
text2_is() { equals "$1" probe get main Text2 text; }
# fresh_profile NAME: the golden NAME, as the game left it, in the profile folder.
fresh_profile() { cp "$PROFILE_GOLDEN/$1" "$PROFILE_DIR/$1"; }
# reopened_shows FILE NAME: FILE opened again shows NAME in Text2.
reopened_shows() { open_profile "$1" && equals "$2" probe await-text main Text2 "$2"; }
# The refused profiles as the game left them, and no Missing.cfg made.
refused_files_kept() {
    local name
    for name in first_line_empty short30 name_short; do
        cmp "$PROFILE_DIR/$name.cfg" "$PROFILE_GOLDEN/$name.cfg" || return 1
    done
    [[ ! -e "$PROFILE_DIR/Missing.cfg" ]]
}

scenario nickname_editor_through_the_real_open_dialog yes
nickname_editor_through_the_real_open_dialog() {
    local files="$SCEN_DIR/profile-files.txt"
    local row file shown typed expected message label
    trap 'end_scenario_processes; profile_teardown' EXIT
    profile_setup
    window_start "$PROFILE_PROGRAM_DIR" || fail "raidkit.exe did not start from C:\\Raidkit"
    profile_files >"$files"

    # --- Nothing opened yet ----------------------------------------------------------------------
    check "&OK before any profile returns without a box" press_ok
    check "&OK before any profile changes no file" unchanged_since "$files"

    check "&Open Player Profile opens the dialog \"$PROFILE_DIALOG\"" \
        equals "modal: $PROFILE_DIALOG" probe press main Open_profile
    check "the open dialog proposes Player.cfg" \
        equals Player.cfg probe dialog-name "$PROFILE_DIALOG"
    check "the open dialog shows the game's profile folder on the program's drive" \
        equals "$PROFILE_WIN_DIR" probe dialog-folder "$PROFILE_DIALOG"
    check "the open dialog lists \"All profiles\"" \
        equals "All profiles" probe dialog-filter "$PROFILE_DIALOG"
    check "open dialog screenshot" import -display "$DISPLAY" -window root \
        "$ARTIFACTS/profile-open-dialog.png"
    try probe_ok dialog-cancel "$PROFILE_DIALOG"
    check "the open dialog closes on Cancel" probe_ok wait "no-dialog=$PROFILE_DIALOG" 10000
    # "&OK" runs after the cancelled click's handler: what that loaded would show from here on.
    check "&OK after a cancel with nothing opened returns without a box" press_ok
    check "a cancel with nothing opened leaves Text2's text" text2_is Nickname
    check "a cancel and &OK with nothing opened change no file" unchanged_since "$files"

    # --- Write-back: only the name line changes, every line ends in CR LF --------------------------
    local rows=(
        "player70_bob.cfg|Bob|Ann|player70_ann.cfg"
        "player70_bob_cr.cfg|Bob|Ann|player70_ann.cfg"
        "cp1252_zoe.cfg|Zoë|Renée|cp1252_renee.cfg"
        'player70_bob.cfg|Bob|Ann "Axe"|player70_quote.cfg'
    )
    for row in "${rows[@]}"; do
        IFS='|' read -r file shown typed expected <<<"$row"
        label="$file renamed $typed"
        fresh_profile "$file"
        profile_files >"$files"
        check "$label: the dialog takes its path" open_profile "$file"
        check "$label: Text2 shows $shown" equals "$shown" probe await-text main Text2 "$shown"
        check "$label: &OK returns without a box" ok_with "$typed"
        check "$label: the file is exactly $expected" \
            cmp "$PROFILE_DIR/$file" "$PROFILE_GOLDEN/$expected"
        check "$label: no other file changes" unchanged_since "$files" "$file"
        check "$label: opened again, Text2 shows $typed" reopened_shows "$file" "$typed"
    done

    # --- A profile open, then the dialog cancelled -------------------------------------------------
    fresh_profile cp1252_zoe.cfg
    try open_profile cp1252_zoe.cfg
    try probe_ok await-text main Text2 "Zoë"
    preset_profiles
    profile_files >"$files"
    try equals "modal: $PROFILE_DIALOG" probe press main Open_profile
    try probe_ok dialog-cancel "$PROFILE_DIALOG"
    check "a cancel with a profile open closes the dialog" \
        probe_ok wait "no-dialog=$PROFILE_DIALOG" 10000
    check "&OK after a cancel returns without a box" press_ok
    check "a cancel keeps the open profile's name in Text2" text2_is "Zoë"
    # "&OK" stores the open profile's own name again: its bytes stay as they are.
    check "a cancel and &OK change no file, Player.cfg in the program's folder included" \
        unchanged_since "$files"

    # --- Files that are no profile: a box, nothing loaded, nothing written --------------------------
    fresh_profile player70_bob.cfg
    try open_profile player70_bob.cfg
    try probe_ok await-text main Text2 Bob
    local opened="Make sure this is a valid config file."
    rows=(
        "first_line_empty.cfg|Not a valid profile config."
        "Missing.cfg|Not a valid profile config."
        "short30.cfg|An error occured:'The profile has no line 64 to hold the name.'\r\n$opened"
        "name_short.cfg|An error occured:'Line 64 is too short to be the name line.'\r\n$opened"
    )
    for row in "${rows[@]}"; do
        IFS='|' read -r file message <<<"$row"
        if [[ -f "$PROFILE_GOLDEN/$file" ]]; then fresh_profile "$file"; fi
        profile_files >"$files"
        try open_profile "$file"
        check "$file: the box \"Error\" tells \"$message\"" equals "$message" probe box-text Error
        check "$file: the box closes on OK" probe_ok box-ok Error
        check "$file: &OK afterwards returns without a box" press_ok
        check "$file: Text2 keeps the open profile's name" text2_is Bob
        check "$file: no file changes (nor appears)" unchanged_since "$files"
    done
    # The profile opened before the refused files is still the one "&OK" writes.
    check "after refused files, &OK with Ann returns without a box" ok_with Ann
    check "after refused files, &OK writes the profile opened before them" \
        cmp "$PROFILE_DIR/player70_bob.cfg" "$PROFILE_GOLDEN/player70_ann.cfg"
    check "after refused files, they are as the game left them" refused_files_kept

    window_stop
}

# ok_refused <reason>: "&OK" shows the box "Error" whose text names the profile, then gives
# the reason (the system's own words where it has them) and says that the profile was not
# changed; OK closes it.
ok_refused() {
    [[ "$(probe press main SetNickName)" == "modal: Error" ]] || return 1
    box_says Error "player70_bob.cfg: $1'\\r\\nThe profile was not changed."
}

# A profile the program may not write when "&OK" comes: held open without sharing by another
# program, or made read-only after it was opened. The player is told, the file stays as the
# game left it, and "&OK" writes it once it may.
scenario profile_that_cannot_be_written_at_ok_is_left_as_it_was yes
profile_that_cannot_be_written_at_ok_is_left_as_it_was() {
    local file="$PROFILE_DIR/player70_bob.cfg"
    trap 'end_scenario_processes; chmod -R u+w "$PROFILE_DIR" 2>/dev/null; profile_teardown' EXIT
    profile_setup
    window_start "$PROFILE_PROGRAM_DIR" || fail "raidkit.exe did not start from C:\\Raidkit"

    fresh_profile player70_bob.cfg
    open_profile player70_bob.cfg || fail "the open dialog did not take player70_bob.cfg"
    probe_ok await-text main Text2 Bob || fail "Text2 does not show Bob"
    start_win holder "$TOOLS/rkdriver.exe" hold-file "$PROFILE_WIN_DIR\\player70_bob.cfg" 30000
    local holder="$STARTED_PID"
    wait_file_line "$SCEN_DIR/holder.log" held 10 ||
        fail "rkdriver could not hold the profile: $(cat "$SCEN_DIR/holder.log")"
    [[ "$(probe type Text2 Ann)" == Ann ]] || fail "could not type Ann into Text2"
    ok_refused "Sharing violation." || fail "&OK on a profile held open did not tell the player"
    cmp "$file" "$PROFILE_GOLDEN/player70_bob.cfg" || fail "the profile held open changed"
    kill "$holder" 2>/dev/null || true
    wait_exit "$holder" 10 || fail "the holder did not end"
    equals returned probe press main SetNickName || fail "&OK once the file is free showed a box"
    cmp "$file" "$PROFILE_GOLDEN/player70_ann.cfg" || fail "&OK once the file is free did not write Ann"

    fresh_profile player70_bob.cfg
    open_profile player70_bob.cfg || fail "the open dialog did not take player70_bob.cfg again"
    probe_ok await-text main Text2 Bob || fail "Text2 does not show Bob again"
    chmod a-w "$file"
    [[ "$(probe type Text2 Ann)" == Ann ]] || fail "could not type Ann into Text2"
    ok_refused "Path/File access error" ||
        fail "&OK on a profile made read-only after it was opened did not tell the player"
    cmp "$file" "$PROFILE_GOLDEN/player70_bob.cfg" || fail "the read-only profile changed"
    [[ ! -w "$file" || "$(id -u)" == 0 ]] && [[ "$(stat -c %a "$file")" == 444 ]] ||
        fail "the read-only profile's mode changed to $(stat -c %a "$file")"
    chmod u+w "$file"
    equals returned probe press main SetNickName || fail "&OK once writable showed a box"
    cmp "$file" "$PROFILE_GOLDEN/player70_ann.cfg" || fail "&OK once writable did not write Ann"
    window_stop
}
