#!/usr/bin/env bash
# Runs one end-to-end suite on one thread and on N threads at once and checks that both print the same
# results, line for line, and end with the same exit code:
#   run_threads.sh --xlhost PROGRAM --version V --formulas FILE.xlf --threads N [--addin FILE]
#                  [--host-arg ARG ...] [--repeat K]
# The one-thread run is xlhost as the expected files were made; the N-thread run also has the stand-in host
# answer 128 to any callback a thread-safe function may not make, so such a call changes a result here.
# Any exit code above 1 (bad usage, the add-in failed to load, a leak or double free of host memory, a
# sanitizer report) fails the suite. --repeat K runs the suite's lines K times over as one sheet, long enough
# that the threads take many runs of lines and the reading thread has to help.
set -uo pipefail

usage() {
    sed -n '2,10p' "$0" >&2
    exit 2
}

xlhost="" version="" formulas="" threads="" addin="" repeat=1
hostArgs=()
while (($#)); do
    case $1 in
    --xlhost) xlhost=$2 ;;
    --version) version=$2 ;;
    --formulas) formulas=$2 ;;
    --threads) threads=$2 ;;
    --addin) addin=$2 ;;
    --host-arg) hostArgs+=("$2") ;;
    --repeat) repeat=$2 ;;
    *) usage ;;
    esac
    shift 2 || usage
done
[[ -n $xlhost && -n $version && -n $formulas && -n $threads ]] || usage
[[ -e $formulas ]] || { echo "run_threads.sh: no such file: $formulas" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A suite holds its expected results beside the formulas: xlhost is given the formulas alone, on the same
# line numbers.
bash "$(dirname "$0")/run_e2e.sh" --formulas --suite "$formulas" >"$work/suite" || exit 1
for ((k = 0; k < repeat; k++)); do
    cat "$work/suite"
done >"$work/formulas"
args=(--json --version "$version" -f "$work/formulas")
[[ -n $addin ]] && args+=(--addin "$addin")
args+=("${hostArgs[@]}")
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
export TSAN_OPTIONS="${TSAN_OPTIONS:+$TSAN_OPTIONS:}exitcode=86"

"$xlhost" "${args[@]}" >"$work/one" 2>"$work/one.err"
one=$?
"$xlhost" "${args[@]}" --threads "$threads" >"$work/many" 2>"$work/many.err"
many=$?
for run in one many; do
    status=$([[ $run == one ]] && echo $one || echo $many)
    if ((status > 1)); then
        echo "run_threads.sh: xlhost ${args[*]}$([[ $run == many ]] && echo " --threads $threads")" \
            "ended with exit code $status" >&2
        cat "$work/$run.err" >&2
        exit 1
    fi
done
if ((one != many)); then
    echo "run_threads.sh: exit code $one on one thread, $many on $threads threads" >&2
    exit 1
fi
if ! diff -u --label "one thread" --label "$threads threads" "$work/one" "$work/many"; then
    echo "run_threads.sh: the results on $threads threads differ from one thread's" >&2
    exit 1
fi
if [[ ! -s $work/one ]]; then
    echo "run_threads.sh: no results at all" >&2
    exit 1
fi
echo "all $(wc -l <"$work/one") results identical on 1 and $threads threads"
