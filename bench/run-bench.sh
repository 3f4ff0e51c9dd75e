#!/usr/bin/env bash
# Idle cost of raidkit.exe in tray mode against two floors, all measured in one run under one
# Wine, plus the callgrind instruction count of one idle tick of the core. About 3 minutes.
#
#   bench/run-bench.sh              build bench_tick, raidkit.exe and the bench programs, measure
#   bench/run-bench.sh --no-build   measure what is already built
#
# Builds with the presets "native" and "windows" (build/native, build/windows) and runs under
# the Wine settings of scripts/wine-env.sh. Settings (environment):
#   RAIDKIT_EXE    the program under test            (build/windows/src/app/raidkit.exe)
#   BENCH_WINEPREFIX  the bench's own Wine prefix    (build/wineprefix-bench), made when missing;
#                  an exported WINEPREFIX is ignored, as the bench ends every process in it
#   BENCH_SETTLE_S / BENCH_MEASURE_S / BENCH_BASELINE_S   seconds (3 / 20 / 8)
#   BENCH_OTHER_WINDOWS                              other top-level windows (50)
#   BENCH_PROBES=1 also measures probe_scan.exe (the DirectInput floor plus one or two window
#                  scans per tick), to see how much of raidkit's cost the scans explain (+1 min)
#
# Each program runs alone beside the stand-in game ("Ironveil") and a helper holding the other
# windows; its CPU (utime+stime of its Wine process) and the wineserver's over the same wall
# time are turned into ms per minute. Then the floors and raidkit run once more all at the same
# time, for ratios that a busy machine disturbs less. Logs go to build/bench-run; everything
# started here is ended on exit.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=1
if [[ "${1:-}" == "--no-build" ]]; then
    build=0
elif [[ -n "${1:-}" ]]; then
    sed -n '2,24p' "${BASH_SOURCE[0]}" >&2
    exit 2
fi

native_build="$root/build/native"
win_build="$root/build/windows"
raidkit_exe="${RAIDKIT_EXE:-$win_build/src/app/raidkit.exe}"
bench_win_dir="$win_build/bench/win"
settle_s="${BENCH_SETTLE_S:-3}"
measure_s="${BENCH_MEASURE_S:-20}"
baseline_s="${BENCH_BASELINE_S:-8}"
other_windows="${BENCH_OTHER_WINDOWS:-50}"
probes="${BENCH_PROBES:-0}"

# The bench ends every process in its prefix, so it never shares the tests' one.
export WINEPREFIX="${BENCH_WINEPREFIX:-$root/build/wineprefix-bench}"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
work="$root/build/bench-run"
mkdir -p "$work"

log() { printf '[bench] %s\n' "$*" >&2; }
die() {
    log "$*"
    exit 1
}

# ---- build ----------------------------------------------------------------------------------

configure() {
    [[ -f "$root/build/$1/CMakeCache.txt" ]] || (cd "$root" && cmake --preset "$1")
}

raidkit_build_failed=0
if ((build)); then
    log "building bench_tick ($native_build)"
    configure native >"$work/configure-native.log" 2>&1 ||
        die "native configure failed, see $work/configure-native.log"
    cmake --build "$native_build" --target bench_tick >"$work/build-native.log" 2>&1 ||
        die "native build failed, see $work/build-native.log"
    log "building the Windows programs ($win_build)"
    configure windows >"$work/configure-windows.log" 2>&1 ||
        die "Windows configure failed, see $work/configure-windows.log"
    cmake --build "$win_build" --target bench_win >"$work/build-windows.log" 2>&1 ||
        die "building the bench programs failed, see $work/build-windows.log"
    # raidkit.exe may be mid-change; the floors are still worth measuring without it.
    if ! cmake --build "$win_build" --target raidkit >>"$work/build-windows.log" 2>&1; then
        raidkit_build_failed=1
        log "raidkit.exe did not build, see $work/build-windows.log"
    fi
fi

