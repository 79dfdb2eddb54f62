#!/usr/bin/env bash
# Values the fifteen par swaps of the demo market (examples/curve_market_data.md) on the discount factors and
# zero rates that the curve functions read at their fixed-leg schedule, and requires each to be worth nothing:
#   check_par_swaps.sh XLHOST VERSION FORMULAS.xlf [ADDIN]
# The formula file holds, for each interpolation id, a line of sched_CurveDF and one of sched_CurveZeroRate at
# the same row of schedule dates S[0] ... S[60]. A swap of Y years ends at S[2Y]; its fixed coupons are
# rate x 30E/360 fraction x discount factor, and, as the bootstrap's solver prices them under the zero-rate
# ids 1, 3 and 5, the last coupon is discounted at the simple rate of the maturity's zero rate; its floating
# leg is worth 1 - DF(S[2Y]). Ids 1 to 4 reprice within 1e-9. Under the spline (id 5) the solver's spline ran
# through the schedule points, which the curve block does not hold, so the reading through the pillars is
# held to 2e-5 only.
set -uo pipefail
(($# == 3 || $# == 4)) || { sed -n '2,13p' "$0" >&2; exit 2; }
xlhost=$1 version=$2 formulas=$3
# The suite file holds its expected results beside the formulas: xlhost is given the formulas alone, on the
# same line numbers.
lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
bash "$(dirname "$0")/../run_e2e.sh" --formulas --suite "$formulas" >"$lines" || exit 1
formulas=$lines
args=(--json --version "$version" -f "$formulas")
(($# == 4)) && args+=(--addin "$4")

actual=$("$xlhost" "${args[@]}" 2>/dev/null)
status=$?
if ((status != 0)); then
    echo "check_par_swaps.sh: xlhost ended with exit code $status" >&2
    exit 1
fi

awk -v formulaFile="$formulas" '
# Day number of the 1900 system (after February 1900) to year, month, day.
function civil(serial, ymd,    z, era, doe, yoe, doy, mp) {
    z = serial + 693899
    era = int(z / 146097)
    doe = z - era * 146097
    yoe = int((doe - int(doe / 1460) + int(doe / 36524) - int(doe / 146096)) / 365)
    doy = doe - (365 * yoe + int(yoe / 4) - int(yoe / 100))
    mp = int((5 * doy + 2) / 153)
    ymd["d"] = doy - int((153 * mp + 2) / 5) + 1
    ymd["m"] = mp < 10 ? mp + 3 : mp - 9
    ymd["y"] = yoe + era * 400 + (ymd["m"] <= 2)
}
function thirtyE360(a, b,    s, e, ds, de) {
    civil(a, s)
    civil(b, e)
    ds = s["d"] > 30 ? 30 : s["d"]
    de = e["d"] > 30 ? 30 : e["d"]
    return (360 * (e["y"] - s["y"]) + 30 * (e["m"] - s["m"]) + de - ds) / 360
}
function abs(x) { return x < 0 ? -x : x }
BEGIN {
    split("1.67 1.83 1.99 2.14 2.28 2.40 2.50 2.59 2.67 2.74 2.80 2.93 3.03 3.05 3.03", rates, " ")
    split("2 3 4 5 6 7 8 9 10 11 12 15 20 25 30", years, " ")
    today = 40805
    lines = 0
    while ((getline line < formulaFile) > 0) {
        if (line ~ /^[ \t]*$/ || line ~ /^[ \t]*#/)
            continue
        ++lines
        split(line, head, ",")
        id[lines] = head[4] + 0
        kind[lines] = line ~ /^sched_CurveDF/ ? "df" : "zero"
        dates = line
        sub(/.*\{/, "", dates)
        sub(/\}.*/, "", dates)
        count[lines] = split(dates, d, ",")
        for (i = 1; i <= count[lines]; i++)
            schedule[lines, i - 1] = d[i] + 0
    }
}
{
    values = $0
    n = 0
    while (match(values, /"num": -?[0-9.eE+-]+/)) {
        value[NR, n++] = substr(values, RSTART + 7, RLENGTH - 7) + 0
        values = substr(values, RSTART + RLENGTH)
    }
    found[NR] = n
}
END {
    bad = 0
    checked = 0
    for (l = 1; l <= lines; l++) {
        if (kind[l] != "df")
            continue
        z = l + 1 # the zero rates of the same id follow
        if (found[l] != count[l] || found[z] != count[l] || kind[z] != "zero") {
            printf "line %d: %d values for %d dates\n", l, found[l], count[l]
            bad++
            continue
        }
        tolerance = id[l] == 5 ? 2e-5 : 1e-9
        for (s = 1; s <= 15; s++) {
            n = 2 * years[s]
            c = rates[s] / 100
            fixed = 0
            for (i = 1; i < n; i++)
                fixed += c * thirtyE360(schedule[l, i - 1], schedule[l, i]) * value[l, i]
            last = value[l, n]
            if (id[l] == 1 || id[l] == 3 || id[l] == 5)
                last = 1 / (1 + value[z, n] * thirtyE360(today, schedule[l, n]))
            fixed += c * thirtyE360(schedule[l, n - 1], schedule[l, n]) * last
            pv = fixed - (1 - value[l, n])
            checked++
            if (abs(pv) > tolerance) {
                printf "id %d, %d-year swap: worth %.3g, more than %g\n", id[l], years[s], pv, tolerance
                bad++
            }
        }
    }
    if (bad || checked == 0) {
        printf "check_par_swaps.sh: %d of %d swaps do not reprice\n", bad, checked
        exit 1
    }
    printf "all %d par swaps reprice\n", checked
}' <<<"$actual"
