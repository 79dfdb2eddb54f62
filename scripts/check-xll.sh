#!/usr/bin/env bash
# Checks a cross-built Windows module (the XLLs, XLCALL32.DLL, xlhost.exe) with the cross toolchain's objdump:
#   scripts/check-xll.sh [--allow-import DLL]... <module> [expected export name...]
#   scripts/check-xll.sh [--allow-import DLL]... <module> @<file listing the expected export names, one a line>
#
# - Exports: exactly the expected names, undecorated (a 32-bit __stdcall export left as "name@N" would not be
#   found by the host, which looks procedures up by their plain name). With no names given, the module must
#   export nothing.
# - Imports: Windows system DLLs only. libstdc++, libgcc and libwinpthread must be linked in statically: a
#   spreadsheet machine has none of them beside the add-in. --allow-import admits one more DLL by name (xlhost.exe
#   imports the stand-in "XLCALL32.DLL"; an add-in must not: it loads the host's copy at run time).
# Prints what it found and exits 1 on any mismatch.
set -euo pipefail

fail() {
    echo "check-xll.sh: ERROR: $*" >&2
    exit 1
}

allowed=()
while (($# >= 2)) && [[ $1 == --allow-import ]]; do
    allowed+=("$(tr '[:upper:]' '[:lower:]' <<<"$2")")
    shift 2
done
(($# >= 1)) || fail "usage: check-xll.sh [--allow-import DLL]... <module> [expected export name... | @names-file]"
module=$1
shift
[[ -f $module ]] || fail "no such file: $module"

expected=()
for arg in "$@"; do
    if [[ $arg == @* ]]; then
        [[ -f ${arg#@} ]] || fail "no such names file: ${arg#@}"
        while IFS= read -r line || [[ -n $line ]]; do
            line="${line%%#*}"
            line="${line//[[:space:]]/}"
            [[ -z $line ]] || expected+=("$line")
        done <"${arg#@}"
    else
        expected+=("$arg")
    fi
done

# The objdump of the module's own architecture.
[[ $(od -An -c -N2 "$module" | tr -d ' ') == MZ ]] || fail "$module is not a Windows module"
offset=$(od -An -tu4 -j60 -N4 "$module" | tr -d ' ')
machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$module" | tr -d ' ')
case $machine in
8664) objdump=x86_64-w64-mingw32-objdump ;;
014c) objdump=i686-w64-mingw32-objdump ;;
*) fail "$module: unexpected PE machine 0x$machine" ;;
esac
command -v "$objdump" >/dev/null || fail "$objdump is missing (install it with: bash scripts/install-deps.sh --cross)"
dump="$("$objdump" -p "$module")" || fail "$objdump could not read $module"

# Export names: the rows of the name pointer table, "[   0] name".
mapfile -t actual < <(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | LC_ALL=C sort)
mapfile -t wanted < <(((${#expected[@]})) && printf '%s\n' "${expected[@]}" | LC_ALL=C sort -u)

status=0
missing=$(LC_ALL=C comm -23 <(printf '%s\n' "${wanted[@]}") <(printf '%s\n' "${actual[@]}") | sed '/^$/d')
extra=$(LC_ALL=C comm -13 <(printf '%s\n' "${wanted[@]}") <(printf '%s\n' "${actual[@]}") | sed '/^$/d')
if [[ -n $missing ]]; then
    echo "check-xll.sh: $module does not export: ${missing//$'\n'/ }" >&2
    status=1
fi
if [[ -n $extra ]]; then
    echo "check-xll.sh: $module exports names it should not: ${extra//$'\n'/ }" >&2
    status=1
fi

# Imported DLLs: Windows system libraries and the universal C runtime's API sets only.
mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump")
system_dll='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|ntdll|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
for dll in "${imports[@]}"; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    [[ " ${allowed[*]} " == *" $lower "* ]] && continue
    if [[ ! $lower =~ $system_dll ]]; then
        echo "check-xll.sh: $module imports $dll, which is not a Windows system DLL" \
            "(link the runtime statically: -static -static-libgcc -static-libstdc++)" >&2
        status=1
    fi
done

echo "check-xll.sh: $module (PE machine 0x$machine): ${#actual[@]} exports, imports: ${imports[*]:-none}"
((status == 0)) || fail "$module failed the checks above"
echo "check-xll.sh: $module OK"
