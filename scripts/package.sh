#!/usr/bin/env bash
# The downloadable package: both Windows XLLs, a short user README and their checksums, in
#   dist/tavrin_schedules-<version>-windows.zip
#   bash scripts/package.sh [--no-build]
# Cross-builds the two XLLs with the mingw32 and mingw64 presets first (install the cross compilers with
# `bash scripts/install-deps.sh --cross`); --no-build packs what build/mingw32 and build/mingw64 hold. The
# version is the CMake project version of CMakeLists.txt, its only home.
set -euo pipefail
cd "$(dirname "$0")/.."

build=true
for arg in "$@"; do
    case $arg in
    --no-build) build=false ;;
    -h | --help)
        sed -n '2,7p' "$0"
        exit 0
        ;;
    *)
        echo "package.sh: unknown argument $arg (usage: bash scripts/package.sh [--no-build])" >&2
        exit 2
        ;;
    esac
done

version=$(sed -nE 's/^project\([A-Za-z_]+ VERSION ([0-9][0-9.]*).*/\1/p' CMakeLists.txt | head -n 1)
[[ -n $version ]] || { echo "package.sh: no project version in CMakeLists.txt" >&2; exit 1; }

xll32=build/mingw32/bin/tavrin_schedules.xll
xll64=build/mingw64/bin/tavrin_schedules64.xll
if $build; then
    for preset in mingw32 mingw64; do
        echo "package.sh: building the $preset XLL"
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" --target tavrin_schedules
    done
fi
for xll in "$xll32" "$xll64"; do
    [[ -f $xll ]] || { echo "package.sh: $xll is missing (build it, or run without --no-build)" >&2; exit 1; }
done
# The 32-bit XLL shares its name with the native Linux add-in: make sure it is the Windows one.
for xll in "$xll32" "$xll64"; do
    [[ $(head -c 2 "$xll") == MZ ]] || { echo "package.sh: $xll is not a Windows library" >&2; exit 1; }
done

name=tavrin_schedules-$version-windows
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name"
cp "$xll32" "$xll64" "$work/$name/"

# The user README: what a spreadsheet user needs, taken from the project README so that it never drifts.
{
    printf '# Tavrin Schedules %s\n\n' "$version"
    printf 'A spreadsheet add-in: eighteen worksheet functions for fixed-income dates and curves.\n\n'
    printf 'This package holds `tavrin_schedules64.xll` (64-bit spreadsheets) and `tavrin_schedules.xll`\n'
    printf '(32-bit ones); `SHA256SUMS` has their checksums (`sha256sum -c SHA256SUMS`).\n\n'
    for section in "Loading the add-in in the spreadsheet" "Host generations" "Function reference" "Calendars"; do
        awk -v heading="## $section" '/^## / { keep = ($0 == heading) } keep' README.md
    done | grep -v 'readme_examples_test\|compares the result, and the calendar date' |
        sed 's/ `xlhost --version 12` and `--version 16` run either interface\.//'
} >"$work/$name/README.md"

(cd "$work/$name" && sha256sum tavrin_schedules.xll tavrin_schedules64.xll README.md >SHA256SUMS)

mkdir -p dist
rm -f "dist/$name.zip"
(cd "$work" && cmake -E tar cf "$OLDPWD/dist/$name.zip" --format=zip "$name")
echo "package.sh: wrote dist/$name.zip"
(cd "$work/$name" && sed 's/^/  /' SHA256SUMS)
