#!/usr/bin/env bash
# Start-up of the control center against a bare wx frame, measured in the same
# run on a fresh host root with the station drivers running: wall time from exec
# to the main window mapped, and peak resident memory 1.5 s after that map (steady
# state). Prints medians and ratios. Set GDK_SCALE=2 to measure a HiDPI start.
# The bare frame with a menu bar is a second yardstick: what any window that
# shows text pays for its fonts before it is mapped, which the bare frame never does.
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash bench/startup.sh [RUNS]
# (-noreset: the runs start the program many times in quick succession, and a
# server that resets when its last client leaves refuses some of those starts.)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
runs="${1:-15}"
probe="$build/bench/startup/startup-probe"
bare="$build/bench/startup/bare-frame"
menu="$build/bench/startup/bare-menu-frame"
app="${V7_APP:-$build/app/orvane-v7}"   # V7_APP: another build of the program, to compare
for p in "$probe" "$bare" "$menu" "$app"; do
  [ -x "$p" ] || { echo "startup.sh: $p is missing: build first (bash scripts/build.sh)" >&2; exit 1; }
done

export V7_HOST_ROOT="$(mktemp -d /tmp/v7bench-XXXXXX)"
trap 'kill $daemon 2>/dev/null; wait $daemon 2>/dev/null; rm -rf "$V7_HOST_ROOT"' EXIT
"$build/host/emulated/hosttool/v7-host" init >/dev/null
"$build/host/emulated/stationd/v7-stationd" >/dev/null 2>&1 &
daemon=$!
for _ in $(seq 50); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.1; done

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

for p in "$bare" "$menu" "$app"; do "$probe" "$p" >/dev/null; done   # warm the caches once
: >"$V7_HOST_ROOT/bare.txt"; : >"$V7_HOST_ROOT/menu.txt"; : >"$V7_HOST_ROOT/app.txt"
for _ in $(seq "$runs"); do   # interleaved, so all see the same machine
  "$probe" "$bare" >>"$V7_HOST_ROOT/bare.txt"
  "$probe" "$menu" >>"$V7_HOST_ROOT/menu.txt"
  "$probe" "$app" >>"$V7_HOST_ROOT/app.txt"
done
col() { cut -d' ' -f"$1" "$V7_HOST_ROOT/$2.txt" | median; }
bt=$(col 1 bare); bm=$(col 2 bare); mt=$(col 1 menu); mm=$(col 2 menu); at=$(col 1 app); am=$(col 2 app)
row() { awk -v n="$1" -v t="$2" -v m="$3" -v bt="$bt" -v bm="$bm" \
  'BEGIN { printf "%-26s %8.1f ms %8d KiB   %5.2f x %5.2f x\n", n, t, m, t/bt, m/bm }'; }
printf '%-26s %11s %12s   %s\n' "" "time" "memory" "against the bare frame"
row "bare frame:" "$bt" "$bm"
row "bare frame with menu bar:" "$mt" "$mm"
row "control center:" "$at" "$am"
awk -v at="$at" -v mt="$mt" -v am="$am" -v mm="$mm" -v runs="$runs" \
  'BEGIN { printf "control center against the frame with menu bar: %.2f x time, %.2f x memory (%s runs; target 1.15 x against the bare frame)\n", at/mt, am/mm, runs }'
# A shared machine's speed drifts between rounds; the ratio taken within each
# round, then its median, is steadier than the ratio of the medians.
perround() { paste -d' ' "$V7_HOST_ROOT/$1.txt" "$V7_HOST_ROOT/bare.txt" | awk '{print $1/$3}' | median; }
awk -v m="$(perround menu)" -v a="$(perround app)" \
  'BEGIN { printf "time against the bare frame, median of the per-round ratios: menu-bar frame %.2f x, control center %.2f x\n", m, a }'
