#!/usr/bin/env bash
# The holiday file beside the add-in and the diagnostic stream, through the stand-in host:
#   check_beside_addin.sh XLHOST ADDIN VERSION
# 1. A copy of the add-in in a fresh folder with good.csv beside it as tavrin_holidays.csv (and no
#    TAVRIN_HOLIDAYS) gives the results of holiday_file_good.xlf. The folder is removed afterwards: no file is
#    ever left beside the built add-in.
# 2. With a faulty file the add-in still opens, and the diagnostic stream names the file, line and reason.
set -uo pipefail
xlhost=$1 addin=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$addin" "$work/" && cp "$here/good.csv" "$work/tavrin_holidays.csv" || exit 1
unset TAVRIN_HOLIDAYS
bash "$here/../run_e2e.sh" --xlhost "$xlhost" --version "$version" --suite "$here/holiday_file_good.xlf" \
    --addin "$work/$(basename "$addin")" || exit 1

(cd "$here" && TAVRIN_HOLIDAYS=unknown_calendar.csv "$xlhost" --verbose --version "$version" --addin "$addin" \
    'sched_plusMonths(DATE(2026, 1, 31), 1)' >"$work/out" 2>"$work/err")
status=$?
wanted="Holiday file error at line 4: unknown calendar name. File: unknown_calendar.csv."
if ((status != 0)) || ! grep -qF "$wanted" "$work/err" || ! grep -qF "46081" "$work/out"; then
    echo "check_beside_addin.sh: the faulty file was not reported, or the add-in did not answer (exit $status)" >&2
    cat "$work/out" "$work/err" >&2
    exit 1
fi
echo "holiday file beside the add-in applied; faulty file reported"
