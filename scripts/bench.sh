#!/usr/bin/env bash
# The benchmark command: builds the release preset's benchmark programs (RelWithDebInfo) and runs them all,
# one after the other, writing for each program its console table (<name>.txt) and Google Benchmark's JSON
# (<name>.json) into the results folder; last the sheet of bench/parallel_sheet.sh through xlhost on 1 and 2
# threads (parallel_sheet.txt).
#
#   bash scripts/bench.sh [benchmark flags ...]
#
# Flags are passed to every program, e.g. --benchmark_repetitions=5 or --benchmark_filter=Schedule.
# Environment: BUILD_DIR (default build/release) builds elsewhere with the same preset; RESULTS (default
# $BUILD_DIR/bench-results) is the results folder; JOBS (default 2) the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build/release}
RESULTS=${RESULTS:-$BUILD_DIR/bench-results}
JOBS=${JOBS:-2}
PROGRAMS=(dates_bench business_days_bench market_calendars_bench daycount_bench curve_bench bridge_bench reference_bench addin_bench)

cmake --preset release -B "$BUILD_DIR" -DTAVRIN_BUILD_BENCHMARKS=ON
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${PROGRAMS[@]}" xlhost tavrin_schedules

mkdir -p "$RESULTS"
{
    echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "commit: $(git rev-parse --short HEAD 2>/dev/null || echo unknown)$(git diff --quiet 2>/dev/null || echo ' (with local changes)')"
    echo "cpus: $(nproc)"
    echo "load: $(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)"
    grep -m1 'model name' /proc/cpuinfo 2>/dev/null || true
} | tee "$RESULTS/machine.txt"

for program in "${PROGRAMS[@]}"; do
    printf '\n==== %s ====\n' "$program"
    # The machine's context and warnings come on the standard error stream (with the add-in's few
    # diagnostic lines); the table keeps them.
    "$BUILD_DIR/bin/$program" --benchmark_out="$RESULTS/$program.json" --benchmark_out_format=json "$@" 2>&1 |
        tee "$RESULTS/$program.txt"
done
printf '\n==== parallel_sheet (xlhost on 1 and 2 threads) ====\n'
bash bench/parallel_sheet.sh --xlhost "$BUILD_DIR/bin/xlhost" | tee "$RESULTS/parallel_sheet.txt"
printf '\nResults in %s\n' "$RESULTS"
