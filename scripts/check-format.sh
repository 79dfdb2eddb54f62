#!/usr/bin/env bash
# Checks that every C++ file of the repository is formatted as the repository's .clang-format says:
#   check-format.sh [ROOT]      (default: the repository this script is in)
# The files are those git knows (tracked or new, not ignored), so build trees are never looked at. Prints the
# first differences of each file that is not formatted and exits 1; `clang-format -i FILE` fixes one.
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"
command -v clang-format >/dev/null || {
    echo "check-format.sh: clang-format is not installed (bash scripts/install-deps.sh)" >&2
    exit 2
}

files=()
while IFS= read -r -d '' file; do
    [[ -f $file ]] && files+=("$file") # a deleted file may still be listed until committed
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' '*.inc')
# One clang-format run for all files (a process per file is slow on a busy machine); its warnings name the
# files that differ.
mapfile -t unformatted < <(clang-format --dry-run --Werror "${files[@]}" 2>&1 >/dev/null |
    sed -nE 's/^(.+):[0-9]+:[0-9]+: (error|warning): code should be clang-formatted.*/\1/p' | sort -u)
if ((${#unformatted[@]})); then
    for file in "${unformatted[@]}"; do
        echo "== $file"
        diff <(cat "$file") <(clang-format "$file") | head -10 || true
    done
    echo "check-format.sh: ${#unformatted[@]} of ${#files[@]} C++ files are not clang-formatted" >&2
    exit 1
fi
echo "check-format.sh: all ${#files[@]} C++ files are clang-formatted"
