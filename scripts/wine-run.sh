#!/usr/bin/env bash
# Runs a cross-built 64-bit Windows program under Wine and passes its exit code back:
#   scripts/wine-run.sh <program.exe> [arguments...]
#
# - The 64-bit loader is the one Debian's wine64 package installs (found with dpkg -L, not via PATH, so a
#   32-bit-only or wrapper "wine" cannot be picked up by mistake).
# - The prefix is our own (default build/wine-prefix; override with TAVRIN_WINEPREFIX), never the user's
#   ~/.wine. Its first use creates it (about 10 s), under a lock so parallel runs do not race.
# - The null graphics driver lets programs create windows (the host's window list) without a display.
# - WINEDEBUG=-all keeps Wine's own diagnostics out of the program's output.
# If Wine cannot run at all this fails loudly with exit code 125; it never skips.
set -euo pipefail

fail() {
    echo "wine-run.sh: ERROR: $*" >&2
    exit 125
}

(($# >= 1)) || fail "usage: wine-run.sh <program.exe> [arguments...]"
[[ -f $1 ]] || fail "no such program: $1"

# The PE machine word of a program: 8664 for x86-64, 014c for i386.
pe_machine() {
    local offset
    [[ $(od -An -c -N2 "$1" | tr -d ' ') == MZ ]] || return 1
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    [[ $(od -An -c -j"$offset" -N4 "$1" | tr -d ' ') == 'PE\0\0' ]] || return 1
    od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
machine="$(pe_machine "$1")" || fail "$1 is not a Windows program"
[[ $machine == 8664 ]] ||
    fail "$1 is not a 64-bit program (PE machine 0x$machine); only the 64-bit Wine loader is used here"

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

loader=""
if command -v dpkg >/dev/null 2>&1; then
    loader="$(dpkg -L wine64 2>/dev/null | grep -E '/wine64$' | head -n 1 || true)"
fi
[[ -n $loader ]] || loader=/usr/lib/wine/wine64
[[ -x $loader ]] || fail "the 64-bit Wine loader is missing (install it with: bash scripts/install-deps.sh --cross)"
server="$(dirname "$loader")/wineserver"
[[ -x $server ]] || server="$(dirname "$loader")/wineserver64"

export WINEPREFIX="${TAVRIN_WINEPREFIX:-$repo/build/wine-prefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINESERVER="$server"
# No Mono/Gecko installers (they would want to download and show dialogs): nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f $WINEPREFIX/.tavrin-ready ]]; then
    echo "wine-run.sh: creating the Wine prefix $WINEPREFIX (first run only)" >&2
    rm -rf "$WINEPREFIX"
    "$loader" wineboot --init >/dev/null 2>&1 || fail "wineboot could not create the prefix $WINEPREFIX"
    "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 ||
        fail "could not select Wine's null graphics driver in $WINEPREFIX"
    # A prefix that cannot run Wine's own command interpreter is no use: say so now, not as a test failure later.
    check=0
    "$loader" cmd /c exit 7 >/dev/null 2>&1 || check=$?
    ((check == 7)) || fail "Wine cannot run programs in $WINEPREFIX (cmd /c exit 7 gave $check)"
    "$server" -w || true
    [[ -f $WINEPREFIX/system.reg ]] || fail "Wine did not create $WINEPREFIX/system.reg"
    touch "$WINEPREFIX/.tavrin-ready"
fi
flock -u 9

status=0
"$loader" "$@" || status=$?
# Wine's own start-up failures surface as exit codes no program of ours returns.
if ((status == 126 || status == 127)); then
    fail "Wine could not start $1 (exit code $status)"
fi
exit "$status"
