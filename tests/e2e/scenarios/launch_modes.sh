# shellcheck shell=bash
# The three launch modes: normal start, tray mode ("/Mini") and the relaunch that the game's
# launcher causes ("go /D8 /C /R /I100 /U1").

scenario normal_start_shows_the_main_window yes
normal_start_shows_the_main_window() {
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    local pid="$STARTED_PID"
    wait_raidkit_window visible 20000 ||
        fail "no visible window titled \"$RAIDKIT_TITLE\" within 20 s of a start without arguments"
    screenshot raidkit-normal-start
    holds_for 2 raidkit_count_is 1 || fail "raidkit.exe did not keep running after a normal start"
    # A normal copy does not follow the game: no game runs, and it is still there.
    alive "$pid" || fail "raidkit.exe ended although it was started normally"
    drv_quiet close "$RAIDKIT_TITLE" || fail "could not close the main window"
    wait_exit "$pid" 10 || fail "raidkit.exe did not end within 10 s of its main window being closed"
    expect_clean_exit "raidkit.exe"
}

# Argument strings that only look like a launch mode give a normal start.
scenario near_launch_arguments_give_a_normal_start yes
near_launch_arguments_give_a_normal_start() {
    make_app_dir "$SCEN_DIR/app"
    local -a cases=(
        "go /D8 /C /R /I100 /U1 x"
        "GO /D8 /C /R /I100 /U1"
        "/mini"
        "/Mini x"
    )
    local args pid
    for args in "${cases[@]}"; do
        # shellcheck disable=SC2086 # the words of each case are the arguments
        start_raidkit "$SCEN_DIR/app" $args
        pid="$STARTED_PID"
        wait_raidkit_window visible 20000 ||
            fail "arguments \"$args\": no visible main window within 20 s (expected a normal start)"
        [[ "$(raidkit_count)" == 1 ]] || fail "arguments \"$args\": $(raidkit_count) copies run, expected 1"
        drv_quiet close "$RAIDKIT_TITLE" || fail "arguments \"$args\": could not close the main window"
        wait_exit "$pid" 10 || fail "arguments \"$args\": raidkit.exe did not end after its window was closed"
    done
}

scenario tray_mode_without_the_game_ends_at_once yes
tray_mode_without_the_game_ends_at_once() {
    make_app_dir "$SCEN_DIR/app"
    local start
    start=$(now_ms)
    start_raidkit "$SCEN_DIR/app" /Mini
    # About one game-watch tick (1 s) after start; Wine's process start adds to it.
    wait_exit "$STARTED_PID" 6 || fail "raidkit.exe /Mini still runs 6 s after its start, with no game"
    expect_clean_exit "raidkit.exe /Mini"
    note "ended after $(($(now_ms) - start)) ms"
}

scenario tray_mode_runs_while_the_game_runs_and_ends_after_it yes
tray_mode_runs_while_the_game_runs_and_ends_after_it() {
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    local pid="$STARTED_PID"
    wait_raidkit_window hidden 20000 || fail "no hidden window titled \"$RAIDKIT_TITLE\" within 20 s of /Mini"
    holds_for 3 alive "$pid" || fail "raidkit.exe /Mini ended within 3 s although the game runs"
    [[ "$(drv find "$RAIDKIT_TITLE")" == hidden ]] || fail "the tray-mode copy's window is shown"
    drv_quiet close "$GAME_TITLE" || fail "could not close the game's window"
    local start
    start=$(now_ms)
    wait_exit "$pid" 6 || fail "raidkit.exe /Mini still runs 6 s after the game's window closed"
    expect_clean_exit "raidkit.exe /Mini"
    note "ended $(($(now_ms) - start)) ms after the game's window was closed"
}

# The game starts its intro-movie player, which is raidkit.exe, with a fixed argument string:
# that copy starts a tray-mode copy of itself and ends. Also from a folder with blanks in its
# path, where the new copy must still receive exactly "/Mini".
scenario relaunch_leaves_one_tray_copy_beside_the_game yes
relaunch_leaves_one_tray_copy_beside_the_game() {
    start_game
    local dir pid
    for dir in "$SCEN_DIR/app" "$SCEN_DIR/Program Files/Halvane/Iron veil"; do
        make_app_dir "$dir"
        start_raidkit "$dir" "${RELAUNCH_ARGS[@]}"
        pid="$STARTED_PID"
        wait_exit "$pid" 10 || fail "[$dir] the relaunching copy still runs 10 s after its start"
        expect_clean_exit "[$dir] the relaunching copy"
        wait_raidkit_window hidden 20000 ||
            fail "[$dir] no hidden window titled \"$RAIDKIT_TITLE\" (the tray-mode copy) within 20 s"
        drv_quiet wait-process-count raidkit.exe 1 5000 ||
            fail "[$dir] $(raidkit_count) raidkit.exe processes run after the relaunch, expected 1"
        holds_for 2 raidkit_count_is 1 || fail "[$dir] the tray-mode copy did not keep running beside the game"
        [[ "$(drv find "$RAIDKIT_TITLE")" == hidden ]] || fail "[$dir] the relaunched copy's window is shown"
        # Tray mode proper: it ends with the game. The game is started again for the next folder.
        drv_quiet close "$GAME_TITLE" || fail "could not close the game's window"
        drv_quiet wait-process-count raidkit.exe 0 6000 ||
            fail "[$dir] the relaunched copy did not end within 6 s after the game's window closed"
        drv_quiet wait-process-count ironveil.exe 0 10000 || fail "the stand-in game did not end"
        [[ "$dir" == *" "* ]] || start_game
    done
}
