#!/usr/bin/env bash
# v7ctl.exe shutdown under Wine beside the Linux v7ctl: the request must reach
# ExitWindowsEx with the flags the Linux side hands the emulated host, print
# the same text, end with the same exit code and save "Shutdown Enabled" alike.
#
# Wine's ExitWindowsEx hands the request to the system folder's wineboot.exe,
# with arguments that follow the flags. For the test a recorder (a test double,
# wineboot_recorder.c) takes that file's place, and is loaded instead of Wine's
# own only for the program under test (WINEDLLOVERRIDES); the original file is
# put back afterwards, on failure too. Left behind, the recorder would still
# never run: without the override Wine loads its own wineboot.
#
#   shutdown_test.sh V7CTL_EXE RECORDER_EXE
#
# Environment: WINEPREFIX (with a persistent wineserver; scripts/
# build-windows.sh --test sets one up), V7_BUILD_DIR (the Linux build with
# v7ctl, v7-host and v7-stationd, default build/), WINE (default
# /usr/lib/wine/wine64).
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 V7CTL_EXE RECORDER_EXE" >&2; exit 2; }
exe="$1" recorder="$2"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${V7_BUILD_DIR:-$repo/build}"
wine="${WINE:-/usr/lib/wine/wine64}"
export WINEDEBUG=-all
: "${WINEPREFIX:?a Wine prefix is needed}"

# Each form of the verb: the flags the Linux side's station drivers are handed,
# and wineboot's arguments for those flags under Wine.
cases=$'shutdown --yes\t5\t--kill --shutdown
shutdown --restart --yes\t6\t--kill'

windows="$(find "$WINEPREFIX/drive_c" -mindepth 1 -maxdepth 1 -iname windows -print -quit)"
wineboot="$(find "$windows" -mindepth 2 -maxdepth 2 -ipath '*/system32/wineboot.exe' -print -quit)"
[ -f "$wineboot" ] || { echo "no wineboot.exe in the prefix's system folder" >&2; exit 1; }
scratch="$(mktemp -d /tmp/v7-shutdown.XXXXXX)"
record="$windows/temp/v7-wineboot-record.txt"
daemon=""
cp -p "$wineboot" "$scratch/wineboot.exe"
cleanup() {
    cp -p "$scratch/wineboot.exe" "$wineboot"
    [ -z "$daemon" ] || kill "$daemon" 2>/dev/null || true
    rm -rf "$scratch" "$record"
}
trap cleanup EXIT
cp "$recorder" "$wineboot"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs a Windows program with the recorder in wineboot's place; its output
# (carriage returns dropped) goes to $scratch/out, its exit code to $rc, and
# what the recorder wrote to $recorded.
run_recorded() {
    rm -f "$record"
    rc=0
    V7_WINEBOOT_RECORD='C:\windows\temp\v7-wineboot-record.txt' WINEDLLOVERRIDES="wineboot.exe=n;mscoree,mshtml=" \
        "$wine" "$@" </dev/null 2>&1 | tr -d '\r' >"$scratch/out" || rc=$?
    # ExitWindowsEx starts wineboot.exe and returns without waiting for it.
    for _ in $(seq 100); do [ -f "$record" ] && break; sleep 0.1; done
    recorded="$(cat "$record" 2>/dev/null || echo "(nothing recorded)")"
}

# Wine's own wineboot must not get the request: it would end every program of the prefix.
run_recorded 'C:\windows\system32\wineboot.exe' --help
[ "$recorded" = "--help" ] || { echo "the recorder does not run in wineboot's place: $recorded" >&2; exit 1; }

product='HKLM\Software\Halvorn\Orvane'
while IFS=$'\t' read -r form flags arguments; do
    read -r -a words <<<"$form"

    # Linux: a fresh emulated host, the setting off, its station drivers running.
    export V7_HOST_ROOT="$scratch/host"
    rm -rf "$V7_HOST_ROOT"
    "$build/host/emulated/hosttool/v7-host" init >/dev/null
    printf 'REGEDIT4\n\n[%s]\n"Shutdown Enabled"=hex:00\n' "${product/HKLM/HKEY_LOCAL_MACHINE}" |
        "$build/host/emulated/hosttool/v7-host" reg import -
    "$build/host/emulated/stationd/v7-stationd" >/dev/null 2>&1 </dev/null &
    daemon=$!
    for _ in $(seq 100); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.05; done
    linux_rc=0
    "$build/cli/v7ctl" "${words[@]}" </dev/null >"$scratch/linux.out" 2>&1 || linux_rc=$?
    kill "$daemon" 2>/dev/null || true
    wait "$daemon" 2>/dev/null || true
    daemon=""
    grep -q $'\t'"flags $flags (" "$V7_HOST_ROOT/station.log" ||
        fail "v7ctl $form: the emulated host was not handed flags $flags: $(cut -f2- "$V7_HOST_ROOT/station.log")"
    linux_setting="$("$build/host/emulated/hosttool/v7-host" reg export "${product/HKLM/HKEY_LOCAL_MACHINE}" |
        grep '^"Shutdown Enabled"=')"

    # Wine: the same setting off, then the same command.
    "$wine" reg add "$product" /v "Shutdown Enabled" /t REG_BINARY /d 00 /f </dev/null >/dev/null
    run_recorded "$exe" "${words[@]}"
    [ "$recorded" = "$arguments" ] ||
        fail "v7ctl $form: wineboot.exe started with \"$recorded\", not \"$arguments\" (flags $flags)"
    [ "$rc" = "$linux_rc" ] || fail "v7ctl $form: exit code $rc under Wine, $linux_rc on Linux"
    diff -u --label "Linux: v7ctl $form" --label "Wine: v7ctl $form" "$scratch/linux.out" "$scratch/out" ||
        fail "v7ctl $form: output differs"
    wine_setting="$("$wine" reg query "$product" /v "Shutdown Enabled" </dev/null | tr -d '\r' |
        sed -nE 's/^ +Shutdown Enabled +REG_BINARY +([0-9A-Fa-f]+)$/"Shutdown Enabled"=hex:\1/p')"
    [ "${wine_setting,,}" = "${linux_setting,,}" ] ||
        fail "v7ctl $form: $product holds ${wine_setting:-no setting} under Wine, $linux_setting on Linux"
done <<<"$cases"

[ "$failures" -eq 0 ] || { echo "shutdown_test: $failures failure(s)" >&2; exit 1; }
echo "shutdown_test: v7ctl.exe shutdown reaches ExitWindowsEx under Wine as on Linux"
