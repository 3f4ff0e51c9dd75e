#!/usr/bin/env bash
# Long-run bench: raidkit.exe in tray mode for a while beside the stand-in game and 300 other
# windows under Wine, while soak_driver.exe presses Print Screen every 2 s and F9 every second
# and opens a "Messenger Service" pop-up every 500 ms. Every 10 s it prints the program's
# resident memory, threads and open descriptors (/proc of its Wine process) and the GDI and
# USER objects its handle owners hold (asked of its main window); at the end a table per minute
# and the verdicts, and exits non-zero when any fails:
#   - every Print Screen stored one file, every F9 typed one line, numbered 1, 2, 3, ...;
#   - every pop-up was asked to close within 1 s;
#   - nothing grows after the warm-up: resident memory at most LONGRUN_RSS_MARGIN_MB (2) above
#     its warm-up peak in the last minute, threads, descriptors and object counts not at all.
#
#   bench/longrun/run_longrun.sh [seconds] [--check-after S] [--build-dir DIR] [--keep-shots]
#
# seconds: 600 unless given (at least 30); --check-after: the warm-up, 60 s unless given.
# DIR: the Windows build holding raidkit.exe and the tools (build/windows). Run from a Wine
# session of the caller's (the test command's: RAIDKIT_SESSION_LOCKED, DISPLAY and a wineserver
# for WINEPREFIX) it uses that one, else its own on a private Xvfb in the bench's prefix. Logs
# go to DIR/longrun-run; the screenshots are deleted once counted unless --keep-shots. Every
# process it started is ended on exit.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# The bench's own prefix, when there is no session of the caller's to use.
bench_prefix="${BENCH_WINEPREFIX:-$root/build/wineprefix-bench}"

