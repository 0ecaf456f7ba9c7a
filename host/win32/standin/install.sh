#!/bin/bash
# Installs the stand-in station driver (a test double, never shipped) as the
# kernel service "Brakor" in a Wine prefix and starts it, or stops and
# removes it again.
#
#   install.sh PREFIX SYSFILE    copy SYSFILE into PREFIX, create and start the service
#   install.sh --remove PREFIX   stop and delete the service, remove the file
#
# WINE names the wine loader (default /usr/lib/wine/wine64). Start a
# persistent wineserver for PREFIX first, or each call waits for it; but make
# a new prefix (wineboot) before that and let its own wineserver end
# (wineserver -w): a prefix made under the persistent server is left with two
# service managers, and no driver service starts there (error 1053).
set -euo pipefail

WINE=${WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
readonly SERVICE=Brakor
readonly TARGET='C:\windows\system32\drivers\brakor_standin.sys'

usage() {
    echo "usage: $0 PREFIX SYSFILE | $0 --remove PREFIX" >&2
    exit 2
}

run_sc() { "$WINE" sc "$@" </dev/null; }

# sc itself reports how a call went; its exit code is what counts here.
service_exists() { run_sc query "$SERVICE" >/dev/null 2>&1; }

remove() {
    if service_exists; then
        run_sc stop "$SERVICE" >/dev/null 2>&1 || true
        run_sc delete "$SERVICE" >/dev/null
    fi
    rm -f "$WINEPREFIX/drive_c/windows/system32/drivers/brakor_standin.sys"
}

if [[ $# -eq 2 && $1 == --remove ]]; then
    export WINEPREFIX=$2
    remove
    exit 0
fi
[[ $# -eq 2 ]] || usage
export WINEPREFIX=$1
sysfile=$2
[[ -f $sysfile ]] || { echo "$0: no driver file $sysfile" >&2; exit 1; }
[[ -d $WINEPREFIX/drive_c ]] || { echo "$0: $WINEPREFIX is not a Wine prefix (run wineboot first)" >&2; exit 1; }

# A service left by an earlier run would keep its old binary loaded.
remove
install -m 0644 "$sysfile" "$WINEPREFIX/drive_c/windows/system32/drivers/brakor_standin.sys"
run_sc create "$SERVICE" type= kernel start= demand binPath= "$TARGET" >/dev/null
if ! run_sc start "$SERVICE" >/dev/null; then
    echo "$0: the driver service did not start (a prefix made under a persistent wineserver? see the top of this script)" >&2
    run_sc delete "$SERVICE" >/dev/null 2>&1 || true
    exit 1
fi
