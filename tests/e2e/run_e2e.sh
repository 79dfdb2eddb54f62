#!/usr/bin/env bash
# Runs one end-to-end suite through the stand-in host and compares its output with the expected file:
#   run_e2e.sh --xlhost PROGRAM --version V --formulas FILE.xlf --expected FILE.json [--addin FILE]
#              [--tolerance REL] [--host-arg ARG ...]
# xlhost prints one JSON line per formula line; each is compared with the same line of the expected file:
# exactly by default, or with --tolerance numbers may differ by that much relative to the larger of the two
# (texts, kinds and everything else still exactly). Each --host-arg is passed on to xlhost (e.g. --wizard).
# A mismatch prints the formula, the expected and the actual line. xlhost exit codes 0 and 1 (a line that
# is reported rather than evaluated) are normal; any other (bad usage, the add-in failed to load, a leak or
# double free in host memory) fails the suite.
set -uo pipefail

usage() {
    sed -n '2,10p' "$0" >&2
    exit 2
}

xlhost="" version="" formulas="" expected="" addin="" tolerance=""
hostArgs=()
while (($#)); do
    case $1 in
    --xlhost) xlhost=$2 ;;
    --version) version=$2 ;;
    --formulas) formulas=$2 ;;
    --expected) expected=$2 ;;
    --addin) addin=$2 ;;
    --tolerance) tolerance=$2 ;;
    --host-arg) hostArgs+=("$2") ;;
    *) usage ;;
    esac
    shift 2 || usage
done
[[ -n $xlhost && -n $version && -n $formulas && -n $expected ]] || usage
for f in "$xlhost" "$formulas" "$expected"; do
    [[ -e $f ]] || { echo "run_e2e.sh: no such file: $f" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=(--json --version "$version" -f "$formulas")
[[ -n $addin ]] && args+=(--addin "$addin")
args+=("${hostArgs[@]}")
# Under the sanitizers a leak or an error report must not pass for exit code 1 ("a line was reported").
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
"$xlhost" "${args[@]}" >"$work/actual" 2>"$work/stderr"
status=$?
if ((status > 1)); then
    echo "run_e2e.sh: xlhost ${args[*]} ended with exit code $status" >&2
    cat "$work/stderr" >&2
    exit 1
fi

awk -v tolerance="${tolerance:-0}" -v formulaFile="$formulas" -v expectedFile="$expected" '
# Splits a JSON line into tokens: whole string literals, numbers, and single other characters.
function tokenize(line, tokens,    n, i, c, j, rest) {
    n = 0
    i = 1
    while (i <= length(line)) {
        c = substr(line, i, 1)
        if (c == "\"") {
            j = i + 1
            while (j <= length(line) && substr(line, j, 1) != "\"")
                j += (substr(line, j, 1) == "\\") ? 2 : 1
            tokens[++n] = "s" substr(line, i, j - i + 1)
            i = j + 1
        } else if (match(substr(line, i), /^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?/)) {
            tokens[++n] = "n" substr(line, i, RLENGTH)
            i += RLENGTH
        } else {
            if (c != " ")
                tokens[++n] = "c" c
            i++
        }
    }
    return n
}
function abs(x) { return x < 0 ? -x : x }
function close_enough(actual, wanted,    a, e, na, ne, k, x, y, scale) {
    if (actual == wanted)
        return 1
    if (tolerance + 0 <= 0)
        return 0
    na = tokenize(actual, a)
    ne = tokenize(wanted, e)
    if (na != ne)
        return 0
    for (k = 1; k <= na; k++) {
        if (a[k] == e[k])
            continue
        if (substr(a[k], 1, 1) != "n" || substr(e[k], 1, 1) != "n")
            return 0
        x = substr(a[k], 2) + 0
        y = substr(e[k], 2) + 0
        scale = abs(x) > abs(y) ? abs(x) : abs(y)
        if (abs(x - y) > tolerance * scale)
            return 0
    }
    return 1
}
BEGIN {
    # The formula lines that produce output, in order (blank lines and # comments produce none).
    while ((getline line < formulaFile) > 0) {
        sub(/\r$/, "", line)
        if (line ~ /^[ \t]*$/ || line ~ /^[ \t]*#/)
            continue
        formula[++nFormulas] = line
    }
    while ((getline line < expectedFile) > 0)
        wanted[++nWanted] = line
}
{
    actual[NR] = $0
}
END {
    n = NR > nWanted ? NR : nWanted
    bad = 0
    for (i = 1; i <= n; i++) {
        if (i <= NR && i <= nWanted && close_enough(actual[i], wanted[i]))
            continue
        bad++
        printf "result %d: %s\n", i, (i <= nFormulas ? formula[i] : "(no formula line)")
        printf "  expected: %s\n", (i <= nWanted ? wanted[i] : "(nothing)")
        printf "  actual:   %s\n", (i <= NR ? actual[i] : "(nothing)")
    }
    if (bad) {
        printf "%d of %d results differ\n", bad, n
        exit 1
    }
    printf "all %d results match\n", n
}' "$work/actual"
