#!/usr/bin/env bash
# v7ctl.exe under Wine against the stand-in station driver and a prefix set up
# as the installer leaves a machine, beside the Linux v7ctl against a fresh
# emulated host with v7-stationd: every verb must print the same text and end
# with the same exit code, and set display must leave the same product key.
#
#   v7ctl_e2e.sh V7CTL_EXE
#
# Environment: WINEPREFIX (a prefix with the stand-in driver installed by
# host/win32/standin/install.sh and a persistent wineserver; scripts/
# build-windows.sh --test makes one), V7_BUILD_DIR (the Linux build with
# v7ctl, v7-host and v7-stationd, default build/), WINE (default
# /usr/lib/wine/wine64), V7_E2E_TRANSCRIPT (where the Wine side's commands and
# output are written; default: not kept).
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 V7CTL_EXE" >&2; exit 2; }
exe="$1"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${V7_BUILD_DIR:-$repo/build}"
wine="${WINE:-/usr/lib/wine/wine64}"
export WINEDEBUG=-all
: "${WINEPREFIX:?a Wine prefix with the stand-in driver is needed}"
for tool in host/emulated/hosttool/v7-host host/emulated/stationd/v7-stationd cli/v7ctl; do
    [ -x "$build/$tool" ] || { echo "the Linux build has no $tool ($build)" >&2; exit 1; }
done

scratch="$(mktemp -d /tmp/v7ctl-e2e.XXXXXX)"
daemon=""
cleanup() {
    [ -z "$daemon" ] || kill "$daemon" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The commands, one a line, their words separated by tabs.
commands=$'status\non\ntest\nset\tdisplay\t800 x 600, 256 colors\t--refresh\t60\noptions\nversion\nusers\nmessage\thello'

# Runs every command with the given program; per command, its output
# (carriage returns dropped) and exit code go to DIR/N.out and DIR/N.rc.
run_all() {
    local dir="$1"; shift
    mkdir -p "$dir"
    local n=0 words rc
    while IFS=$'\t' read -r -a words; do
        n=$((n + 1))
        rc=0
        "$@" "${words[@]}" </dev/null >"$dir/$n.raw" 2>"$dir/$n.err" || rc=$?
        tr -d '\r' <"$dir/$n.raw" >"$dir/$n.out"
        # The time the PC has run may pass a minute between the two sides.
        sed -E 's/^Running for [0-9]+ days [0-9]+  hours [0-9]+ minutes\.$/Running for (time since start)./' \
            "$dir/$n.out" >"$dir/$n.cmp"
        echo "$rc" >"$dir/$n.rc"
    done <<<"$commands"
}

# Each key of the product's tree with its values, in an order both share
# (Wine lists values alphabetically, the emulated host in the order written).
normalized() {
    tr -d '\r' | awk '/^\[/ { key = $0; print key; next } NF && !/^(REGEDIT4|Windows Registry Editor)/ { print key "\t" $0 }' |
        LC_ALL=C sort
}

# --- Linux: a fresh emulated host with its station daemon ----------------------
export V7_HOST_ROOT="$scratch/host"
"$build/host/emulated/hosttool/v7-host" init >/dev/null
"$build/host/emulated/stationd/v7-stationd" >/dev/null 2>&1 </dev/null &
daemon=$!
for _ in $(seq 100); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.05; done
[ -S "$V7_HOST_ROOT/dev/Brakor" ] || { echo "v7-stationd did not start" >&2; exit 1; }
run_all "$scratch/linux" "$build/cli/v7ctl"
"$build/host/emulated/hosttool/v7-host" reg export 'HKEY_LOCAL_MACHINE\Software\Halvorn' | normalized >"$scratch/linux.reg"

# --- Wine: the installer's state laid down afresh, the driver restarted --------
# (every start of the stand-in begins with the station off and no fault).
bash "$repo/host/win32/setup/init.sh" --force "$WINEPREFIX" >/dev/null
"$wine" reg delete 'HKLM\System\CurrentControlSet\Services\Brakor' /v Faults /f </dev/null >/dev/null 2>&1 || true
"$wine" sc stop Brakor </dev/null >/dev/null 2>&1 || true
"$wine" sc start Brakor </dev/null >/dev/null || { echo "the stand-in driver did not start" >&2; exit 1; }
run_all "$scratch/wine" "$wine" "$exe"
"$wine" reg export 'HKLM\Software\Halvorn' 'C:\windows\temp\v7ctl-e2e.reg' /y </dev/null >/dev/null 2>&1
windows="$(find "$WINEPREFIX/drive_c" -mindepth 1 -maxdepth 1 -iname windows -print -quit)"
iconv -f UTF-16 -t UTF-8 "$windows/temp/v7ctl-e2e.reg" | normalized >"$scratch/wine.reg"
rm -f "$windows/temp/v7ctl-e2e.reg"

# --- the same text, the same exit codes, the same keys ---------------------------
n=0
while IFS= read -r line; do
    n=$((n + 1))
    what="v7ctl ${line//$'\t'/ }"
    [ "$(cat "$scratch/linux/$n.rc")" = "$(cat "$scratch/wine/$n.rc")" ] ||
        fail "$what: exit code $(cat "$scratch/wine/$n.rc") under Wine, $(cat "$scratch/linux/$n.rc") on Linux"
    diff -u --label "Linux: $what" --label "Wine: $what" "$scratch/linux/$n.cmp" "$scratch/wine/$n.cmp" ||
        fail "$what: output differs"
    [ -s "$scratch/wine/$n.out" ] || fail "$what: printed nothing"
done <<<"$commands"
[ "$(cat "$scratch/wine/1.rc")" = 0 ] || fail "v7ctl status failed under Wine"
diff -u --label "Linux: product key" --label "Wine: product key" "$scratch/linux.reg" "$scratch/wine.reg" ||
    fail "the product key differs after the commands"
display='HKLM\Software\Halvorn\Orvane\Setup\Station1\Display\DEFAULT'
"$wine" reg query "$display" </dev/null | tr -d '\r' >"$scratch/display.txt"
grep -q 'Mode[[:space:]]*REG_SZ[[:space:]]*8,800,600$' "$scratch/display.txt" ||
    fail "set display left no 256-colour 800 x 600 mode: $(cat "$scratch/display.txt")"

if [ -n "${V7_E2E_TRANSCRIPT:-}" ]; then
    {
        n=0
        while IFS= read -r line; do
            n=$((n + 1))
            words="${line//$'\t'/\" \"}"
            echo "\$ wine v7ctl.exe \"$words\""
            cat "$scratch/wine/$n.out"
            echo "[exit code $(cat "$scratch/wine/$n.rc")]"
            echo
        done <<<"$commands"
        echo "\$ wine reg query $display"
        cat "$scratch/display.txt"
    } >"$V7_E2E_TRANSCRIPT"
fi
[ "$failures" -eq 0 ] || { echo "v7ctl_e2e: $failures failure(s)" >&2; exit 1; }
echo "v7ctl_e2e: v7ctl.exe under Wine answers as v7ctl on Linux"
