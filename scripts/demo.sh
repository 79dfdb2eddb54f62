#!/usr/bin/env bash
# The main command: builds the add-in and the stand-in host, then runs the demo sheet through them.
#   bash scripts/demo.sh [--verbose]
# Run as root on a Debian machine: installs the Debian packages it lacks (scripts/install-deps.sh), builds the
# release preset's xlhost and tavrin_schedules, and prints every formula of examples/demo.xlf with its result.
# xlhost hides the add-in's diagnostic lines unless --verbose is given.
set -euo pipefail
cd "$(dirname "$0")/.."

verbose=false
for arg in "$@"; do
    case $arg in
    --verbose) verbose=true ;;
    -h | --help)
        sed -n '2,6p' "$0"
        exit 0
        ;;
    *)
        echo "demo.sh: unknown argument $arg (usage: bash scripts/demo.sh [--verbose])" >&2
        exit 2
        ;;
    esac
done

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target xlhost tavrin_schedules

printf '\n==== examples/demo.xlf ====\n'
if $verbose; then
    build/release/bin/xlhost --verbose -f examples/demo.xlf
else
    build/release/bin/xlhost -f examples/demo.xlf
fi