bench_tick="$native_build/bench/bench_tick"
for exe in floor_timer floor_dinput probe_scan idle_game crowd_windows list_windows; do
    [[ -f "$bench_win_dir/$exe.exe" ]] ||
        die "missing $bench_win_dir/$exe.exe (build target bench_win)"
done
[[ -x "$bench_tick" ]] || die "missing $bench_tick (build target bench_tick)"
have_raidkit=0
if [[ -f "$raidkit_exe" && "$raidkit_build_failed" == 0 ]]; then
    have_raidkit=1
else
    log "no usable raidkit.exe at $raidkit_exe: measuring the floors only"
fi

# ---- callgrind: the core's tick, native ------------------------------------------------------

log "callgrind: one idle tick of the core"
callgrind_line="$(BENCH_OTHER_WINDOWS="$other_windows" \
    "$root/bench/callgrind_tick.sh" "$bench_tick" "$work/callgrind")"

# ---- Wine session ---------------------------------------------------------------------------

started_pids=()

# shellcheck disable=SC2317  # run by the EXIT trap
# Quiet: bash would report each killed background job.
cleanup() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
    done
    if [[ -d "$WINEPREFIX" ]]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    for pid in "${started_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    xvfb_stop
} 2>/dev/null
trap cleanup EXIT
trap 'exit 130' INT TERM

# One bench per prefix at a time: a second would share its wineserver and desktop.
exec {lock_fd}>"$WINEPREFIX.bench.lock"
flock -n "$lock_fd" || die "another bench is running on $WINEPREFIX"
wine_prefix_ensure || die "prefix creation failed, see $WINEPREFIX.log"
xvfb_start || die "Xvfb did not start, see $WINEPREFIX.xvfb.log"

# One server for the whole run: a process then starts in 0.05 s, not 0.5 s.
wineserver -p >"$work/wineserver.log" 2>&1

