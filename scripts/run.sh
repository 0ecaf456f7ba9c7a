#!/usr/bin/env bash
# Builds the control center, sets up the default emulated host when it is
# missing or lacks some of its parts, starts the station drivers when they are
# not running, and opens the control center.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (set DISPLAY, or use xvfb-run)" >&2
  exit 1
fi

bash "$here/scripts/build.sh"
tool="$build/host/emulated/hosttool/v7-host"
daemon="$build/host/emulated/stationd/v7-stationd"
root="${V7_HOST_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/orvane-v7/host}"
export V7_HOST_ROOT="$root"

"$tool" init --if-needed  # sets up a missing root, completes a partial one
if ! "$tool" drivers >/dev/null 2>&1; then
  mkdir -p "$root"
  nohup "$daemon" >>"$root/stationd.out" 2>&1 &
  for _ in $(seq 50); do "$tool" drivers >/dev/null 2>&1 && break; sleep 0.1; done
fi
exec "$build/app/orvane-v7"
