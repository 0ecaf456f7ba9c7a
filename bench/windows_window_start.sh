#!/usr/bin/env bash
# Time from the start of orvane-v7.exe under Wine to its visible main window,
# over N starts (default 5); prints each and the median. Uses the prefix that
# `scripts/build-windows.sh --test` set up (its stand-in driver and host), one
# persistent wineserver and a hidden window that keeps the prefix's desktop, as
# the tests do. Run it after that script, on a display or under xvfb-run.
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash bench/windows_window_start.sh [N]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_WINDOWS_BUILD_DIR:-$here/build-windows}"
starts="${1:-5}"
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -f "$WINEPREFIX/system.reg" ] || { echo "no prefix: run scripts/build-windows.sh --test first" >&2; exit 1; }
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -p >/dev/null 2>&1 </dev/null
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot >/dev/null 2>&1 </dev/null
"$wine" sc start Brakor >/dev/null 2>&1 </dev/null || true  # the stand-in starts on demand
"$wine" "$build/tests/desktop_keeper.exe" >/dev/null 2>&1 </dev/null &
sleep 1
times=()
for i in $(seq "$starts"); do
  start=$(date +%s%N)
  "$wine" "$build/app/orvane-v7.exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Orvane V7 Control Center$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "start $i ended without a window" >&2; exit 1; }
    (( $(date +%s%N) - start < 30000000000 )) || { echo "start $i: no window in 30 s" >&2; kill "$pid"; exit 1; }
    sleep 0.02
  done
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  times+=("$ms")
  echo "start $i: $ms ms"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sleep 1
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (starts + 1) / 2 ))p")
echo "median: $median ms over $starts starts"
