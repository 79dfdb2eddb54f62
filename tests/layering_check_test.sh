#!/usr/bin/env bash
# The include-chain checker itself: a tree that follows the chain passes, and each kind of break is caught.
#   layering_check_test.sh CHECKER
set -uo pipefail
checker=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# tree NAME FILE=INCLUDE...: a fresh tree holding one include line per file.
tree() {
    rm -rf "${work:?}/$1"
    local dir=$work/$1
    shift
    for entry in "$@"; do
        mkdir -p "$dir/$(dirname "${entry%%=*}")"
        echo "${entry#*=}" >>"$dir/${entry%%=*}"
    done
    echo "$dir"
}
expect() { # expect pass|fail DESCRIPTION DIR
    local want=$1 what=$2 dir=$3 got=pass
    bash "$checker" "$dir" >"$work/out" 2>&1 || got=fail
    if [[ $got != "$want" ]]; then
        echo "FAILED: $what: expected $want, got $got"
        cat "$work/out"
        failures=$((failures + 1))
    fi
}

expect pass "the chain followed" "$(tree good \
    'calendars/C.h=#include "dates/Date.h"' 'curves/K.cpp=#include "matrix/CellMatrix.h"' \
    'worksheet/E.cpp=#include "src/XlfOper.h"' 'worksheet/F.cpp=#include "curves/Curve.h"' \
    'src/O.cpp=#include "platform/Platform.h"' 'src/P.cpp=#include "src/api/XlCall.h"' \
    'platform/win32/W.cpp=#include <windows.h>' 'dates/D.cpp=#include "Local.h"' \
    'calendars/C.h=namespace tavrin {' 'curves/K.cpp=namespace tavrin {' 'dates/D.cpp=namespace tavrin {')"
expect fail "library code outside its namespace" "$(tree outside 'dates/D.cpp=#include "Local.h"')"
for bad in 'dates/D.h=#include "calendars/Calendar.h"' 'daycount/X.cpp=#include "curves/Curve.h"' \
    'curves/K.cpp=#include "src/XlfOper.h"' 'curves/K.cpp=#include "worksheet/WorksheetFrame.h"' \
    'src/O.cpp=#include "calendars/Calendar.h"' 'src/O.cpp=#include "worksheet/WorksheetFrame.h"' \
    'matrix/M.cpp=#include "src/XlfOper.h"' 'platform/P.cpp=#include "src/XlfExcel.h"' \
    'src/api/A.h=#include "src/XlfOper.h"' 'worksheet/E.cpp=#include "xlhost/core/StandInHost.h"' \
    'worksheet/E.cpp=  #  include <windows.h>' 'curves/K.cpp=#include <dlfcn.h>'; do
    expect fail "$bad" "$(tree bad "$bad")"
done

((failures == 0)) || { echo "$failures checks failed"; exit 1; }
echo "all layering checks behave"
