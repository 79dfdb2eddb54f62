#!/usr/bin/env bash
# Runs one end-to-end suite through the stand-in host and compares each result with the one written beside
# its formula (the format: tests/e2e/suite.awk):
#   run_e2e.sh --xlhost PROGRAM --version V --suite FILE.xlf [--addin FILE] [--tolerance REL] [--host-arg ARG ...]
#              [--results FILE]
#   run_e2e.sh --expected --version V --suite FILE.xlf    (prints the results expected of version V)
#   run_e2e.sh --formulas --suite FILE.xlf                (prints the lines xlhost is given)
# Results are compared exactly by default; with --tolerance numbers may differ by that much relative to the
# larger of the two (texts, kinds and everything else still exactly). Each --host-arg is passed on to xlhost
# (e.g. --wizard). --results writes the actual results, one a line (over 4096 bytes as digests): give the
# files of both versions to convert_suite.sh to update the suite, and review every changed line. A mismatch prints the formula, the expected and the actual line. xlhost exit codes 0 and 1
# (a line that is reported rather than evaluated) are normal; any other (bad usage, the add-in failed to load,
# a leak or double free in host memory) fails the suite.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
    sed -n '2,15p' "$0" >&2
    exit 2
}

xlhost="" version="" suite="" addin="" tolerance="" print="" results=""
hostArgs=()
while (($#)); do
    case $1 in
    --expected | --formulas)
        print=${1#--}
        shift
        continue
        ;;
    --xlhost) xlhost=$2 ;;
    --version) version=$2 ;;
    --suite) suite=$2 ;;
    --addin) addin=$2 ;;
    --tolerance) tolerance=$2 ;;
    --results) results=$2 ;;
    --host-arg) hostArgs+=("$2") ;;
    *) usage ;;
    esac
    shift 2 || usage
done
[[ -n $suite ]] || usage
[[ -e $suite ]] || {
    echo "run_e2e.sh: no such file: $suite" >&2
    exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The suite split into the formula file xlhost reads (line for line, so that its line numbers are the
# suite's) and the results expected of this version, one a line, with the formula of each.
awk -f "$here/suite.awk" -f - -v version="${version:-12}" -v formulasFile="$work/formulas.xlf" \
    -v expectedFile="$work/expected" -v shownFile="$work/shown" "$suite" <<'EOF' || exit 2
BEGIN {
    # The option holds for the whole file, wherever it stands.
    while ((getline line < ARGV[1]) > 0)
        if (isCountedZeroOption(line))
            countedZeroTexts = 1
    close(ARGV[1])
}
{
    sub(/\r$/, "")
    if (isComment($0)) {
        templateDefinition($0)
        print > formulasFile
        next
    }
    arrow = arrowPosition($0)
    if (arrow == 0) {
        printf "%s:%d: a formula without its expected result (\" => \")\n", FILENAME, FNR > "/dev/stderr"
        failed = 1
        exit 2
    }
    formula = expanded(formulaOf($0, arrow))
    print formula > formulasFile
    result = expectedFor(expectationOf($0, arrow), version, countedZeroTexts)
    if (expectError != "") {
        printf "%s:%d: %s\n", FILENAME, FNR, expectError > "/dev/stderr"
        failed = 1
        exit 2
    }
    print result > expectedFile
    print (length(formula) > 200 ? substr(formula, 1, 200) "..." : formula) > shownFile
}
END {
    if (failed)
        exit 2
    printf "" > expectedFile
    printf "" > shownFile
}
EOF

case $print in
expected)
    cat "$work/expected"
    exit 0
    ;;
formulas)
    cat "$work/formulas.xlf"
    exit 0
    ;;
esac
[[ -n $xlhost && -n $version ]] || usage
[[ -e $xlhost ]] || {
    echo "run_e2e.sh: no such file: $xlhost" >&2
    exit 2
}

args=(--json --version "$version" -f "$work/formulas.xlf")
[[ -n $addin ]] && args+=(--addin "$addin")
args+=("${hostArgs[@]}")
# Under the sanitizers a leak or an error report must not pass for exit code 1 ("a line was reported").
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
"$xlhost" "${args[@]}" >"$work/actual" 2>"$work/stderr"
status=$?
if ((status > 1)); then
    echo "run_e2e.sh: xlhost ${args[*]} ended with exit code $status" >&2
    tail -20 "$work/stderr" >&2
    exit 1
fi

# Results expected as digests are compared by the digest of the actual line (without its line end).
: >"$work/digests"
while IFS=: read -r n _; do
    echo "$n sha256:$(sed -n "${n}{p;q}" "$work/actual" | tr -d '\n' | sha256sum | cut -d' ' -f1)" >>"$work/digests"
done < <(grep -n '^sha256:' "$work/expected")
if [[ -n $results ]]; then
    while IFS=: read -r n _; do
        echo "$n sha256:$(sed -n "${n}{p;q}" "$work/actual" | tr -d '\n' | sha256sum | cut -d' ' -f1)"
    done < <(awk 'length($0) > 4096 { print NR ":" }' "$work/actual") >"$work/digests"
    awk -v digests="$work/digests" '
    BEGIN { while ((getline line < digests) > 0) { split(line, f, " "); replaced[f[1]] = f[2] } }
    { print (NR in replaced) ? replaced[NR] : $0 }' "$work/actual" >"$results"
    echo "run_e2e.sh: wrote $(wc -l <"$results") results to $results"
    exit 0
fi
awk -v digests="$work/digests" '
BEGIN { while ((getline line < digests) > 0) { split(line, f, " "); replaced[f[1]] = f[2] } }
{ print (NR in replaced) ? replaced[NR] : $0 }' "$work/actual" >"$work/compared"

awk -v tolerance="${tolerance:-0}" -v shownFile="$work/shown" -v expectedFile="$work/expected" '
# Splits a JSON line into tokens: whole string literals, numbers, and single other characters.
function tokenize(line, tokens,    n, i, c, j) {
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
    if (tolerance + 0 <= 0 || wanted ~ /^sha256:/)
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
    while ((getline line < shownFile) > 0)
        formula[++nFormulas] = line
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
        printf "  expected: %s\n", (i <= nWanted ? substr(wanted[i], 1, 300) : "(nothing)")
        printf "  actual:   %s\n", (i <= NR ? substr(actual[i], 1, 300) : "(nothing)")
    }
    if (bad) {
        printf "%d of %d results differ\n", bad, n
        exit 1
    }
    printf "all %d results match\n", n
}' "$work/compared"
