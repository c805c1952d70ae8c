#!/bin/sh
# Runs a 64-bit Windows program under wine64 with a prefix of its own:
#   wine64-run.sh <wine64 loader> <prefix folder> <program> [arguments...]
# The program's exit status is this script's. wine's server and system processes are
# started away from the program's output and kept for a while: started by the program
# itself, they would inherit its output and hold it open long after the program ended,
# and every program would pay for starting them afresh.
wine64=$1
export WINEPREFIX=$2
shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

wineserver=$(dirname "$wine64")/wineserver64
[ -x "$wineserver" ] || wineserver=$(dirname "$wine64")/wineserver
# Exits 0 only when it started a new server (which then detaches), 2 when one is running.
if "$wineserver" -p30 </dev/null >/dev/null 2>&1; then
    "$wine64" wineboot </dev/null >/dev/null 2>&1
fi
exec "$wine64" "$@"
