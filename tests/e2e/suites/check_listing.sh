#!/usr/bin/env bash
# Checks the registrations the add-in makes against the expected listing of one host generation:
#   check_listing.sh XLHOST VERSION EXPECTED.json
# The first registered value, the add-in's own file name, depends on where it was built and is compared as
# "<add-in>". Any other difference (type letters, names, help texts and their ". " suffixes, category, order)
# fails and is printed as a diff.
set -uo pipefail
(($# == 3)) || { sed -n '2,6p' "$0" >&2; exit 2; }
xlhost=$1 version=$2 expected=$3

actual=$("$xlhost" --list --json --version "$version" 2>/dev/null)
status=$?
if ((status != 0)); then
    echo "check_listing.sh: xlhost --list ended with exit code $status" >&2
    exit 1
fi
actual=$(sed -E 's/"values": \[\{"str": "([^"\\]|\\.)*"\}/"values": [{"str": "<add-in>"}/' <<<"$actual")
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
    echo "check_listing.sh: the registrations differ from $expected" >&2
    exit 1
fi
echo "all $(wc -l <"$expected") registrations match"