usage() {
    sed -n '2,20p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

seconds=600
check_after=60
build_dir="$root/build/windows"
keep_shots=0
while [[ $# -gt 0 ]]; do
    case "$1" in
        --check-after) [[ $# -ge 2 ]] || usage; check_after="$2"; shift 2 ;;
        --build-dir) [[ $# -ge 2 ]] || usage; build_dir="$(realpath -m "$2")"; shift 2 ;;
        --keep-shots) keep_shots=1; shift ;;
        -h | --help) usage ;;
        [0-9]*) seconds="$1"; shift ;;
        *) usage ;;
    esac
done
[[ "$seconds" =~ ^[0-9]+$ && "$check_after" =~ ^[0-9]+$ ]] || usage
# Samples come every 10 s: the warm-up and what follows it need at least one each.
((seconds >= 30 && check_after >= 10 && check_after + 10 <= seconds)) || {
    echo "run_longrun: needs seconds >= 30 and 10 <= check-after <= seconds - 10" >&2
    exit 2
}
readonly crowd=300
readonly popup_limit_ms=1000
# Ten minutes of this load moved the resident memory by 0.0 to 0.4 MB, in one step if at all.
rss_margin_mb="${LONGRUN_RSS_MARGIN_MB:-2}"

raidkit_exe="$build_dir/src/app/raidkit.exe"
game_exe="$build_dir/tests/e2e/ironveil.exe"
crowd_exe="$build_dir/bench/win/crowd_windows.exe"
driver_exe="$build_dir/bench/longrun/soak_driver.exe"
for exe in "$raidkit_exe" "$game_exe" "$crowd_exe" "$driver_exe"; do
    [[ -f "$exe" ]] || {
        echo "run_longrun: $exe is missing: build raidkit, ironveil, crowd_windows and" \
            "soak_driver of the windows preset first" >&2
        exit 2
    }
done

log() { printf '[longrun] %s\n' "$*" >&2; }
die() {
    log "$*"
    exit 1
}

# True when a wineserver serves the prefix (others' Wine sessions run beside this one).
server_running() {
    local p comm
    for p in /proc/[0-9]*; do
        comm="$(cat "$p/comm" 2>/dev/null)" || continue
        [[ "$comm" == wineserver* ]] || continue
        if { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$1"; then
            return 0
        fi
    done
    return 1
}

caller_prefix="${WINEPREFIX:-$root/build/wineprefix}"
if [[ "${RAIDKIT_SESSION_LOCKED:-}" == 1 && -n "${DISPLAY:-}" ]] &&
    server_running "$caller_prefix"; then
    own_session=0
    export WINEPREFIX="$caller_prefix"
else
    own_session=1
    export WINEPREFIX="$bench_prefix"
fi
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

work="$build_dir/longrun-run"
shots="$work/shots"
record="$work/chat.txt"
driver_log="$work/actions.log"
ack="$work/ack.txt"

started_pids=()  # still to be ended
all_pids=()      # every one ever started, for the check at the end
lock_fd=""

# Ends what this run started; a session of its own goes with everything in it.
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${started_pids[@]}"; do
        local i
        for ((i = 0; i < 50; i++)); do
            pid_running "$pid" || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    started_pids=()
    if ((own_session)); then
        wine_session_stop
    fi
} 2>/dev/null
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# start_win <name> <exe> [args...]: the shell's child is the program's Wine process.
start_win() {
    local name="$1"
    shift
    wine "$@" >"$work/$name.log" 2>&1 &
    started_pids+=("$!")
    all_pids+=("$!")
    last_pid=$!
}

forget_pid() {
    local kept=() p
    for p in "${started_pids[@]}"; do
        [[ "$p" == "$1" ]] || kept+=("$p")
    done
    started_pids=("${kept[@]}")
}

if ((own_session)); then
    # run-bench.sh ends every process of this prefix: never at the same time as it.
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {lock_fd}>"$WINEPREFIX.bench.lock"
    flock -n "$lock_fd" || die "another bench is running on $WINEPREFIX"
    log "starting a Wine session in $WINEPREFIX"
    wine_session_start 1 >"$WINEPREFIX.longrun-session.log" 2>&1 ||
        die "the Wine session did not start, see $WINEPREFIX.longrun-session.log"
else
    log "using the caller's Wine session ($WINEPREFIX on $DISPLAY)"
fi

rm -rf "$work"
mkdir -p "$shots"

# ---- settings: from a known state ----------------------------------------------------------

settings_key='SOFTWARE\Kestrane\Kestrane Games\Ironveil'
# Every place a setting may be read from: both machine-wide views, the per-user copy and the
# VirtualStore copy.
clear_settings() {
    local entry
    for entry in "HKLM\\$settings_key /reg:32" "HKLM\\$settings_key /reg:64" \
        "HKCU\\$settings_key /reg:64" \
        "HKCU\\Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Kestrane\\Kestrane Games\\Ironveil /reg:64"; do
        wine reg delete "${entry% *}" /f "${entry##* }" >/dev/null 2>&1 || true
    done
}
set_setting() {
    wine reg add "HKLM\\$settings_key" /v "$1" /t REG_SZ /d "$2" /f /reg:32 >/dev/null 2>&1 ||
        die "could not store the setting $1"
}
clear_settings
set_setting ScreenFolder "$(to_win_path "$shots")\\ScreenShot"
set_setting ScreenyFormat Jpg
# shellcheck disable=SC2016  # "$a" is the program's counter, not the shell's
set_setting KeyBind1 'soak $a'
set_setting MSN False

# ---- the programs ------------------------------------------------------------------------------

log "starting $crowd other windows, the stand-in game and raidkit.exe /Mini"
start_win crowd "$crowd_exe" "$crowd"
start_win game "$game_exe" --record "$(to_win_path "$record")" \
    --pid-file "$(to_win_path "$work/game.pid")"
game_pid=$last_pid
# The tray-mode copy ends at its first game watch when there is no game: the game goes first.
for ((i = 0; i < 400; i++)); do
    [[ -s "$work/game.pid" ]] && break
    pid_running "$game_pid" || die "the stand-in game ended, see $work/game.log"
    sleep 0.05
done
[[ -s "$work/game.pid" ]] || die "the stand-in game's window did not appear within 20 s"
start_win raidkit "$raidkit_exe" /Mini
raidkit_pid=$last_pid
sleep 0.5
[[ "$(cat "/proc/$raidkit_pid/comm" 2>/dev/null)" == raidkit.exe ]] ||
    die "raidkit.exe is not process $raidkit_pid (comm $(cat "/proc/$raidkit_pid/comm" 2>/dev/null))"

: >"$ack"
start_win driver "$driver_exe" run --seconds "$seconds" --crowd "$crowd" \
    --log "$(to_win_path "$driver_log")" --record "$(to_win_path "$record")" \
    --shots "$(to_win_path "$shots")" --ack "$(to_win_path "$ack")"
driver_pid=$last_pid

# ---- samples: taken when the driver says it is quiet ---------------------------------------

# One row per sample: number, seconds, RSS kB, threads, fds, GDI, USER, shots, lines,
# pop-ups closed, worst close ms so far.
samples=()

popup_figures() {
    awk '$1 == "popup" && $5 == "closed" && $6 ~ /^[0-9]+$/ { n++; if ($6 > w) w = $6 }
         END { printf "%d %d\n", n, w }' "$driver_log"
}

take_sample() {
    local number="$1" gdi="$2" user="$3" rss threads fds shot_count lines closed worst
    rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$raidkit_pid/status" 2>/dev/null)" ||
        die "raidkit.exe has ended (sample $number)"
    threads="$(awk '/^Threads:/ { print $2 }' "/proc/$raidkit_pid/status")"
    local fd_list=("/proc/$raidkit_pid/fd/"*)
    fds=${#fd_list[@]}
    shot_count="$(find "$shots" -maxdepth 1 -type f | wc -l)"
    lines="$(wc -l <"$record" 2>/dev/null || echo 0)"
    read -r closed worst < <(popup_figures)
    echo "$number" >"$ack"
    samples+=("$number $((number * 10)) $rss $threads $fds $gdi $user $shot_count $lines $closed $worst")
    printf '[%4d s] RSS %6.1f MB  threads %3d  fds %3d  GDI %3s  USER %3s  shots %4d  lines %4d  pop-ups closed %4d (worst %d ms)\n' \
        $((number * 10)) "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$threads" "$fds" \
        "$gdi" "$user" "$shot_count" "$lines" "$closed" "$worst"
}

log "running for $seconds s (warm-up $check_after s)"
run_start=$SECONDS
next=0
while pid_running "$driver_pid"; do
    line="$(grep -m1 "^sample $next at " "$driver_log" 2>/dev/null || true)"
    if [[ -n "$line" ]]; then
        read -r _ _ _ _ _ gdi _ user <<<"$line"
        take_sample "$next" "$gdi" "$user"
        next=$((next + 1))
        continue
    fi
    ((SECONDS - run_start < seconds + 180)) || die "the driver has not ended $((seconds + 180)) s after its start"
    sleep 0.05
done
driver_status=0
wait "$driver_pid" || driver_status=$?
forget_pid "$driver_pid"
[[ "$driver_status" == 0 ]] ||
    die "soak_driver.exe failed ($driver_status): $(tr -d '\r' <"$work/driver.log" | tail -n 3)"
tr -d '\r' <"$work/driver.log"

# The game goes: the tray-mode copy must end by itself, as with the real game.
kill -TERM "$game_pid" 2>/dev/null || true
raidkit_status=""
for ((i = 0; i < 100; i++)); do
    if ! pid_running "$raidkit_pid"; then
        raidkit_status=0
        wait "$raidkit_pid" || raidkit_status=$?
        forget_pid "$raidkit_pid"
        break
    fi
    sleep 0.1
done
clear_settings

# ---- verdicts ----------------------------------------------------------------------------------

failed=0
# verdict <1|0> <text>...: one line, the texts joined by blanks (empty ones left out).
verdict() {
    local ok="$1" text="" part
    shift
    for part in "$@"; do
        [[ -z "$part" ]] || text+="${text:+ }$part"
    done
    if [[ "$ok" == 1 ]]; then
        printf 'PASS  %s\n' "$text"
    else
        printf 'FAIL  %s\n' "$text"
        failed=1
    fi
}

presses_shot="$(grep -c '^shot ' "$driver_log" || true)"
presses_f9="$(grep -c '^f9 ' "$driver_log" || true)"
popups="$(grep -c '^popup ' "$driver_log" || true)"
files="$(find "$shots" -maxdepth 1 -type f | wc -l)"
expected_names="$(seq 1 "$presses_shot" | sed 's/.*/ScreenShot&.jpg/' | sort)"
names="$(find "$shots" -maxdepth 1 -type f -printf '%f\n' | sort)"

echo
echo "Per minute (RSS, threads, fds: /proc of raidkit.exe's Wine process; GDI, USER: held by its"
echo "handle owners; worst close: the slowest pop-up of that minute, from opening to WM_CLOSE):"
fmt='%6s %8s %8s %5s %5s %5s %7s %7s %15s %12s\n'
# shellcheck disable=SC2059  # the format is the one above
printf "$fmt" "time s" "RSS MB" threads fds GDI USER shots lines "pop-ups closed" "worst close"
last=$((${#samples[@]} - 1))
prev_ms=-1
for row in "${samples[@]}"; do
    read -r number at rss threads fds gdi user shot_count lines closed _ <<<"$row"
    ((at % 60 == 0 || number == last)) || continue
    # The pop-ups opened since the row before; the last row takes those after its sample too.
    to_ms=$((number == last ? 1 << 40 : at * 1000))
    worst_here="$(awk -v from="$prev_ms" -v to="$to_ms" \
        '$1 == "popup" && $4 > from && $4 <= to { if ($6 ~ /^[0-9]+$/) { if ($6 > w) w = $6 } else o = 1 }
         END { if (o) print "not closed"; else printf "%d ms\n", w }' "$driver_log")"
    ((number > 0)) || worst_here="-"
    # shellcheck disable=SC2059
    printf "$fmt" "$at" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$threads" "$fds" \
        "$gdi" "$user" "$shot_count" "$lines" "$closed/$popups" "$worst_here"
    prev_ms=$to_ms
done
echo

echo "Verdicts ($seconds s, warm-up $check_after s):"
[[ -n "$raidkit_status" ]] || { raidkit_status="still running"; }
verdict "$([[ "$raidkit_status" == 0 ]] && echo 1 || echo 0)" \
    "raidkit.exe ended by itself with the game (status $raidkit_status)"
verdict "$([[ "$next" -ge $((seconds / 10 + 1)) ]] && ! grep -q 'not acknowledged' "$driver_log" && echo 1 || echo 0)" \
    "$next samples taken of $((seconds / 10 + 1))"
verdict "$([[ "$files" == "$presses_shot" && "$names" == "$expected_names" ]] && echo 1 || echo 0)" \
    "every Print Screen stored one file: $presses_shot presses, $files files" \
    "($(grep -c '^shot .* missing$' "$driver_log" || true) not seen within 10 s)"

chat_ok=1
lines="$(wc -l <"$record" 2>/dev/null || echo 0)"
if [[ "$lines" != "$presses_f9" ]] || ! diff -q <(seq 1 "$presses_f9" | sed 's/^/soak /') \
    <(tr -d '\r' <"$record") >/dev/null 2>&1; then
    chat_ok=0
fi
first_wrong="$(diff <(seq 1 "$presses_f9" | sed 's/^/soak /') <(tr -d '\r' <"$record" 2>/dev/null) |
    grep -m1 '^[<>]' || true)"
verdict "$chat_ok" "every F9 typed one line, numbered 1 to $presses_f9: $lines lines" \
    "${first_wrong:+(first difference: $first_wrong)}"

read -r closed worst < <(popup_figures)
late="$(awk -v limit="$popup_limit_ms" \
    '$1 == "popup" && !($6 ~ /^[0-9]+$/ && $6 <= limit) { n++ } END { print n + 0 }' "$driver_log")"
verdict "$([[ "$late" == 0 && "$closed" == "$popups" && "$popups" -gt 0 ]] && echo 1 || echo 0)" \
    "every pop-up closed within $popup_limit_ms ms: $closed of $popups closed, worst $worst ms," \
    "$late late or not closed"

# Growth: the warm-up's peak against the peak of the last minute (of what follows the warm-up,
# when the run is shorter). Memory may wobble by the margin; the counts may not move at all.
final_from=$((seconds - 60 > check_after ? seconds - 60 : check_after))
growth() {
    local column="$1" name="$2" margin="$3" unit="$4" scale="$5"
    local figures
    figures="$(printf '%s\n' "${samples[@]}" | awk -v c="$column" -v warm="$check_after" \
        -v from="$final_from" -v margin="$margin" -v scale="$scale" '
        $(c) !~ /^-?[0-9]+$/ { bad = 1; next }
        $2 <= warm { if (!hb || $(c) > b) b = $(c); hb = 1 }
        $2 > from { if (!hf || $(c) > f) f = $(c); hf = 1 }
        END {
          if (bad || !hb || !hf) { print "0 missing figures"; exit }
          ok = (f - b) / scale <= margin
          fmt = scale == 1 ? "%d baseline %d, final %d, %+d" : "%d baseline %.2f, final %.2f, %+.2f"
          fmt = fmt "\n"
          printf fmt, ok, b / scale, f / scale, (f - b) / scale
        }')"
    local allowed=""
    [[ "$margin" == 0 ]] || allowed="(allowed: +$margin$unit)"
    verdict "${figures%% *}" "$name: no growth after $check_after s:" "${figures#* }$unit" \
        "$allowed"
}
growth 3 "resident memory" "$rss_margin_mb" " MB" 1024
growth 4 "threads" 0 "" 1
growth 5 "open descriptors" 0 "" 1
growth 6 "GDI objects" 0 "" 1
growth 7 "USER objects" 0 "" 1

cleanup
left=0
for pid in "${all_pids[@]}"; do
    if pid_running "$pid"; then
        left=$((left + 1))
    fi
done
verdict "$([[ "$left" == 0 ]] && echo 1 || echo 0)" \
    "every process it started has ended: ${#all_pids[@]} started, $left left"

if ((keep_shots)); then
    echo "screenshots kept in $shots"
else
    rm -rf "$shots"
fi
echo "logs: $work"
if ((failed)); then
    echo "long run: FAILED"
    exit 1
fi
echo "long run: all checks passed"
