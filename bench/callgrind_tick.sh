#!/usr/bin/env bash
# Instructions of one idle tick of the core, measured with callgrind:
#   bench/callgrind_tick.sh <path to bench_tick> [work folder]
# Runs bench_tick with N and N+K ticks; the difference divided by K leaves out start-up and
# exit, which both runs share. Callgrind counts instructions exactly, so one run each is enough.
set -euo pipefail

bench_tick="${1:?usage: callgrind_tick.sh <bench_tick> [work folder]}"
work="${2:-$(dirname "$bench_tick")/callgrind}"
base_ticks="${BENCH_BASE_TICKS:-1000}"
extra_ticks="${BENCH_EXTRA_TICKS:-10000}"
others="${BENCH_OTHER_WINDOWS:-50}"

command -v valgrind >/dev/null || {
    echo "callgrind_tick: valgrind is not installed (apt-get install valgrind)" >&2
    exit 1
}
mkdir -p "$work"

# Total instructions (Ir) of one callgrind run of bench_tick: tick count, then its options.
instructions() {
    local ticks="$1" tag="$1${2:-}"
    local out="$work/callgrind.$tag.out" log="$work/valgrind.$tag.log"
    rm -f "$out"
    valgrind --tool=callgrind --callgrind-out-file="$out" \
        "$bench_tick" "$ticks" "$others" "${@:2}" >"$log" 2>&1 || {
        echo "callgrind_tick: bench_tick $* failed, see $log" >&2
        cat "$log" >&2
        return 1
    }
    # "summary:" (or "totals:" in some versions) carries the event totals, Ir first.
    awk '/^(summary|totals):/ { print $2; exit }' "$out"
}

# Prints the per-tick figure for one setting; $1 is the label, the rest bench_tick's options.
per_tick() {
    local label="$1" short long
    shift
    short="$(instructions "$base_ticks" "$@")"
    long="$(instructions "$((base_ticks + extra_ticks))" "$@")"
    if [[ -z "$short" || -z "$long" ]]; then
        echo "callgrind_tick: no instruction totals in the callgrind output under $work" >&2
        return 1
    fi
    awk -v a="$short" -v b="$long" -v k="$extra_ticks" -v label="$label" -v n="$others" \
        'BEGIN { printf "%s: %.0f instructions (game + %d other windows, no key down; " \
                        "(%.0f - %.0f) / %d)\n", label, (b - a) / k, n, b, a, k }'
}

per_tick "idle tick (core, native)"
per_tick "idle tick (core, native), sign-in closer on" --msn
