#!/usr/bin/env bash
# Runs the fuzz targets (tests/fuzz) of the address-sanitizer build, one after another.
#
#   scripts/fuzz.sh [seconds] [target...]   fuzz each target for seconds (default 60)
#   scripts/fuzz.sh --replay [target...]    run each target once over its committed corpus
#   --no-build before either: take the targets as they are built
#
# Builds the `fuzz` preset first when needed. The committed corpus (tests/fuzz/corpus/<target>)
# is only read: new inputs go to build/fuzz-run/<target>/corpus, crashes and other findings to
# build/fuzz-run/<target>/. Prints per target the executions, the final coverage and any
# finding, and exits non-zero when a target found something.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

SECONDS_EACH=60
REPLAY=0
BUILD_FIRST=1
if [[ "${1:-}" == --no-build ]]; then
    BUILD_FIRST=0
    shift
fi
if [[ "${1:-}" == --replay ]]; then
    REPLAY=1
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    SECONDS_EACH="$1"
    shift
fi

BUILD="$ROOT/build/sanitize"
RUN_DIR="$ROOT/build/fuzz-run"
CORPUS="$ROOT/tests/fuzz/corpus"

mkdir -p "$RUN_DIR"
if [[ $BUILD_FIRST -eq 1 ]] &&
    ! { { [[ -f "$BUILD/build.ninja" ]] || cmake --preset sanitize; } &&
        cmake --build --preset fuzz -j 2; } >"$RUN_DIR/build.log" 2>&1; then
    cat "$RUN_DIR/build.log"
    echo "fuzz: the build failed" >&2
    exit 1
fi

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for source in tests/fuzz/*_fuzz.cpp; do
        name="$(basename "$source" _fuzz.cpp)"
        targets+=("$name")
    done
fi

# Inputs as long as the targets can use: a profile of 320 lines takes more than the default 4 KB.
max_len() {
    case "$1" in
        profile_file) echo 65536 ;;
        picture_files) echo 1024 ;;
        *) echo 8192 ;;
    esac
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
printf '%-20s %12s %8s %8s %8s  %s\n' target executions cov ft corpus finding
for target in "${targets[@]}"; do
    binary="$BUILD/tests/fuzz/fuzz_$target"
    seeds="$CORPUS/$target"
    if [[ ! -x "$binary" || ! -d "$seeds" ]]; then
        echo "fuzz: no target $target (or no corpus $seeds)" >&2
        failed=1
        continue
    fi
    work="$RUN_DIR/$target"
    mkdir -p "$work/corpus"
    log="$work/last.log"
    status=0
    if [[ $REPLAY -eq 1 ]]; then
        "$binary" -runs=0 "$seeds" >"$log" 2>&1 || status=$?
    else
        # The scratch corpus first: libFuzzer adds what it finds to the first folder only.
        "$binary" -max_total_time="$SECONDS_EACH" -max_len="$(max_len "$target")" -timeout=20 \
            -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$seeds" \
            >"$log" 2>&1 || status=$?
    fi
    runs="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)"
    [[ -n "$runs" ]] || runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    stats="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)"
    cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")"
    ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")"
    corp="$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$stats")"
    finding="$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | head -n 1)"
    if [[ $status -ne 0 && -z "$finding" ]]; then
        finding="exit status $status, see $log"
    fi
    printf '%-20s %12s %8s %8s %8s  %s\n' "$target" "${runs:-?}" "${cov:-?}" "${ft:-?}" \
        "${corp:-?}" "${finding:--}"
    if [[ $status -ne 0 ]]; then
        failed=1
        grep -E 'property violated|\*\*\* |ERROR: |SUMMARY: |runtime error' "$log" | head -n 8 |
            sed 's/^/    /'
    fi
done
exit "$failed"
