#!/usr/bin/env bash
# Makes docs/panel.png from the real program: a fresh host root, the station
# drivers, the control center under a private virtual X server, one screenshot
# of its main window. The environment passes on, so GDK_DPI_SCALE, GDK_SCALE and
# GTK_THEME show the window at a larger font, on a HiDPI screen or in a dark theme.
#   bash scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
out="${1:-$here/docs/panel.png}"

export V7_HOST_ROOT="$(mktemp -d /tmp/v7shot-XXXXXX)"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 2048x1536x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $daemon $xvfb 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$V7_HOST_ROOT"' EXIT
export DISPLAY="$display"

"$build/host/emulated/hosttool/v7-host" init >/dev/null
"$build/host/emulated/stationd/v7-stationd" >/dev/null 2>&1 &
daemon=$!
for _ in $(seq 100); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.05; done
"$build/app/orvane-v7" >/dev/null 2>&1 &
app=$!
wid=""
for _ in $(seq 200); do
  wid=$(xdotool search --onlyvisible --name '^Orvane V7 Control Center$' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break; sleep 0.05
done
[ -n "$wid" ] || { echo "screenshot.sh: the main window did not appear" >&2; exit 1; }
sleep 1   # first paint
import -window "$wid" "$out"
echo "wrote $out"