# True when the process runs in this bench's prefix (others' Wine sessions run beside it).
in_our_prefix() {
    { tr '\0' '\n' <"/proc/$1/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"
}

# The Linux process of the wineserver serving this prefix.
server_pid() {
    local p pid comm
    for p in /proc/[0-9]*; do
        pid="${p#/proc/}"
        comm="$(cat "$p/comm" 2>/dev/null)" || continue
        [[ "$comm" == wineserver* ]] || continue
        if in_our_prefix "$pid"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# Starts a Windows program in the background; the shell's child is the program's Wine process.
start_exe() {
    local name="$1"
    shift
    wine "$@" >"$work/$name.log" 2>&1 &
    started_pids+=("$!")
    last_pid=$!
}

stop_pid() {
    local pid="$1" p
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local kept=()
    for p in "${started_pids[@]}"; do
        [[ "$p" == "$pid" ]] || kept+=("$p")
    done
    started_pids=("${kept[@]}")
}

windows_now() {
    wine "$bench_win_dir/list_windows.exe" 2>/dev/null | tr -d '\r'
}

# Waits until list_windows shows a line matching the extended regex at least min times.
wait_windows() {
    local pattern="$1" min="$2" what="$3" i
    for ((i = 0; i < 60; i++)); do
        if (($(windows_now | grep -cE "$pattern" || true) >= min)); then
            return 0
        fi
        sleep 0.5
    done
    die "timed out waiting for $what"
}

log "starting the stand-in game and $other_windows other windows"
start_exe idle_game "$bench_win_dir/idle_game.exe"
game_pid="$last_pid"
start_exe crowd_windows "$bench_win_dir/crowd_windows.exe" "$other_windows"
crowd_pid="$last_pid"
wait_windows $'^1\t[^\t]*\tIronveil$' 1 "the stand-in game's window"
wait_windows $'^1\t[^\t]*\tCrowd window ' "$other_windows" "the other windows"
wineserver_pid="$(server_pid)" || die "no wineserver found for $WINEPREFIX"
# The virtual desktop's process: it draws the taskbar, tray icons included.
explorer_pids=()
for p in /proc/[0-9]*; do
    if [[ "$(cat "$p/comm" 2>/dev/null)" == explorer.exe ]] && in_our_prefix "${p#/proc/}"; then
        explorer_pids+=("${p#/proc/}")
    fi
done

# ---- measurement ----------------------------------------------------------------------------

# utime + stime of the given processes in clock ticks. The name field of /proc/<pid>/stat may
# hold blanks, so fields are counted from its closing ')': utime and stime are then 12th, 13th.
cpu_ticks() {
    local pid stat total=0 fields
    for pid in "$@"; do
        stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
        read -r -a fields <<<"${stat##*) }"
        total=$((total + fields[11] + fields[12]))
    done
    echo "$total"
}
# Run time of all live threads in ns: finer than the 10 ms ticks, for a cross-check.
sched_ns() {
    cat "/proc/$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
}
now_s() { date +%s.%N; }
clk_tck="$(getconf CLK_TCK)"

# One row each: name, then ms per minute of the program, the wineserver, the stand-ins (whose
# windows a scan may query), explorer; the program's sched ms per minute; its RSS in MB.
results=()

measure() {
    local name="$1" pid="$2" seconds="$3"
    local t0 t1 p0=0 p1=0 q0=0 q1=0 s0 s1 d0 d1 e0 e1 rss="-"
    [[ -z "$pid" ]] || kill -0 "$pid" 2>/dev/null || die "$name ended before the measurement"
    t0="$(now_s)"
    s0="$(cpu_ticks "$wineserver_pid")" || die "the wineserver has gone"
    d0="$(cpu_ticks "$game_pid" "$crowd_pid")" || die "a stand-in has ended"
    e0="$(cpu_ticks "${explorer_pids[@]}")" || e0=0
    if [[ -n "$pid" ]]; then
        p0="$(cpu_ticks "$pid")"
        q0="$(sched_ns "$pid")"
    fi
    sleep "$seconds"
    if [[ -n "$pid" ]]; then
        p1="$(cpu_ticks "$pid")" || die "$name ended during the measurement"
        q1="$(sched_ns "$pid")"
        rss="$(awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")"
    fi
    s1="$(cpu_ticks "$wineserver_pid")" || die "the wineserver has gone"
    d1="$(cpu_ticks "$game_pid" "$crowd_pid")" || die "a stand-in has ended"
    e1="$(cpu_ticks "${explorer_pids[@]}")" || e1="$e0"
    t1="$(now_s)"
    results+=("$(awk -v n="$name" -v t0="$t0" -v t1="$t1" -v hz="$clk_tck" -v has="$pid" \
        -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v d="$((d1 - d0))" -v e="$((e1 - e0))" \
        -v q="$((q1 - q0))" -v rss="$rss" \
        'function permin(ticks) { return ticks * 1000 / hz * 60 / (t1 - t0) }
         BEGIN {
           prog = has == "" ? "-" : sprintf("%.0f", permin(p))
           sched = has == "" ? "-" : sprintf("%.0f", q / 1e6 * 60 / (t1 - t0))
           printf "%s %s %.0f %.0f %.0f %s %s\n", n, prog, permin(s), permin(d), permin(e),
                  sched, rss
         }')")
}

# raidkit.exe is up in tray mode and not held by a box: an error box at start-up would stop its
# ticks and make it look cheap.
check_raidkit_idle() {
    local listing
    listing="$(windows_now)"
    grep -qE $'\tRaidkit v2\\.2 By Velmor$' <<<"$listing" ||
        die "raidkit.exe /Mini has no main window titled \"Raidkit v2.2 By Velmor\""
    ! grep -qE $'^1\t#32770\t' <<<"$listing" ||
        die "raidkit.exe shows a dialog box: $(grep -E $'^1\t#32770\t' <<<"$listing")"
}

# Starts one program, lets it settle, measures it, ends it.
measure_program() {
    local name="$1"
    shift
    log "measuring $name (${settle_s} s settle, ${measure_s} s measured)"
    start_exe "$name" "$@"
    local pid="$last_pid"
    sleep "$settle_s"
    kill -0 "$pid" 2>/dev/null || die "$name ended during start-up, see $work/$name.log"
    [[ "$name" != raidkit* ]] || check_raidkit_idle
    measure "$name" "$pid" "$measure_s"
    stop_pid "$pid"
}

load_before="$(cut -d' ' -f1 /proc/loadavg)"
log "measuring the desktop alone (${baseline_s} s)"
sleep 1
measure desktop-only "" "$baseline_s"
measure_program floor_timer "$bench_win_dir/floor_timer.exe"
measure_program floor_dinput "$bench_win_dir/floor_dinput.exe"
if [[ "$probes" == 1 ]]; then
    measure_program probe_scan-1 "$bench_win_dir/probe_scan.exe" 1
    measure_program probe_scan-2 "$bench_win_dir/probe_scan.exe" 2
fi

# The program's settings, from a known state: the whole key gone, then MSN as asked. Settings
# are read machine-wide with a per-user copy taking precedence, so both are set.
raidkit_settings() {
    local msn="$1" root key='SOFTWARE\Kestrane\Kestrane Games\Ironveil'
    for root in HKLM HKCU; do
        wine reg delete "$root\\$key" /f >/dev/null 2>&1 || true
        wine reg add "$root\\$key" /v MSN /d "$msn" /f >/dev/null 2>&1 ||
            die "could not set $root\\$key MSN"
    done
}

if ((have_raidkit)); then
    raidkit_settings False
    measure_program raidkit "$raidkit_exe" /Mini
    # The sign-in closer ticked: each tick then scans the windows twice.
    raidkit_settings True
    measure_program raidkit-msn "$raidkit_exe" /Mini
fi

# The programs again, all at once: whatever else the machine does then weighs on each alike,
# so their ratios hold better on a busy machine than those of the runs one after another. The
# wineserver serves them all here, so only their own CPU is compared.
together=()
measure_together() {
    local names=(floor_timer floor_dinput) pids=() p0=() p1=() i t0 t1
    if ((have_raidkit)); then
        names+=(raidkit)
        raidkit_settings False
    fi
    log "measuring ${names[*]} at the same time (${settle_s} s settle, ${measure_s} s measured)"
    for i in "${!names[@]}"; do
        case "${names[$i]}" in
            raidkit) start_exe together-raidkit "$raidkit_exe" /Mini ;;
            *) start_exe "together-${names[$i]}" "$bench_win_dir/${names[$i]}.exe" ;;
        esac
        pids+=("$last_pid")
    done
    sleep "$settle_s"
    ((!have_raidkit)) || check_raidkit_idle
    t0="$(now_s)"
    for i in "${!pids[@]}"; do
        p0+=("$(cpu_ticks "${pids[$i]}")") || die "${names[$i]} ended during start-up"
    done
    sleep "$measure_s"
    for i in "${!pids[@]}"; do
        p1+=("$(cpu_ticks "${pids[$i]}")") || die "${names[$i]} ended during the measurement"
    done
    t1="$(now_s)"
    for i in "${!pids[@]}"; do
        together+=("${names[$i]} $(awk -v d="$((p1[i] - p0[i]))" -v hz="$clk_tck" \
            -v t="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" \
            'BEGIN { printf "%.0f", d * 1000 / hz * 60 / t }')")
        stop_pid "${pids[$i]}"
    done
}
measure_together

