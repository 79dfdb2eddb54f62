#!/usr/bin/env bash
# Checks that every #include of the add-in's folders points down the one-way chain:
#   dates <- calendars <- daycount <- curves <- worksheet -> bridge (src) -> platform
# matrix (host-independent value types) may be used by curves, worksheet and the bridge; the host's
# declarations (src/api) by the bridge, the worksheet layer and the platform. Only the platform includes the
# operating system's module and window headers.
#   check-layering.sh [ROOT]      (default: the repository this script is in)
# Project includes are written from the root ("curves/Curve.h"); a bare name is a file of the same folder.
# Prints every include that breaks the chain and exits 1 if there is one. The stand-in host, tests,
# benchmarks and fuzzers may include anything.
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

# Each layer and the layers it may include (itself included).
declare -A allowed=(
    [dates]="dates"
    [calendars]="calendars dates"
    [daycount]="daycount calendars dates"
    [matrix]="matrix"
    [curves]="curves daycount calendars dates matrix"
    [worksheet]="worksheet curves daycount calendars dates matrix bridge api"
    [bridge]="bridge api matrix platform"
    [api]="api"
    [platform]="platform api"
)
systemOnlyInPlatform='windows\.h|dlfcn\.h'

# The layer of a path relative to the root: the bridge is src/ except its host declarations src/api/.
layerOf() {
    case $1 in
    src/api/*) echo api ;;
    src/*) echo bridge ;;
    *) echo "${1%%/*}" ;;
    esac
}

bad=0
while IFS= read -r file; do
    from=$(layerOf "$file")
    while IFS=: read -r line text; do
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            target=${BASH_REMATCH[1]}
            [[ $target == */* ]] || continue # same folder
            to=$(layerOf "$target")
            [[ -n ${allowed[$to]+x} ]] || {
                echo "$file:$line: includes \"$target\", which is in no layer"
                bad=1
                continue
            }
            [[ " ${allowed[$from]} " == *" $to "* ]] || {
                echo "$file:$line: $from includes $to (\"$target\"), against the chain"
                bad=1
            }
        elif [[ $from != platform && $text =~ \#[[:space:]]*include[[:space:]]*\<($systemOnlyInPlatform)\> ]]; then
            echo "$file:$line: $from includes <${BASH_REMATCH[1]}>, which only the platform may"
            bad=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find dates calendars daycount matrix curves worksheet src platform -type f \
    \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \) 2>/dev/null | sort)

# The financial library keeps its names in a namespace of its own, apart from the host's and the bridge's.
while IFS= read -r file; do
    grep -q '^namespace tavrin {' "$file" || {
        echo "$file: the financial library's code belongs in namespace tavrin"
        bad=1
    }
done < <(find dates calendars daycount curves -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)

if ((bad)); then
    echo "check-layering.sh: includes break the chain (see above)" >&2
    exit 1
fi
echo "check-layering.sh: every include follows the chain"
