# shellcheck shell=bash
# Print Screen with the real raidkit.exe: the picture that comes on the clipboard with the key is
# stored as the next free numbered .jpg or .bmp under the screenshot prefix, the screen itself
# where none comes. A scenario file of run_scenarios.sh (it belongs in tests/e2e/scenarios/).
# put_bitmap.exe puts a known picture on the clipboard and presses Print Screen with it, as
# Windows answers the key; compare_picture.exe checks a stored file against that picture.

CAPTURE_TOOLS="${CAPTURE_TOOLS:-$TOOLS/capture}"

# shots_start <folder> [ScreenyFormat]: raidkit.exe with the screenshot prefix <folder>\ScreenShot.
shots_start() {
    [[ -f "$CAPTURE_TOOLS/put_bitmap.exe" ]] || fail "$CAPTURE_TOOLS/put_bitmap.exe is not built"
    settings_reg add /v ScreenFolder /d "$(to_win_path "$1")\\ScreenShot" /f \
        >>"$SCEN_DIR/scenario.log" 2>&1
    settings_reg add /v ScreenyFormat /d "${2:-Jpg}" /f >>"$SCEN_DIR/scenario.log" 2>&1
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
}

# print_screen_with <seed> <width> <height>
print_screen_with() {
    wine "$CAPTURE_TOOLS/put_bitmap.exe" "$@" --press >>"$SCEN_DIR/scenario.log" 2>&1 ||
        fail "put_bitmap.exe could not put picture $1 on the clipboard and press Print Screen"
}

# same_picture <file> <seed> <width> <height> <max-mean-difference>
# compare_picture.exe always says what it found: without a word, it did not get to run.
same_picture() {
    local out status=0
    out="$(wine "$CAPTURE_TOOLS/compare_picture.exe" "$(to_win_path "$1")" "${@:2}" 2>&1)" ||
        status=$?
    [[ "$status" == 0 ]] ||
        fail "$(basename "$1") is not picture $2: ${out:-compare_picture.exe said nothing, status $status}"
    note "$(basename "$1"): $out"
}

files_in() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | tr '\n' ' '; }

# folder_holds <folder> <names>: listed afresh at each call, so that holds_for sees every change.
folder_holds() { [[ "$(files_in "$1")" == "$2" ]]; }

# same_as_screen <file> <max-mean-difference>: the stored picture against the X screen as it is
# now, by compare_picture.exe's measure: the mean difference of all channels, 0 to 255.
same_as_screen() {
    local screen="$SCEN_DIR/screen-now.png" got want mae
    import -display "$DISPLAY" -window root "$screen" || fail "could not capture the X screen"
    got="$(identify -format '%wx%h' "$1" 2>&1)" || fail "$(basename "$1") cannot be read: $got"
    want="$(identify -format '%wx%h' "$screen")"
    [[ "$got" == "$want" ]] || fail "$(basename "$1") is $got, the screen $want"
    # compare prints the mean absolute error, then in brackets that error as a part of 1.
    mae="$({ compare -metric MAE "$screen" "$1" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p')"
    [[ -n "$mae" ]] || fail "could not compare $(basename "$1") with the screen"
    mae="$(awk -v m="$mae" 'BEGIN { printf "%.3f", m * 255 }')"
    note "$(basename "$1"): $got, mean difference from the screen $mae"
    awk -v m="$mae" -v limit="$2" 'BEGIN { exit !(m <= limit) }' ||
        fail "$(basename "$1") is not the screen: mean difference $mae, at most $2 allowed"
}

scenario screenshot_numbered_jpgs_from_the_clipboard yes
screenshot_numbered_jpgs_from_the_clipboard() {
    local shots="$SCEN_DIR/shots"
    mkdir -p "$shots"
    # Gaps are filled first.
    printf x >"$shots/ScreenShot1.jpg"
    printf x >"$shots/ScreenShot2.jpg"
    printf x >"$shots/ScreenShot4.jpg"
    shots_start "$shots"
    print_screen_with 1 640 480
    wait_file "$shots/ScreenShot3.jpg" 10 || fail "no ScreenShot3.jpg 10 s after Print Screen"
    same_picture "$shots/ScreenShot3.jpg" 1 640 480 1.5
    print_screen_with 2 320 200
    wait_file "$shots/ScreenShot5.jpg" 10 || fail "no ScreenShot5.jpg after the second Print Screen"
    same_picture "$shots/ScreenShot5.jpg" 2 320 200 1.5
    local want="ScreenShot1.jpg ScreenShot2.jpg ScreenShot3.jpg ScreenShot4.jpg ScreenShot5.jpg "
    holds_for 1 folder_holds "$shots" "$want" ||
        fail "the folder holds $(files_in "$shots"), expected $want"
}

