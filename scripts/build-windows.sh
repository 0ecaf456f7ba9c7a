#!/usr/bin/env bash
# Builds the Windows side (the host seam's Windows backend, the plain libraries,
# v7ctl.exe, the control center orvane-v7.exe and their tests) with Debian's
# mingw-w64 cross compiler into build-windows/ (or $V7_WINDOWS_BUILD_DIR). The
# window needs wxWidgets built for mingw-w64: scripts/mingw-wx.sh keeps it in a
# cache outside the checkout (0.3 s when it is there; a fresh machine builds it
# once, about 22 minutes). --no-window leaves the window out (v7ctl.exe and the
# plain libraries only) and never builds wx. With --test, runs the tests under
# Wine in a prefix of its own below the build folder, on an Xvfb display of its
# own when the window is built; arguments after -- go to ctest (-R Window).
# Installs its Debian packages itself; skips the package manager when all are there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_WINDOWS_BUILD_DIR:-$here/build-windows}"
run_tests=0
window=1
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --test) run_tests=1 ;;
    --no-window) window=0 ;;
    --) shift; ctest_args=("$@"); break ;;
    *) echo "usage: $0 [--test] [--no-window] [-- ctest arguments]" >&2; exit 2 ;;
  esac
  shift
done

PACKAGES=(
  cmake make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 googletest libcli11-dev nlohmann-json3-dev nsis scdoc groff-base
)
# The window's tests: X displays of their own (xvfb-run needs xauth) and a way
# to find a window on one.
[ "$window" -eq 0 ] || PACKAGES+=(xvfb xauth xdotool)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# wx for mingw-w64 from the cache (built there first if missing); an empty
# prefix configures the build without the window.
wx_prefix=""
if [ "$window" -eq 1 ]; then
  wx_prefix="$(bash "$here/scripts/mingw-wx.sh" | tail -n 1)"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DV7_MINGW_WX_PREFIX="$wx_prefix" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${V7_JOBS:-$(nproc)}"

[ "$run_tests" -eq 1 ] || exit 0

# The Linux build the Windows side is compared with (v7ctl, the host tool and
# the station daemon), in build/ unless V7_BUILD_DIR names another.
export V7_BUILD_DIR="${V7_BUILD_DIR:-$here/build}"
[ -f "$V7_BUILD_DIR/CMakeCache.txt" ] ||
  cmake -S "$here" -B "$V7_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$V7_BUILD_DIR" -j"${V7_JOBS:-$(nproc)}" --target v7ctl v7-host v7-stationd >/dev/null

# Wine: a prefix of the build's own, quiet, with one wineserver kept for the
# whole run (each test program would otherwise start and stop its own, seconds
# each). Its output goes to /dev/null: a wineserver holding ctest's pipes open
# would keep the run from ending.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
# A server left by an earlier run ends first. A new prefix is made by wineboot
# with a server of its own, which is let end: a prefix made under the
# persistent server is left with two service managers, and no driver service
# starts there (sc start fails with 1053).
"$wineserver" -k >/dev/null 2>&1 || true
# The window's display, started before any Wine program: the prefix's desktop
# process takes its display from the first program that needs one, and every
# window of the run appears there.
xvfb_pid=""
if [ "$window" -eq 1 ]; then
  displayfd="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$displayfd" >/dev/null 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$displayfd" ] && break; sleep 0.1; done
  [ -s "$displayfd" ] || { echo "Xvfb did not start" >&2; kill "$xvfb_pid"; exit 1; }
  export DISPLAY=":$(head -n 1 "$displayfd")"
  rm -f "$displayfd"
fi
stop_wine() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap stop_wine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Setting up the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 </dev/null
  "$wineserver" -w
fi
"$wineserver" -p >/dev/null 2>&1 </dev/null
# The prefix's own services started here with their output sent away, so none
# of them inherits a test's pipes; then the stand-in station driver.
"$wine" wineboot >/dev/null 2>&1 </dev/null
bash "$here/host/win32/standin/install.sh" "$WINEPREFIX" "$build/host/win32/standin/brakor_standin.sys"
bash "$here/host/win32/setup/init.sh" --force "$WINEPREFIX" >/dev/null
# The prefix's desktop process ends a moment after the last window closes; a
# program started just then gets no window. A hidden window keeps it for the run.
if [ "$window" -eq 1 ]; then
  "$wine" "$build/tests/desktop_keeper.exe" >/dev/null 2>&1 </dev/null &
fi

export V7_E2E_TRANSCRIPT="$build/v7ctl-e2e-transcript.txt"
export V7_PACKAGE_TRANSCRIPT="$build/package-transcript.txt"
ctest --test-dir "$build" --output-on-failure -j"${V7_JOBS:-$(nproc)}" "${ctest_args[@]}"
