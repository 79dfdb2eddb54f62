#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz, and runs each for a bounded time, starting from its checked-in corpus (fuzz/corpus/<target>/).
#
#   bash scripts/fuzz.sh [--seconds N] [--build-dir DIR] [TARGET ...]
#
#   --seconds N    run time per target (default 45: the four targets take about three minutes)
#   --build-dir    where to build (default build/fuzz)
#   TARGET         formula_parser, entry_points, library_texts, curve (default: all four)
#
# Fails (exit 1) on any crash, sanitizer report, leak, timeout (an input running over 10 s) or running out
# of memory (over 2048 MB), printing the reproducer's path; rerun one with
#   build/fuzz/bin/<target>_fuzzer <reproducer>
# New inputs the fuzzer finds go to <build dir>/corpus/<target>/, never into the repository.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=45
build="$root/build/fuzz"
targets=()
while (($#)); do
    case $1 in
    --seconds)
        seconds=${2:?--seconds needs a number}
        shift 2
        ;;
    --build-dir)
        build=${2:?--build-dir needs a folder}
        shift 2
        ;;
    -h | --help)
        sed -n '2,15p' "$0"
        exit 0
        ;;
    -*)
        echo "fuzz.sh: unknown option $1" >&2
        exit 2
        ;;
    *)
        targets+=("$1")
        shift
        ;;
    esac
done
((${#targets[@]})) || targets=(formula_parser entry_points library_texts curve)
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
    echo "fuzz.sh: --seconds wants a positive whole number" >&2
    exit 2
fi
for t in "${targets[@]}"; do
    [[ -d $root/fuzz/corpus/$t ]] || {
        echo "fuzz.sh: unknown target $t" >&2
        exit 2
    }
done

command -v clang++ >/dev/null || {
    echo "fuzz.sh: clang++ is needed (with its libFuzzer and sanitizer runtimes)" >&2
    exit 2
}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVRIN_SANITIZE=ON -DTAVRIN_BUILD_FUZZERS=ON -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCHMARKS=OFF \
    >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log" >&2
    exit 2
}
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzzer}" || exit 2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    artifacts="$build/artifacts/$t"
    mkdir -p "$corpus" "$artifacts"
    log="$build/$t.log"
    dict=()
    [[ -f $root/fuzz/$t.dict ]] && dict=(-dict="$root/fuzz/$t.dict")
    echo "== $t: ${seconds} s"
    "$build/bin/${t}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" "$root/fuzz/corpus/$t" \
        >"$log" 2>&1
    status=$?
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" | sed 's/^/   /'
    reproducer=$(grep -oE 'Test unit written to [^ ]+' "$log" | tail -1 | sed 's/Test unit written to //')
    if ((status != 0)) || [[ -n $reproducer ]]; then
        failed=1
        echo "FAILED: $t (exit code $status)"
        grep -E 'ERROR:|SUMMARY:|runtime error|fault:' "$log" | head -5 | sed 's/^/   /'
        echo "   log: $log"
        [[ -n $reproducer ]] && echo "   reproducer: $reproducer"
    fi
done
((failed)) && exit 1
echo "fuzz.sh: no crash, leak, timeout or sanitizer report"
