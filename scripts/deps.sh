#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Skips the package manager when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libsqlite3-dev libfontconfig-dev libpango1.0-dev libcairo2-dev libpng-dev zlib1g-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev python3-jsonschema
  xvfb xauth xdotool imagemagick fonts-dejavu-core xdg-utils
  clang libclang-rt-14-dev llvm
  desktop-file-utils appstream scdoc dpkg-dev file lintian
  libsystemd-dev systemd
)
# Installed without what they recommend: promtool, which checks the text of
# v7ctl metrics, comes with the prometheus server (its node exporter unneeded);
# the collection's test needs ansible-core alone, not the community collections.
LEAN=(prometheus ansible-core)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=() missing_lean=()
for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${LEAN[@]}"; do installed "$p" || missing_lean+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_lean[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]} ${missing_lean[*]}"
$SUDO apt-get update -qq
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
[ ${#missing_lean[@]} -eq 0 ] ||
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing_lean[@]}" >/dev/null
