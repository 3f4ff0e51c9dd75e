# shellcheck shell=bash
# Only one copy runs: a second start finds the first by its window title and ends.

scenario second_start_shows_the_running_tray_copy yes
second_start_shows_the_running_tray_copy() {
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app" /Mini
    local first="$STARTED_PID"
    wait_raidkit_window hidden 20000 || fail "the tray-mode copy's hidden window did not appear within 20 s"
    wait_started 20 || fail "the tray-mode copy's start-up did not end within 20 s"
    start_raidkit "$SCEN_DIR/app"
    wait_exit "$STARTED_PID" 10 || fail "the second copy still runs 10 s after its start"
    expect_clean_exit "the second copy"
    alive "$first" || fail "the first copy ended when the second started"
    [[ "$(raidkit_count)" == 1 ]] || fail "$(raidkit_count) copies run after the second start, expected 1"
    wait_raidkit_window visible 5000 || fail "the running copy's window was not shown by the second start"
}

scenario second_start_leaves_the_shown_copy_shown yes
second_start_leaves_the_shown_copy_shown() {
    make_app_dir "$SCEN_DIR/app"
    start_raidkit "$SCEN_DIR/app"
    local first="$STARTED_PID"
    wait_raidkit_window visible 20000 || fail "the first copy's window did not appear within 20 s"
    wait_started 20 || fail "the first copy's start-up did not end within 20 s"
    start_raidkit "$SCEN_DIR/app"
    wait_exit "$STARTED_PID" 10 || fail "the second copy still runs 10 s after its start"
    expect_clean_exit "the second copy"
    [[ "$(raidkit_count)" == 1 ]] || fail "$(raidkit_count) copies run after the second start, expected 1"
    alive "$first" || fail "the first copy ended when the second started"
    [[ "$(drv count-windows "$RAIDKIT_TITLE" | tr -dc '0-9')" == 1 ]] ||
        fail "not exactly one window titled \"$RAIDKIT_TITLE\""
    holds_for 1 wait_raidkit_window visible 100 || fail "the running copy's window is no longer shown"
}

# A tray-mode start beside a normal copy ends; the normal copy does not become a tray copy.
scenario tray_start_beside_a_normal_copy_ends yes
tray_start_beside_a_normal_copy_ends() {
    make_app_dir "$SCEN_DIR/app"
    start_game
    start_raidkit "$SCEN_DIR/app"
    local first="$STARTED_PID"
    wait_raidkit_window visible 20000 || fail "the normal copy's window did not appear within 20 s"
    wait_started 20 || fail "the normal copy's start-up did not end within 20 s"
    start_raidkit "$SCEN_DIR/app" /Mini
    wait_exit "$STARTED_PID" 10 || fail "the /Mini copy still runs 10 s after its start"
    expect_clean_exit "the /Mini copy"
    [[ "$(raidkit_count)" == 1 ]] || fail "$(raidkit_count) copies run after the /Mini start, expected 1"
    drv_quiet close "$GAME_TITLE" || fail "could not close the game's window"
    drv_quiet wait-process-count ironveil.exe 0 10000 || fail "the stand-in game did not end"
    holds_for 3 alive "$first" || fail "the normal copy ended after the game closed"
}
