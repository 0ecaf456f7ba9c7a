#!/usr/bin/env bash
# Sets a Wine prefix up as the product's installer leaves a Windows machine,
# with exactly what "v7-host init" lays down on an emulated host root: the
# host tool sets up a scratch root, and its registry and C:\WINDOWS are
# carried over into the prefix.
#
#   init.sh [--force] WINEPREFIX
#
# - The registry: the scratch root's HKEY_LOCAL_MACHINE exported as text,
#   imported with Wine's reg.exe (as UTF-16, so names outside ASCII survive).
# - C:\WINDOWS: system.ini's station lines and "Password Lists" merged into
#   the prefix's system.ini, the password files and the profile folders copied.
# - C:\WINDOWS\SYSTEM\*.vxd: real PE files (resource-only DLLs) whose version
#   resource is, byte for byte, the version block the host tool wrote from the
#   driver catalog, so the two hosts cannot disagree on a version.
#
# Creates and boots the prefix when it does not exist. A prefix that already
# holds the product is refused unless --force is given; then its product key,
# profile list, password files and profile folders are replaced.
#
# Environment: V7_BUILD_DIR (the Linux build with the host tool, default
# build/ of this checkout; the tool is built there if missing), WINE (default
# /usr/lib/wine/wine64).
set -euo pipefail

usage() { echo "usage: $0 [--force] WINEPREFIX" >&2; exit 2; }
die() { echo "init.sh: $*" >&2; exit 1; }

force=0
if [ "${1:-}" = --force ]; then force=1; shift; fi
[ $# -eq 1 ] || usage
case "$1" in /*) ;; *) die "the prefix must be an absolute path: $1" ;; esac

export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine="${WINE:-/usr/lib/wine/wine64}"
repo="$(cd "$(dirname "$0")/../../.." && pwd)"
build="${V7_BUILD_DIR:-$repo/build}"
host_tool="$build/host/emulated/hosttool/v7-host"

for tool in "$wine" x86_64-w64-mingw32-windres x86_64-w64-mingw32-ld iconv; do
    command -v "$tool" >/dev/null || die "$tool is missing (scripts/build-windows.sh installs the Windows tools)"
done
if [ ! -x "$host_tool" ]; then
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target v7-host >/dev/null || die "could not build the host tool in $build"
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# --- the installer's state, from the host tool -------------------------------
users="$(V7_HOST_ROOT="$scratch/host" "$host_tool" init | sed -n 's/^ *users: *//p')"
V7_HOST_ROOT="$scratch/host" "$host_tool" reg export >"$scratch/hklm.reg"
source_windows="$scratch/host/drive_c/WINDOWS"

# --- the prefix ----------------------------------------------------------------
# A persistent server with its output sent away: a server started by the
# first wine call would inherit this script's pipes and hold them open.
mkdir -p "$WINEPREFIX"
wineserver -p 10 </dev/null >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || die "could not create the Wine prefix $WINEPREFIX"
fi
drive_c="$WINEPREFIX/drive_c"
[ -d "$drive_c" ] || die "$WINEPREFIX has no drive C:"

reg() { "$wine" reg "$@" </dev/null; }
product_key='HKLM\Software\Halvorn'
profile_list_key='HKLM\Software\Microsoft\Windows\CurrentVersion\ProfileList'
if reg query "$product_key" >/dev/null 2>&1; then
    [ "$force" = 1 ] || die "$WINEPREFIX already holds the product (use --force to replace it)"
    reg delete "$product_key" /f >/dev/null 2>&1 || die "could not delete $product_key"
    reg delete "$profile_list_key" /f >/dev/null 2>&1 || true
fi

# The folder of drive C: (or below it) that Wine would open for NAME: an
# existing entry whose name differs only in case, otherwise NAME itself.
entry_for() {
    local dir="$1" name="$2" existing
    existing="$(find "$dir" -mindepth 1 -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)"
    echo "${existing:-$dir/$name}"
}
windows="$(entry_for "$drive_c" WINDOWS)"
system="$(entry_for "$windows" SYSTEM)"
profiles="$(entry_for "$windows" Profiles)"
system_ini="$(entry_for "$windows" system.ini)"
mkdir -p "$system"

# --- registry ------------------------------------------------------------------
# REGEDIT4 text is read in the ANSI code page, which Wine keeps at 1252; the
# host tool writes UTF-8. The version 5 format in UTF-16 carries every name.
import_file="$(entry_for "$windows" temp)/v7-installer.reg"
mkdir -p "$(dirname "$import_file")"
{
    printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n'
    tail -n +2 "$scratch/hklm.reg" | sed 's/$/\r/'
} | iconv -f UTF-8 -t UTF-16LE >"$import_file"
reg import 'C:\windows\temp\v7-installer.reg' >/dev/null 2>&1 || die "reg import of the installer's keys failed"
rm -f "$import_file"

# --- C:\WINDOWS ------------------------------------------------------------------
# system.ini: the prefix's own sections stay; the sections the installer
# writes replace any earlier copy of themselves.
ini_sections="$(grep -o '^\[[^]]*\]' "$source_windows/system.ini" | awk '{ printf "%s|", tolower($0) }')"
{
    if [ -f "$system_ini" ]; then
        awk -v ours="$ini_sections" '
            /^[ \t]*\[/ { name = tolower($0); sub(/^[ \t]*/, "", name); sub(/[ \t\r]*$/, "", name)
                          skip = index(ours, name "|") > 0 }
            !skip' "$system_ini"
    fi
    cat "$source_windows/system.ini"
} >"$scratch/system.ini"
cp "$scratch/system.ini" "$system_ini"

find "$windows" -maxdepth 1 -type f -iname '*.pwl' -delete
cp -p "$source_windows"/*.PWL "$windows/"
rm -rf "$profiles"
cp -a "$source_windows/Profiles/." "$profiles/"

# --- driver files ----------------------------------------------------------------
# The block starts 6 bytes (wLength, wValueLength, wType) before its key
# "VS_VERSION_INFO" in UTF-16LE; wLength is its whole size.
key_pattern="$(printf 'VS_VERSION_INFO' | iconv -f ASCII -t UTF-16LE | od -An -tx1 | tr -d ' \n' | sed 's/../\\x&/g')"
for vxd in "$source_windows"/SYSTEM/*.vxd; do
    name="$(basename "$vxd")"
    stem="${name%.*}"
    key_at="$(LC_ALL=C grep -obUaP "$key_pattern" "$vxd" | head -n 1 | cut -d: -f1)"
    if [ -z "$key_at" ] || [ "$key_at" -lt 6 ]; then die "no version block in the host tool's $name"; fi
    start=$((key_at - 6))
    length="$(od -An -tu2 -j "$start" -N 2 "$vxd" | tr -d ' ')"
    dd if="$vxd" of="$scratch/$stem.ver" bs=1 skip="$start" count="$length" status=none
    [ "$(stat -c %s "$scratch/$stem.ver")" = "$length" ] || die "the version block of $name is cut short"
    # Resource type 16 is the version resource; ID 1 is where the version calls look.
    printf '1 16 "%s.ver"\n' "$stem" >"$scratch/$stem.rc"
    (cd "$scratch" && x86_64-w64-mingw32-windres -i "$stem.rc" -o "$stem.res.o")
    x86_64-w64-mingw32-ld --dll -e 0 -s -o "$system/$name" "$scratch/$stem.res.o"
done

echo "Wine prefix set up at $WINEPREFIX"
echo "  C:\\WINDOWS: $windows"
echo "  users:      $users"
