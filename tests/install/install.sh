#!/usr/bin/env bash
# The packaging: a DESTDIR install of the build in $1 (layout, icons, manual
# pages, the validators, each program's --version and --help), then the Debian
# package built from it (its relations, lintian), unpacked into a scratch root,
# running its own programs end to end, the window's class too with a display.
set -euo pipefail
build="$1"
version=1.20
work="$(mktemp -d)"
daemon_pid=""
program_pid=""
cleanup() {
  for pid in $program_pid $daemon_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install test: $*" >&2; exit 1; }

# --- DESTDIR install --------------------------------------------------------
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
usr="$work/dest/usr"
layout=(
  bin/orvane-v7 bin/v7ctl bin/v7-host libexec/orvane-v7/v7-stationd
  share/applications/orvane-v7.desktop share/metainfo/orvane-v7.metainfo.xml
  share/icons/hicolor/scalable/apps/orvane-v7.svg lib/systemd/user/v7-stationd.service
  lib/systemd/system/v7-stationd.service
  share/man/man1/orvane-v7.1.gz share/man/man1/v7ctl.1.gz share/man/man1/v7-host.1.gz
  share/man/man1/v7-stationd.1.gz share/doc/orvane-v7/copyright share/bash-completion/completions/v7ctl
  share/doc/orvane-v7/examples/v7-metrics.service share/doc/orvane-v7/examples/v7-metrics.timer
  share/ansible/collections/ansible_collections/halvorn/orvane/plugins/modules/station.py
)
for size in 16 24 32 48 64 128 256; do layout+=("share/icons/hicolor/${size}x${size}/apps/orvane-v7.png"); done
for f in "${layout[@]}"; do [ -s "$usr/$f" ] || fail "missing $f"; done
# The help viewer module, in the library folder (lib or lib/<multiarch>).
viewer="$(cd "$usr" && find lib* -path '*/orvane-v7/help-viewer.so')"
[ -n "$viewer" ] || fail "missing the help viewer module under $usr/lib*"
! ldd "$usr/$viewer" | grep 'not found' || fail "the help viewer module's libraries do not resolve"
grep -qaF "../$viewer" "$usr/bin/orvane-v7" || fail "the program does not look for its help viewer at ../$viewer"
ldd "$usr/bin/orvane-v7" | grep wx_gtk3u_html >/dev/null && fail "the program loads wx html at start"
for size in 16 256; do  # a PNG's width and height: big-endian at bytes 16 and 20
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$usr/share/icons/hicolor/${size}x${size}/apps/orvane-v7.png")
  [ "$w $h" = "$size $size" ] || fail "the ${size}px icon is $w x $h"
done
for size in 16 24 32 48 64 128 256; do  # the tile's rounded corners are see-through, its edges' middles not
  icon="$usr/share/icons/hicolor/${size}x${size}/apps/orvane-v7.png"
  alpha="$(convert "$icon" -format '%[fx:p{0,0}.a+p{w-1,0}.a+p{0,h-1}.a+p{w-1,h-1}.a] %[fx:p{w/2,0}.a]' info:)"
  [ "$alpha" = "0 1" ] || fail "the ${size}px icon's corner and edge alpha: $alpha"
done
for page in "$usr"/share/man/man1/*.1.gz; do
  sections="$(zcat "$page" | grep '^\.SH')" || fail "$page is not a manual page"
  for s in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "SEE ALSO"; do
    grep -qx "\.SH $s" <<<"$sections" || fail "$(basename "$page") has no $s section"
  done
done
grep -qx "ExecStart=/usr/libexec/orvane-v7/v7-stationd" "$usr/lib/systemd/user/v7-stationd.service" \
  || fail "the user unit does not start the installed daemon"
system_root=/var/lib/orvane-v7/host
grep -qx "ExecStart=/usr/libexec/orvane-v7/v7-stationd --root $system_root" "$usr/lib/systemd/system/v7-stationd.service" \
  || fail "the system unit does not start the installed daemon on $system_root"
# The units as systemd reads them, each in its mode: their programs (here under
# DESTDIR) and manual pages must exist, and readiness and the set-up step must
# be understood.
if command -v systemd-analyze >/dev/null; then
  mkdir -m 700 "$work/run"
  for mode in user system; do
    mkdir -m 700 "$work/$mode"
    sed "s|=\(-\?\)/usr/|=\1$usr/|" "$usr/lib/systemd/$mode/v7-stationd.service" >"$work/$mode/v7-stationd.service"
    XDG_RUNTIME_DIR="$work/run" MANPATH="$usr/share/man" \
      systemd-analyze "--$mode" verify "$work/$mode/v7-stationd.service" >"$work/verify.out" 2>&1 \
      && [ ! -s "$work/verify.out" ] || fail "systemd-analyze --$mode verify: $(cat "$work/verify.out")"
  done
  # The metrics example's service and timer, as an administrator copies them.
  MANPATH="$usr/share/man" systemd-analyze verify "$usr"/share/doc/orvane-v7/examples/v7-metrics.{service,timer} \
    >"$work/verify.out" 2>&1 || fail "systemd-analyze verify (metrics example): $(cat "$work/verify.out")"
else
  echo "install test: systemd-analyze is missing (Debian package systemd): the unit is not verified"
fi
desktop-file-validate "$usr/share/applications/orvane-v7.desktop"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/orvane-v7.metainfo.xml" >/dev/null \
  || appstreamcli validate --no-net --pedantic "$usr/share/metainfo/orvane-v7.metainfo.xml"

for p in bin/orvane-v7 bin/v7ctl bin/v7-host libexec/orvane-v7/v7-stationd; do
  name="$(basename "$p")"
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/$p" --version)" || fail "$name --version failed"
  [ "$out" = "$name $version" ] || fail "$name --version says '$out'"
  env -u DISPLAY -u WAYLAND_DISPLAY "$usr/$p" --help | grep -qi "usage" || fail "$name --help shows no usage"
done

# --- the Debian package, unpacked and run -----------------------------------
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null
deb="$work/pkg/orvane-v7_${version}-1_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") (got: $(ls "$work/pkg"))"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libsqlite3 libwx libsystemd; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils ] || fail "Recommends is not xdg-utils: $(dpkg-deb -f "$deb" Recommends)"
findings="$(lintian --fail-on error,warning "$deb" 2>/dev/null)" || fail "lintian: $findings"
dpkg-deb -x "$deb" "$work/root"
# The package holds what a plain install does, its Debian changelog and overrides.
diff <(cd "$usr" && find . -type f | sort) \
  <(cd "$work/root/usr" && find . -type f ! -path ./share/doc/orvane-v7/changelog.Debian.gz \
    ! -path ./share/lintian/overrides/orvane-v7 | sort) \
  || fail "the package's files differ from the install's"
[ -s "$work/root/usr/share/doc/orvane-v7/changelog.Debian.gz" ] || fail "the package has no Debian changelog"

export V7_HOST_ROOT="$work/host"
"$work/root/usr/bin/v7-host" init >/dev/null
"$work/root/usr/libexec/orvane-v7/v7-stationd" &
daemon_pid=$!
for _ in $(seq 50); do "$work/root/usr/bin/v7-host" drivers >/dev/null 2>&1 && break; sleep 0.1; done
status="$("$work/root/usr/bin/v7ctl" status)" || fail "v7ctl status failed: $status"
grep -qx "Drivers: running" <<<"$status" || fail "v7ctl status: $status"

# The launcher's StartupWMClass is the class the control center's window has
# (with a display only), so a dock groups the window under the launcher.
[ -n "${DISPLAY:-}" ] || exit 0
wmclass="$(sed -n 's/^StartupWMClass=//p' "$usr/share/applications/orvane-v7.desktop")"
[ -n "$wmclass" ] || fail "the desktop file has no StartupWMClass"
"$work/root/usr/bin/orvane-v7" 2>/dev/null &
program_pid=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | head -1)" && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the control center showed no window"
xdotool search --pid "$program_pid" --class "^$wmclass\$" | grep -qx "$window" \
  || fail "the window's class is not StartupWMClass $wmclass: $(xprop -id "$window" WM_CLASS 2>&1)"
