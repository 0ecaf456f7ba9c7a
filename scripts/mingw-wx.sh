#!/usr/bin/env bash
# Builds wxWidgets 3.2 for 64-bit Windows (MSW port, static, unicode) with
# Debian's mingw-w64 cross compiler, from Debian's own source packages, into a
# cache folder outside the checkout, and prints the install prefix (for
# `wx-config --prefix=`) on its last line.
#
# The cache folder is $V7_MINGW_CACHE if set, else /var/cache/orvane-v7-mingw
# for root and ${XDG_CACHE_HOME:-$HOME/.cache}/orvane-v7-mingw for anyone else.
# Each build lives in a folder named by its key: the wx and libpng source
# versions, the compiler version and a hash of the configure flags. A build is
# reused only when its complete-marker is there; the marker is written last, so
# a build that was killed is made again from the start.
#
# The sources come through an apt configuration of the cache's own (its own
# sources list with a deb-src entry, its own lists and package cache), so the
# system's apt sources and lists are left as they are. The "+dfsg" wx source
# has no bundled png, zlib or expat: zlib is Debian's libz-mingw-w64-dev,
# libpng is cross-built from Debian's libpng1.6 source into the wx prefix (so
# `wx-config --prefix=` moves its path too), and with no mingw expat there is
# no xrc.
#
# Options: --refresh  fetch the source lists again (a newer Debian source
#                     version gives a new key, hence a new build).
set -euo pipefail

refresh=0
for arg in "$@"; do
  case "$arg" in
    --refresh) refresh=1 ;;
    *) echo "usage: $0 [--refresh]" >&2; exit 2 ;;
  esac
done

triplet=x86_64-w64-mingw32
CC=$triplet-gcc-posix
CXX=$triplet-g++-posix
jobs="${V7_JOBS:-$(nproc)}"
suite=bookworm
mirror=http://deb.debian.org/debian

say() { echo "mingw-wx: $*" >&2; }

PACKAGES=(
  make dpkg-dev xz-utils
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [ -n "${V7_MINGW_CACHE:-}" ]; then
  cache="$V7_MINGW_CACHE"
elif [ "$(id -u)" -eq 0 ]; then
  cache=/var/cache/orvane-v7-mingw
else
  cache="${XDG_CACHE_HOME:-$HOME/.cache}/orvane-v7-mingw"
fi
mkdir -p "$cache/apt/lists/partial" "$cache/apt/archives/partial" "$cache/logs"

# The private apt configuration: only our deb-src line, only our lists. The
# system's package status is read (never written) so apt-get source knows
# dpkg-dev is there.
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
printf 'deb-src [signed-by=%s] %s %s main\n' "$keyring" "$mirror" "$suite" >"$cache/apt/sources.list"
APT_OPTS=(
  -o "Dir::Etc::sourcelist=$cache/apt/sources.list"
  -o "Dir::Etc::sourceparts=-"
  -o "Dir::State::Lists=$cache/apt/lists"
  -o "Dir::Cache=$cache/apt"
  -o "Dir::Cache::archives=$cache/apt/archives"
  -o "Dir::Cache::pkgcache="
  -o "Dir::Cache::srcpkgcache="
  -o "APT::Sandbox::User=root"
)
lists_update() {
  say "fetching the source lists of Debian $suite"
  apt-get "${APT_OPTS[@]}" update -qq >&2
}
source_version() {
  apt-cache "${APT_OPTS[@]}" showsrc --only-source "$1" 2>/dev/null |
    awk '/^Version:/ { print $2; exit }'
}
if [ "$refresh" -eq 1 ] || ! ls "$cache/apt/lists/"*Sources* >/dev/null 2>&1; then
  lists_update
fi
wx_version="$(source_version wxwidgets3.2)"
png_version="$(source_version libpng1.6)"
if [ -z "$wx_version" ] || [ -z "$png_version" ]; then
  echo "mingw-wx: the $suite source lists name no wxwidgets3.2 or libpng1.6" >&2
  exit 1
fi
gcc_version="$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)"
zlib_version="$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"

PNG_FLAGS=("--host=$triplet" --disable-shared --enable-static)
WX_FLAGS=(
  "--host=$triplet" --with-msw --disable-shared --enable-unicode
  --with-zlib=sys --with-libpng=sys
  --without-libjpeg --without-libtiff --without-expat --without-liblzma
  --without-libmspack --without-opengl
  --disable-webview --disable-mediactrl --disable-stc --disable-aui
  --disable-propgrid --disable-ribbon --disable-richtext --disable-xrc
)
flags_hash="$(printf '%s\n' "png:" "${PNG_FLAGS[@]}" "wx:" "${WX_FLAGS[@]}" "zlib:$zlib_version" |
  sha256sum | cut -c1-12)"
key="$(printf 'wx%s-png%s-gcc%s-%s' "$wx_version" "$png_version" "$gcc_version" "$flags_hash" |
  tr -c 'A-Za-z0-9.-' '_')"
prefix="$cache/$key"
marker="$prefix/.v7-complete"