load_after="$(cut -d' ' -f1 /proc/loadavg)"

# ---- report ---------------------------------------------------------------------------------

echo
echo "Idle cost under $(wine --version 2>/dev/null), $(nproc) cores: game + $other_windows other" \
    "windows on a 1024x768 virtual desktop, ${measure_s} s measured per program."
echo "CPU in ms per minute of wall time, from utime+stime (10 ms ticks); 'sched' is the" \
    "program's run time from the ns clock of its live threads."
busy="$(awk -v a="$load_after" -v n="$(nproc)" \
    'BEGIN { if (a > n) print ": busy, figures are noisy" }')"
echo "Load average ${load_before} before, ${load_after} after, on $(nproc) cores${busy}."
fmt='%-14s %9s %9s %9s %9s %9s %7s\n'
# shellcheck disable=SC2059  # the format is the one above
printf "$fmt" program "prog" "server" "stand-ins" "explorer" "sched" "RSS MB"
for row in "${results[@]}"; do
    read -r name prog server standins explorer sched rss <<<"$row"
    # shellcheck disable=SC2059
    printf "$fmt" "$name" "$prog" "$server" "$standins" "$explorer" "$sched" "$rss"
done
echo

# Figures of one named row: program, server, stand-ins, explorer, sched, RSS.
row_of() {
    local r
    for r in "${results[@]}"; do
        [[ "$r" == "$1 "* ]] && {
            echo "${r#"$1 "}"
            return 0
        }
    done
    return 1
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

# What a program costs the whole machine: its own CPU plus what the wineserver, the stand-ins
# and explorer spend beyond their cost on the desktop without it.
read -r _ base_server base_standins base_explorer _ _ <<<"$(row_of desktop-only)"
total_of() {
    local prog server standins explorer
    read -r prog server standins explorer _ _ <<<"$(row_of "$1")"
    echo "$((prog + server + standins + explorer - base_server - base_standins - base_explorer))"
}
prog_of() { read -r prog _ <<<"$(row_of "$1")" && echo "$prog"; }
sched_of() { read -r _ _ _ _ sched _ <<<"$(row_of "$1")" && echo "$sched"; }

compare() {
    local name="$1" floor="$2" target="${3:-}"
    printf '%-12s / %-12s %5s (program)  %5s (sched)  %5s (with server, stand-ins, explorer)%s\n' \
        "$name" "$floor" "$(ratio "$(prog_of "$name")" "$(prog_of "$floor")")" \
        "$(ratio "$(sched_of "$name")" "$(sched_of "$floor")")" \
        "$(ratio "$(total_of "$name")" "$(total_of "$floor")")" "$target"
}

whole="whole-machine cost (ms/min): floor_timer $(total_of floor_timer)"
whole+=", floor_dinput $(total_of floor_dinput)"
if ((have_raidkit)); then
    whole+=", raidkit $(total_of raidkit), raidkit-msn $(total_of raidkit-msn)"
fi
echo "$whole"
compare floor_dinput floor_timer
if [[ "$probes" == 1 ]]; then
    compare probe_scan-1 floor_dinput
    compare probe_scan-2 floor_dinput
fi
status=0
if ((have_raidkit)); then
    for name in raidkit raidkit-msn; do
        compare "$name" floor_timer
        compare "$name" floor_dinput "   target: within 1.20"
        read -r _ _ _ _ _ rss <<<"$(row_of "$name")"
        printf '%-12s resident memory %s MB   target: within 30 MB\n' "$name" "$rss"
    done
else
    echo "raidkit.exe: not measured (no usable build at $raidkit_exe)"
    status=1
fi

together_of() {
    local r
    for r in "${together[@]}"; do
        [[ "$r" != "$1 "* ]] || echo "${r#"$1 "}"
    done
}
line="at the same time (ms/min, program only):"
for row in "${together[@]}"; do
    line+=" ${row% *} ${row##* },"
done
echo "${line%,}"
echo "  floor_dinput / floor_timer $(ratio "$(together_of floor_dinput)" "$(together_of floor_timer)")"
if ((have_raidkit)); then
    echo "  raidkit / floor_timer $(ratio "$(together_of raidkit)" "$(together_of floor_timer)")," \
        "raidkit / floor_dinput $(ratio "$(together_of raidkit)" "$(together_of floor_dinput)")" \
        "  target: within 1.20"
fi
echo "$callgrind_line"
exit "$status"
