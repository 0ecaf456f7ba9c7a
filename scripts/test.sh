#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, GUI tests and end-to-end
# tests (the last two under a virtual X server).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
bash "$here/scripts/build.sh"
cd "$build"
# Tests that need the display share one X server and run one at a time
# (RESOURCE_LOCK display); the others run in parallel. -noreset: a server that
# resets when its last client leaves now and then refuses the next program.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --output-on-failure -j"$(nproc)" --timeout 300
