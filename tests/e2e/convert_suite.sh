#!/usr/bin/env bash
# Converts a suite of the two-file format (a formula file and one expected-results file per host generation,
# NAME.v12.expected.json and NAME.v16.expected.json beside it) into one suite file (tests/e2e/suite.awk),
# and proves the conversion loses nothing:
#   convert_suite.sh FORMULAS [V12.json V16.json] [--output FILE] [--remove]
# FILE defaults to FORMULAS without a trailing ".in" (templates keep their #let lines and {{N*TEXT}}). The
# results of both versions are read back from FILE exactly as run_e2e.sh will compare them, and the formula
# lines xlhost is given are compared with those of the old files: any difference leaves the old files alone
# and fails. --remove then deletes the old expected files (and a template FORMULAS converted to NAME.xlf).
# FORMULAS may be a suite file already: its results are replaced (e.g. by the files run_e2e.sh --results
# writes, to update a suite after a reviewed change). Formula lines keep their line numbers; "#option counted-zero" takes the first blank line before the first
# formula (or goes at the end) when it makes a result the same in both generations.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
    sed -n '2,11p' "$0" >&2
    exit 2
}
positional=() output="" remove=0
while (($#)); do
    case $1 in
    --output)
        output=${2:-}
        shift 2 || usage
        ;;
    --remove)
        remove=1
        shift
        ;;
    -*) usage ;;
    *)
        positional+=("$1")
        shift
        ;;
    esac
done
((${#positional[@]} == 1 || ${#positional[@]} == 3)) || usage
formulas=${positional[0]}
base=${formulas%.in}
base=${base%.xlf}
v12=${positional[1]:-$base.v12.expected.json}
v16=${positional[2]:-$base.v16.expected.json}
output=${output:-${formulas%.in}}
for f in "$formulas" "$v12" "$v16"; do
    [[ -f $f ]] || {
        echo "convert_suite.sh: no such file: $f" >&2
        exit 2
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -f "$here/suite.awk" -f - -v v12="$v12" -v v16="$v16" "$formulas" >"$work/suite" <<'EOF'
{
    sub(/\r$/, "")
    if (isCountedZeroOption($0))
        hasOption = 1
    # A suite file already converted: its results are replaced.
    if (!isComment($0) && (arrow = arrowPosition($0)) > 0)
        $0 = formulaOf($0, arrow)
    line[NR] = $0
    if (!isComment($0))
        formulaLines[++nFormulas] = NR
}
END {
    while ((getline r < v12) > 0)
        a[++na] = r
    while ((getline r < v16) > 0)
        b[++nb] = r
    if (na != nFormulas || nb != nFormulas) {
        printf "convert_suite.sh: %d formulas, %d and %d expected results\n", nFormulas, na, nb > "/dev/stderr"
        exit 1
    }
    # Counted zeros pay when they make a line the same in both generations.
    useZero = 0
    for (k = 1; k <= nFormulas; k++)
        if (a[k] != b[k] && a[k] !~ /^sha256:/ && countedZero(a[k]) == b[k])
            useZero = 1
    optionLine = 0
    if (useZero && !hasOption)
        for (i = 1; i < (nFormulas ? formulaLines[1] : NR + 1); i++)
            if (line[i] ~ /^[ \t]*$/) {
                optionLine = i
                break
            }
    k = 0
    for (i = 1; i <= NR; i++) {
        if (i == optionLine) {
            print "#option counted-zero"
            continue
        }
        if (isComment(line[i])) {
            print line[i]
            continue
        }
        k++
        same = useZero && a[k] !~ /^sha256:/ ? countedZero(a[k]) == b[k] : a[k] == b[k]
        print line[i] "  => " (same ? a[k] : "12: " a[k] "  16: " b[k])
    }
    if (useZero && !hasOption && optionLine == 0)
        print "#option counted-zero"
}
EOF

# The proof: what the runner will compare and what xlhost will read, against the old files.
bash "$here/run_e2e.sh" --expected --version 12 --suite "$work/suite" >"$work/v12"
bash "$here/run_e2e.sh" --expected --version 16 --suite "$work/suite" >"$work/v16"
bash "$here/run_e2e.sh" --formulas --suite "$work/suite" >"$work/formulas-new"
awk -f "$here/suite.awk" -f - "$formulas" >"$work/formulas-old" <<'EOF'
{
    sub(/\r$/, "")
    if (isComment($0))
        templateDefinition($0)
    else if ((arrow = arrowPosition($0)) > 0)
        $0 = formulaOf($0, arrow)
    print isComment($0) ? $0 : expanded($0)
}
EOF
# The option line replaced a blank line or was added at the end: to xlhost, a comment in either place.
if ! grep -qx '#option counted-zero' "$formulas"; then
    sed -i -e '$ {/^#option counted-zero$/d}' "$work/formulas-new"
fi
sed -i -e 's/^#option counted-zero$//' "$work/formulas-new" "$work/formulas-old"
status=0
cmp -s "$work/v12" "$v12" || { echo "convert_suite.sh: version 12 results differ from $v12" >&2; status=1; }
cmp -s "$work/v16" "$v16" || { echo "convert_suite.sh: version 16 results differ from $v16" >&2; status=1; }
if ! cmp -s <(sed 's/^[ \t]*$//' "$work/formulas-new") <(sed 's/^[ \t]*$//' "$work/formulas-old"); then
    diff "$work/formulas-old" "$work/formulas-new" | head -5 >&2
    echo "convert_suite.sh: the formulas differ from $formulas" >&2
    status=1
fi
((status == 0)) || exit 1

cp "$work/suite" "$output"
echo "convert_suite.sh: wrote $output ($(grep -c ' => ' "$output") results, both versions read back exactly)"
if ((remove)); then
    rm -f "$v12" "$v16"
    # A template converted to its suite file (NAME.xlf.in to NAME.xlf) leaves no copy behind.
    if [[ $formulas == *.in && $(realpath "$output") == "$(realpath "${formulas%.in}")" ]]; then
        rm -f "$formulas"
    fi
fi
