#!/usr/bin/env bash
# Start-up of the control center against a bare wx frame, measured in the same
# run on a fresh host root with the station drivers running: wall time from exec
# to the main window mapped, and peak resident memory 1.5 s after that map (steady
# state). Prints medians and ratios. Set GDK_SCALE=2 to measure a HiDPI start.
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash bench/startup.sh [RUNS]
# (-noreset: the runs start the program many times in quick succession, and a
# server that resets when its last client leaves refuses some of those starts.)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
runs="${1:-15}"
probe="$build/bench/startup/startup-probe"
bare="$build/bench/startup/bare-frame"
app="${V7_APP:-$build/app/orvane-v7}"   # V7_APP: another build of the program, to compare
[ -x "$probe" ] && [ -x "$app" ] || { echo "startup.sh: build first (bash scripts/build.sh)" >&2; exit 1; }

export V7_HOST_ROOT="$(mktemp -d /tmp/v7bench-XXXXXX)"
trap 'kill $daemon 2>/dev/null; wait $daemon 2>/dev/null; rm -rf "$V7_HOST_ROOT"' EXIT
"$build/host/emulated/hosttool/v7-host" init >/dev/null
"$build/host/emulated/stationd/v7-stationd" >/dev/null 2>&1 &
daemon=$!
for _ in $(seq 50); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.1; done

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

: >"$V7_HOST_ROOT/bare.txt"; : >"$V7_HOST_ROOT/app.txt"
"$probe" "$bare" >/dev/null; "$probe" "$app" >/dev/null   # warm the caches once
for _ in $(seq "$runs"); do   # interleaved, so both see the same machine
  "$probe" "$bare" >>"$V7_HOST_ROOT/bare.txt"
  "$probe" "$app" >>"$V7_HOST_ROOT/app.txt"
done
bt=$(cut -d' ' -f1 "$V7_HOST_ROOT/bare.txt" | median); bm=$(cut -d' ' -f2 "$V7_HOST_ROOT/bare.txt" | median)
at=$(cut -d' ' -f1 "$V7_HOST_ROOT/app.txt" | median);  am=$(cut -d' ' -f2 "$V7_HOST_ROOT/app.txt" | median)
printf 'bare frame:     %8.1f ms %8d KiB\n' "$bt" "$bm"
printf 'control center: %8.1f ms %8d KiB\n' "$at" "$am"
awk -v at="$at" -v bt="$bt" -v am="$am" -v bm="$bm" \
  'BEGIN { printf "ratio:          %8.2f x    %8.2f x   (targets 1.15 x, 1.15 x; %s runs)\n", at/bt, am/bm, "'"$runs"'" }'
