#!/usr/bin/env bash
# Runs the end-to-end suites' formula files through xlhost under valgrind, in both host generations (16 and
# 12), and fails unless every run ends with zero leaks (definite or indirect), zero memory errors and a clean
# host-memory ledger (every value the host handed to the add-in given back with xlFree exactly once):
#
#   bash scripts/leakcheck.sh [BIN_DIR]      (default build/release/bin: xlhost and tavrin_schedules.xll)
#
# The files: the formulas of tests/e2e/suites/*.xlf (wizard.xlf with the wizard open, host_refusal.xlf under
# refused coercions; host_refusal_failed.xlf holds the same formulas), examples/demo.xlf, the hostile inputs of
# tests/e2e/hostile/hostile.xlf (the long sweeps of sweeps.xlf are left out: they take minutes under
# valgrind), and tests/e2e/fake.xlf against the fake add-in when the build has it. Two runs at a time; a failing run's valgrind log is printed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=${1:-$root/build/release/bin}
[[ -x $bin/xlhost ]] || {
    echo "leakcheck.sh: no xlhost in $bin (build the xlhost and tavrin_schedules targets first)" >&2
    exit 2
}
command -v valgrind >/dev/null || {
    echo "leakcheck.sh: valgrind is needed" >&2
    exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# glibc's vectorised wide-string functions read whole aligned words past a text's end (never past its page);
# valgrind reports those reads, which are no fault of the add-in.
for size in 8 16 32; do
    for fn in '__wmemcmp_*' '__wmemchr_*' '__wcslen_*' '__wcsnlen_*' '__wcscmp_*'; do
        printf '{\n   vectorised-%s-%s\n   Memcheck:Addr%s\n   fun:%s\n}\n' "${fn//[_*]/}" "$size" "$size" "$fn"
    done
done >"$work/vectorised.supp"
# The suites' formulas as xlhost reads them (expected results taken off, templates expanded).
mkdir -p "$work/suites"
formulasOf() { bash "$root/tests/e2e/run_e2e.sh" --formulas --suite "$1" >"$2"; }
for suite in "$root"/tests/e2e/suites/*.xlf; do
    [[ $(basename "$suite") == host_refusal_failed.xlf ]] || formulasOf "$suite" "$work/suites/$(basename "$suite")"
done
formulasOf "$root/tests/e2e/hostile/hostile.xlf" "$work/hostile.xlf"
formulasOf "$root/tests/e2e/fake.xlf" "$work/fake.xlf"

# One run per line: a name, then xlhost's arguments.
runs="$work/runs"
: >"$runs"
add() { printf '%s\n' "$*" >>"$runs"; }
refusal=0
"$bin/xlhost" --help 2>&1 | grep -q -- '--coerce-code' && refusal=1
for version in 16 12; do
    for file in "$work"/suites/*.xlf "$root/examples/demo.xlf" "$work/hostile.xlf"; do
        [[ -f $file ]] || continue
        name=$(basename "$file" .xlf)
        case $name in
        wizard) add "$name-v$version" --version "$version" --wizard -f "$file" ;;
        host_refusal)
            ((refusal)) || continue
            for code in 32 64; do
                add "$name-$code-v$version" --version "$version" --coerce-code "$code" -f "$file"
            done
            ;;
        *) add "$name-v$version" --version "$version" -f "$file" ;;
        esac
    done
    fake="$bin/xlhost_fake_addin.xll"
    [[ -f $fake ]] && add "fake-v$version" --version "$version" --addin "$fake" -f "$work/fake.xlf"
done

# Runs one line of the run list; prints "ok NAME" or "FAILED NAME: why".
check() {
    local name=$1
    shift
    local log="$work/$name.valgrind" out="$work/$name.stderr"
    valgrind --quiet --suppressions="$work/vectorised.supp" --leak-check=full \
        --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --log-file="$log" \
        "$bin/xlhost" --json "$@" >/dev/null 2>"$out"
    local status=$?
    local why=""
    if ((status == 99)); then
        why="valgrind reported errors or leaks"
    elif ((status == 4)); then
        why="the host-memory ledger reports a leak or double free"
    elif ((status > 1)); then
        why="xlhost ended with exit code $status"
    elif grep -q '^xlhost: ' "$out"; then
        why="the host-memory ledger reports a problem"
    fi
    if [[ -n $why ]]; then
        echo "FAILED $name: $why"
        sed 's/^/    /' "$log" | head -60
        grep '^xlhost: ' "$out" | head -10 | sed 's/^/    /'
    else
        echo "ok $name"
    fi
}
export -f check
export work bin

results=$(xargs -P 2 -L 1 bash -c 'check "$@"' _ <"$runs")
echo "$results"
total=$(grep -c '' "$runs")
failed=$(grep -c '^FAILED' <<<"$results")
if ((failed)); then
    echo "leakcheck.sh: $failed of $total runs failed"
    exit 1
fi
echo "leakcheck.sh: all $total runs clean: no leaks, no memory errors, no host-memory problems"