# The licence texts of what a program built with the prefix carries inside it,
# in share/licenses/ of the prefix, for the packages to ship beside the program.
notices="$prefix/share/licenses"
copy_notices() {  # wx-source png-source
  mkdir -p "$notices.tmp"
  cp "$1/docs/licence.txt" "$notices.tmp/wxWidgets-licence.txt" &&
    cp "$1/docs/lgpl.txt" "$notices.tmp/wxWidgets-lgpl.txt" &&
    cp "$2/LICENSE" "$notices.tmp/libpng-licence.txt" || return 1
  rm -rf "$notices" && mv "$notices.tmp" "$notices"
}
# A prefix built before the texts were kept gets them from the same sources.
fetch_notices() {
  local tmp
  tmp="$(mktemp -d "$cache/notices.XXXXXX")"
  say "fetching the licence texts for $prefix"
  if (cd "$tmp" && apt-get "${APT_OPTS[@]}" source -qq "libpng1.6=$png_version" "wxwidgets3.2=$wx_version") >>"$cache/logs/$key.log" 2>&1 &&
    copy_notices "$(find "$tmp" -mindepth 1 -maxdepth 1 -type d -name 'wxwidgets3.2-*')" \
                 "$(find "$tmp" -mindepth 1 -maxdepth 1 -type d -name 'libpng1.6-*')"; then
    rm -rf "$tmp"
  else
    rm -rf "$tmp" "$notices.tmp"
    fail "the licence texts of wxwidgets3.2 and libpng1.6"
  fi
}
reuse() {
  [ -f "$marker" ] || return 1
  if [ ! -d "$notices" ]; then
    exec 9>"$cache/$key.lock"
    flock 9
    [ -d "$notices" ] || fetch_notices
  fi
  say "reusing $prefix"
  echo "$prefix"
}
fail() { say "failed: $1; the end of $cache/logs/$key.log:"; tail -n 30 "$cache/logs/$key.log" >&2; exit 1; }

reuse && exit 0

# One build per key at a time; a second caller waits and then reuses it.
exec 9>"$cache/$key.lock"
flock 9
reuse && exit 0

log="$cache/logs/$key.log"
work="$cache/$key.work"
rm -rf "$prefix" "$work"
mkdir -p "$work" "$prefix"
: >"$log"
say "building $key (log: $log)"
seconds() { date +%s; }
took() { local s=$(($(seconds) - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }
t_all=$(seconds)

fetch() {  # package version
  (cd "$work" && apt-get "${APT_OPTS[@]}" source -qq "$1=$2") >>"$log" 2>&1
}
t=$(seconds)
fetch_or_restart() {  # package version
  fetch "$1" "$2" && return
  # The lists may name a version the mirror no longer has: with fresh lists
  # the key may change, so the script starts again, once.
  [ -z "${V7_MINGW_REFETCHED:-}" ] || fail "apt-get source $1=$2"
  rm -rf "$prefix" "$work"
  flock -u 9
  # shellcheck disable=SC2093
  V7_MINGW_REFETCHED=1 exec bash "$0" --refresh
}
fetch_or_restart libpng1.6 "$png_version"
fetch_or_restart wxwidgets3.2 "$wx_version"
say "sources fetched in $(took "$t")"
png_src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)"
wx_src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'wxwidgets3.2-*' | head -1)"
{ [ -n "$png_src" ] && [ -n "$wx_src" ]; } || fail "unpacked sources not found in $work"

t=$(seconds)
mkdir -p "$work/png-build"
(cd "$work/png-build" &&
  "$png_src/configure" "${PNG_FLAGS[@]}" --prefix="$prefix" CC="$CC" &&
  make -j"$jobs" && make install) >>"$log" 2>&1 || fail "libpng"
say "libpng built in $(took "$t")"

# pkg-config is kept to the prefix: the build machine's own libpng is Linux's.
t=$(seconds)
mkdir -p "$work/wx-build"
(cd "$work/wx-build" &&
  PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
  "$wx_src/configure" "${WX_FLAGS[@]}" --prefix="$prefix" CC="$CC" CXX="$CXX" \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib") >>"$log" 2>&1 || fail "wx configure"
say "wx configured in $(took "$t")"
t=$(seconds)
(cd "$work/wx-build" && make -j"$jobs") >>"$log" 2>&1 || fail "wx make"
say "wx built in $(took "$t")"
(cd "$work/wx-build" && make install) >>"$log" 2>&1 || fail "wx make install"
# wx installs bin/wx-config as a link to an absolute path; a relative one
# keeps it working when the prefix is restored somewhere else.
relink_wx_config() {
  local cfg
  cfg="$(readlink "$1/bin/wx-config")" || return 1
  ln -sfn "../lib/wx/config/${cfg##*/}" "$1/bin/wx-config"
}
relink_wx_config "$prefix" || fail "bin/wx-config is not a link"

copy_notices "$wx_src" "$png_src" || fail "the licence texts"
rm -rf "$work"
{
  echo "wxwidgets3.2 $wx_version"
  echo "libpng1.6 $png_version"
  echo "gcc-mingw-w64-x86-64-posix $gcc_version"
  echo "libz-mingw-w64-dev $zlib_version"
  echo "libpng flags: ${PNG_FLAGS[*]}"
  echo "wx flags: ${WX_FLAGS[*]}"
} >"$marker.tmp"
mv "$marker.tmp" "$marker"
say "done in $(took "$t_all"), $(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix"
