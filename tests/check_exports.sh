#!/usr/bin/env bash
# Checks that the native add-in exports exactly the functions of its export list (the Windows modules are
# checked by scripts/check-xll.sh):
#   check_exports.sh ADDIN EXPORTS.txt
# Only exported code counts: the C++ runtime's weak and unique template symbols are not the add-in's.
set -euo pipefail
(($# == 2)) || { sed -n '2,5p' "$0" >&2; exit 2; }
addin=$1 list=$2
expected=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$list" | grep -v '^$' | sort)
actual=$(nm -D --defined-only "$addin" | awk '$2 == "T" { print $3 }' | sort)
if ! diff -u <(printf '%s\n' "$expected") <(printf '%s\n' "$actual"); then
    echo "check_exports.sh: $addin does not export exactly the names of $list" >&2
    exit 1
fi
echo "all $(wc -l <<<"$expected") exports match"
