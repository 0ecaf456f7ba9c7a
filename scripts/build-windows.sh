#!/usr/bin/env bash
# Builds the Windows side (the host seam's Windows backend, the plain libraries,
# v7ctl.exe and their tests) with Debian's mingw-w64 cross compiler into
# build-windows/ (or $V7_WINDOWS_BUILD_DIR). With --test, runs its tests under
# Wine in a prefix of its own below the build folder.
# Installs its Debian packages itself; skips the package manager when all are there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_WINDOWS_BUILD_DIR:-$here/build-windows}"
run_tests=0
for arg in "$@"; do
  case "$arg" in
    --test) run_tests=1 ;;
    *) echo "usage: $0 [--test]" >&2; exit 2 ;;
  esac
done

PACKAGES=(
  cmake make
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 googletest libcli11-dev nlohmann-json3-dev nsis scdoc groff-base
)
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

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
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
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Setting up the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 </dev/null
  "$wineserver" -w
fi
"$wineserver" -p >/dev/null 2>&1 </dev/null
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
# The prefix's own services started here with their output sent away, so none
# of them inherits a test's pipes; then the stand-in station driver.
"$wine" wineboot >/dev/null 2>&1 </dev/null
bash "$here/host/win32/standin/install.sh" "$WINEPREFIX" "$build/host/win32/standin/brakor_standin.sys"
bash "$here/host/win32/setup/init.sh" --force "$WINEPREFIX" >/dev/null

export V7_E2E_TRANSCRIPT="$build/v7ctl-e2e-transcript.txt"
export V7_PACKAGE_TRANSCRIPT="$build/package-transcript.txt"
ctest --test-dir "$build" --output-on-failure -j"${V7_JOBS:-$(nproc)}"
