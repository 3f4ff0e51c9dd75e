# shellcheck shell=bash
# Pause (the freeze escape) and Scroll Lock, read by raidkit in the background while the game
# has the focus.

# The program ends the game through the Kill.exe beside it; the stand-in notes its arguments.
# Also from a folder with blanks in its path, where an unquoted command line would start
# something else or nothing.
scenario pause_ends_the_game_through_kill_exe yes
pause_ends_the_game_through_kill_exe() {
    local dir args other pid
    for dir in "$SCEN_DIR/app" "$SCEN_DIR/Program Files/Halvane/Iron veil"; do
        make_app_dir "$dir" with-kill
        start_game
        start_raidkit "$dir"
        pid="$STARTED_PID"
        wait_raidkit_window visible 20000 || fail "[$dir] raidkit's window did not appear within 20 s"
        drv_quiet activate "$GAME_TITLE" || fail "could not bring the game to the front"
        drv_quiet press Pause || fail "rkdriver could not send Pause"
        drv_quiet wait-process-count ironveil.exe 0 10000 || fail "[$dir] the game still runs 10 s after Pause"
        drv_quiet wait-process-count Kill.exe 0 10000 || fail "[$dir] Kill.exe still runs 10 s after Pause"
        args="$dir/kill-args.txt"
        [[ -s "$args" ]] || fail "[$dir] the game ended but Kill.exe was not started (no kill-args.txt)"
        # A held key acts in every 15 ms tick that sees it: several calls, all alike.
        other="$(grep -vxF -- '-f ironveil' "$args" || true)"
        [[ -z "$other" ]] ||
            fail "[$dir] Kill.exe was called with \"$(head -n1 <<<"$other")\", expected \"-f ironveil\""
        note "Kill.exe called $(wc -l <"$args") times"
        holds_for 2 raidkit_count_is 1 || fail "[$dir] raidkit.exe did not keep running after Pause"
        drv_quiet close "$RAIDKIT_TITLE" || fail "could not close the main window"
        wait_exit "$pid" 10 || fail "raidkit.exe did not end after its window was closed"
    done
}

scenario pause_ends_the_game_without_kill_exe yes
pause_ends_the_game_without_kill_exe() {
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    drv_quiet activate "$GAME_TITLE" || fail "could not bring the game to the front"
    drv_quiet press Pause || fail "rkdriver could not send Pause"
    drv_quiet wait-process-count ironveil.exe 0 10000 ||
        fail "the game still runs 10 s after Pause with no Kill.exe beside raidkit.exe"
    holds_for 2 raidkit_count_is 1 || fail "raidkit.exe did not keep running after Pause"
}

scenario pause_without_the_game_starts_nothing yes
pause_without_the_game_starts_nothing() {
    make_app_dir "$SCEN_DIR/app" with-kill
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    drv_quiet press Pause 200 || fail "rkdriver could not send Pause"
    local args="$SCEN_DIR/app/kill-args.txt"
    # shellcheck disable=SC2317 # called through holds_for
    no_kill_call() { [[ ! -e "$args" ]] && raidkit_count_is 1; }
    holds_for 2 no_kill_call ||
        fail "Pause without the game: $([[ -e $args ]] && echo "Kill.exe was started" || echo "raidkit.exe ended")"
    # The same copy does react once the game runs: the quiet above was not a deaf program.
    start_game
    drv_quiet press Pause || fail "rkdriver could not send Pause"
    drv_quiet wait-process-count ironveil.exe 0 10000 || fail "Pause with the game running did not end it"
}

scenario scroll_lock_brings_the_game_to_the_front yes
scroll_lock_brings_the_game_to_the_front() {
    make_app_dir "$SCEN_DIR/app"
    cp "$TOOLS/ironveil.exe" "$SCEN_DIR/cover.exe"
    start_game
    start_raidkit "$SCEN_DIR/app"
    wait_raidkit_window visible 20000 || fail "raidkit's window did not appear within 20 s"
    start_game "Cover window" "$SCEN_DIR/cover.exe"
    drv_quiet activate "Cover window" || fail "could not bring the cover window to the front"
    drv_quiet wait-foreground "Cover window" 5000 || fail "the cover window is not in front"
    drv_quiet press ScrollLock || fail "rkdriver could not send Scroll Lock"
    drv_quiet wait-foreground "$GAME_TITLE" 5000 ||
        fail "the game is not in front 5 s after Scroll Lock (in front: $(drv foreground | head -n1))"
    screenshot raidkit-scroll-lock
    # A minimized game comes back to its size, not only to the front.
    drv_quiet minimize "$GAME_TITLE" || fail "could not minimize the game"
    drv_quiet activate "Cover window" || fail "could not bring the cover window to the front"
    drv_quiet press ScrollLock || fail "rkdriver could not send Scroll Lock"
    drv_quiet wait-foreground "$GAME_TITLE" 5000 || fail "the minimized game is not in front after Scroll Lock"
    [[ "$(drv iconic "$GAME_TITLE" | tr -d '\r')" == "not minimized" ]] ||
        fail "the game came to the front but stayed minimized"
}