scenario screenshot_bmp_exactly_when_the_format_is_Bmp yes
screenshot_bmp_exactly_when_the_format_is_Bmp() {
    local shots="$SCEN_DIR/shots"
    mkdir -p "$shots"
    shots_start "$shots" Bmp
    print_screen_with 3 333 211
    wait_file "$shots/ScreenShot1.bmp" 10 || fail "no ScreenShot1.bmp 10 s after Print Screen"
    same_picture "$shots/ScreenShot1.bmp" 3 333 211 0
}

# Wine, like Windows 11 with its Snipping Tool, puts nothing on the clipboard for the key.
scenario screenshot_of_the_screen_when_no_picture_comes yes
screenshot_of_the_screen_when_no_picture_comes() {
    local shots="$SCEN_DIR/shots"
    mkdir -p "$shots"
    shots_start "$shots"
    drv_quiet press printscreen || fail "rkdriver could not send Print Screen"
    wait_file "$shots/ScreenShot1.jpg" 10 || fail "no ScreenShot1.jpg 10 s after Print Screen"
    # Nothing on the screen moves meanwhile. A JPEG of it differs by about 1.1; a black picture
    # by over 100, one shifted by 8 pixels by 13, one with a white 200x200 square by 3.9.
    same_as_screen "$shots/ScreenShot1.jpg" 2.5
}

scenario screenshot_into_a_missing_folder_tells_the_player yes
screenshot_into_a_missing_folder_tells_the_player() {
    shots_start "$SCEN_DIR/no such folder"
    print_screen_with 5 64 64
    drv_quiet wait-window Error 10000 visible ||
        fail "no box titled Error after Print Screen into a missing folder"
    drv_quiet close Error || fail "could not close the box"
    [[ ! -e "$SCEN_DIR/no such folder" ]] || fail "the missing folder was made"
    holds_for 1 raidkit_count_is 1 || fail "raidkit.exe did not keep running"
}

# pixel_hex <file> <x> <y>: the pixel's colour as RRGGBB.
pixel_hex() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1
}

# Wine puts nothing on the clipboard, so the picture is the screen raidkit copied. The stand-in
# game paints the time as a colour every millisecond; the stored .bmp (exact colours) shows the
# time of its copy, which must lie within 60 ms after the key went down.
scenario screenshot_shows_the_moment_of_the_press yes
screenshot_shows_the_moment_of_the_press() {
    local shots="$SCEN_DIR/shots" clock="$SCEN_DIR/clock.txt"
    mkdir -p "$shots"
    settings_reg add /v ScreenFolder /d "$(to_win_path "$shots")\\ScreenShot" /f >>"$SCEN_DIR/scenario.log" 2>&1
    settings_reg add /v ScreenyFormat /d Bmp /f >>"$SCEN_DIR/scenario.log" 2>&1
    start_win game "$TOOLS/ironveil.exe" --title "$GAME_TITLE" --clock "$(to_win_path "$clock")"
    drv_quiet wait-window "$GAME_TITLE" 20000 visible || fail "the stand-in game did not appear"
    local deadline=$(($(now_ms) + 10000))
    until grep -qE '^-?[0-9]+ -?[0-9]+$' "$clock" 2>/dev/null; do
        (($(now_ms) < deadline)) || fail "the stand-in game did not tell where its clock is"
        sleep 0.05
    done
    local x y
    read -r x y <"$clock"
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_raidkit_window hidden 20000 || fail "raidkit's tray window did not appear within 20 s"
    drv_quiet activate "$GAME_TITLE" || fail "could not bring the game to the front"

    local n down shown delay worst=0 delays=""
    for n in 1 2 3; do
        down="$(drv press-timed PrintScreen | tr -d '\r' | sed -n 's/^down //p')"
        [[ -n "$down" ]] || fail "rkdriver could not press Print Screen"
        wait_file "$shots/ScreenShot$n.bmp" 10 || fail "no ScreenShot$n.bmp 10 s after Print Screen"
        shown="$(pixel_hex "$shots/ScreenShot$n.bmp" "$x" "$y")"
        [[ -n "$shown" ]] || fail "could not read the clock's pixel of ScreenShot$n.bmp"
        delay=$(((0x$shown - down) & 0xFFFFFF))
        ((delay < 0x800000)) || delay=$((delay - 0x1000000))  # painted just before key-down
        delays+="$delay "
        ((delay > worst)) && worst=$delay
        sleep 0.3
    done
    note "capture delay after key-down: $delays ms"
    echo "capture delay after key-down: $delays ms"
    ((worst <= 60)) || fail "a stored picture shows the screen $worst ms after the key went down (all: $delays ms)"
}
