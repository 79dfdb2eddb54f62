#!/usr/bin/env bash
# Runs a hostile-input suite through the stand-in host and compares its output with the expected file:
#   run_hostile.sh --xlhost PROGRAM --version V --template FILE.xlf.in --expected FILE.json [--update]
#   run_hostile.sh --expand FILE.xlf.in            (prints the formula lines only)
#
# The template is a formula file with two additions, so that huge inputs need not be checked in:
#   #let NAME = TEXT     defines ${NAME} for the lines below (the line stays a comment for xlhost)
#   {{N*TEXT}}           TEXT repeated N times (TEXT holds no "}}")
# Each result line is compared exactly with the same line of the expected file; an expected line of the form
# "sha256:HEX" stands for a result too large to keep, compared by the digest of the line (without its line
# end). --update writes the results as the new expected file (results over 4096 bytes as digests): review
# every changed line before keeping it. xlhost exit codes 0 and 1 (lines reported rather than evaluated) are
# normal; any other (a leak or double free of host memory, a crash) fails the suite.
set -uo pipefail

usage() {
    sed -n '2,13p' "$0" >&2
    exit 2
}

# Expands a template on standard output.
expand() {
    awk '
    function repeated(text, n,    out) {
        out = ""
        if (n <= 0 || text == "")
            return ""
        out = text
        while (length(out) * 2 <= n * length(text))
            out = out out
        return out substr(out, 1, n * length(text) - length(out))
    }
    /^#let [A-Za-z_][A-Za-z_0-9]* = / {
        name = $2
        value = $0
        sub(/^#let [A-Za-z_][A-Za-z_0-9]* = /, "", value)
        vars[name] = value
        print
        next
    }
    {
        line = $0
        for (name in vars)
            gsub("\\$\\{" name "\\}", vars[name], line)
        while (match(line, /\{\{[0-9]+\*([^}]|\}[^}])*\}\}/)) {
            inner = substr(line, RSTART + 2, RLENGTH - 4)
            star = index(inner, "*")
            line = substr(line, 1, RSTART - 1) repeated(substr(inner, star + 1), substr(inner, 1, star - 1) + 0) \
                   substr(line, RSTART + RLENGTH)
        }
        print line
    }' "$1"
}

xlhost="" version="" template="" expected="" update=0
while (($#)); do
    case $1 in
    --expand)
        [[ -f ${2:-} ]] || usage
        expand "$2"
        exit
        ;;
    --xlhost) xlhost=$2 ;;
    --version) version=$2 ;;
    --template) template=$2 ;;
    --expected) expected=$2 ;;
    --update)
        update=1
        shift
        continue
        ;;
    *) usage ;;
    esac
    shift 2 || usage
done
[[ -n $xlhost && -n $version && -n $template && -n $expected ]] || usage
for f in "$xlhost" "$template"; do
    [[ -e $f ]] || {
        echo "run_hostile.sh: no such file: $f" >&2
        exit 2
    }
done
((update)) || [[ -e $expected ]] || {
    echo "run_hostile.sh: no such file: $expected" >&2
    exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expand "$template" >"$work/formulas.xlf"
"$xlhost" --json --version "$version" -f "$work/formulas.xlf" >"$work/actual" 2>"$work/stderr"
status=$?
if ((status > 1)); then
    echo "run_hostile.sh: xlhost ended with exit code $status" >&2
    tail -20 "$work/stderr" >&2
    exit 1
fi

# Results as they are compared: digests where the expected file has them (or, updating, for long results).
digest() { sed -n "${1}{p;q}" "$work/actual" | tr -d '\n' | sha256sum | cut -d' ' -f1; }
: >"$work/digests"
if ((update)); then
    awk 'length($0) > 4096 { print NR }' "$work/actual" >"$work/long"
else
    grep -n '^sha256:' "$expected" | cut -d: -f1 >"$work/long"
fi
while read -r n; do
    echo "$n sha256:$(digest "$n")" >>"$work/digests"
done <"$work/long"
awk -v digests="$work/digests" '
BEGIN { while ((getline line < digests) > 0) { split(line, f, " "); replaced[f[1]] = f[2] } }
{ print (NR in replaced) ? replaced[NR] : $0 }' "$work/actual" >"$work/compared"

if ((update)); then
    cp "$work/compared" "$expected"
    echo "run_hostile.sh: wrote $(wc -l <"$expected") results to $expected"
    exit 0
fi

awk -v formulaFile="$work/formulas.xlf" -v expectedFile="$expected" '
BEGIN {
    while ((getline line < formulaFile) > 0) {
        if (line ~ /^[ \t]*$/ || line ~ /^[ \t]*#/)
            continue
        formula[++nFormulas] = length(line) > 200 ? substr(line, 1, 200) "..." : line
    }
    while ((getline line < expectedFile) > 0)
        wanted[++nWanted] = line
}
{ actual[NR] = $0 }
END {
    n = NR > nWanted ? NR : nWanted
    bad = 0
    for (i = 1; i <= n; i++) {
        if (i <= NR && i <= nWanted && actual[i] == wanted[i])
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
