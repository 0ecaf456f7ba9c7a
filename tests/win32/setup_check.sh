#!/usr/bin/env bash
# A fresh Wine prefix set up by host/win32/setup/init.sh holds what
# "v7-host init" lays down on an emulated root: the same registry keys and
# values, the same password list and profile folders, and driver files whose
# version the Windows version calls read as the emulated version report shows it.
# Exits 1 on the first difference, printing it.
#
# Environment: V7_BUILD_DIR (Linux build with v7-host and v7ctl, default
# build/), WINE (default /usr/lib/wine/wine64).
set -euo pipefail

repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${V7_BUILD_DIR:-$repo/build}"
wine="${WINE:-/usr/lib/wine/wine64}"
if [ ! -x "$build/host/emulated/hosttool/v7-host" ] || [ ! -x "$build/cli/v7ctl" ]; then
    cmake --build "$build" --target v7-host v7ctl >/dev/null
fi

scratch="$(mktemp -d /tmp/v7-setup-check.XXXXXX)"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
compare() {  # what, expected file, actual file
    if ! diff -u --label "emulated: $1" --label "Wine: $1" "$2" "$3"; then
        echo "MISMATCH: $1" >&2
        failures=$((failures + 1))
    fi
}

bash "$repo/host/win32/setup/init.sh" "$WINEPREFIX" >/dev/null
export V7_HOST_ROOT="$scratch/emulated"
"$build/host/emulated/hosttool/v7-host" init >/dev/null
windows="$(find "$WINEPREFIX/drive_c" -mindepth 1 -maxdepth 1 -iname windows -print -quit)"
emulated_windows="$V7_HOST_ROOT/drive_c/WINDOWS"

# --- registry: each key with its values, in an order both sides share --------
# (Wine lists values alphabetically, the emulated host in the order written.)
normalized() {
    tr -d '\r' | awk '/^\[/ { key = $0; print key; next } NF && !/^(REGEDIT4|Windows Registry Editor)/ { print key "\t" $0 }' |
        LC_ALL=C sort
}
for key in 'Software\Halvorn' 'Software\Microsoft\Windows\CurrentVersion\ProfileList'; do
    "$build/host/emulated/hosttool/v7-host" reg export "HKEY_LOCAL_MACHINE\\$key" | normalized >"$scratch/expected.reg"
    "$wine" reg export "HKLM\\$key" 'C:\windows\temp\check.reg' /y </dev/null >/dev/null 2>&1 ||
        { echo "MISMATCH: reg export of HKLM\\$key failed under Wine" >&2; exit 1; }
    iconv -f UTF-16 -t UTF-8 "$windows/temp/check.reg" | normalized >"$scratch/actual.reg"
    [ -s "$scratch/expected.reg" ] || { echo "the emulated host has no $key" >&2; exit 1; }
    compare "HKEY_LOCAL_MACHINE\\$key" "$scratch/expected.reg" "$scratch/actual.reg"
done

# --- C:\WINDOWS: the installer's system.ini sections, password files, profiles --
ini_section() {  # the named section's lines, names as written
    tr -d '\r' <"$1" | awk -v want="[$2]" '/^\[/ { inside = (tolower($0) == tolower(want)); next } inside && NF'
}
for section in boot 386Enh 'Password Lists'; do
    ini_section "$emulated_windows/system.ini" "$section" >"$scratch/expected.ini"
    ini_section "$(find "$windows" -maxdepth 1 -iname system.ini -print -quit)" "$section" >"$scratch/actual.ini"
    compare "system.ini [$section]" "$scratch/expected.ini" "$scratch/actual.ini"
done
tree() {  # path, type and mode of every entry (USER.DAT is read-only), then the contents
    (cd "$1" && find . -mindepth 1 -path ./SYSTEM -prune -o -printf '%P %y %m\n' | LC_ALL=C sort &&
        find . -path ./SYSTEM -prune -o -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum)
}
tree "$emulated_windows" >"$scratch/expected.tree"
(
    cd "$windows"
    mkdir -p "$scratch/installed"
    cp -a Profiles "$scratch/installed/"
    cp -p ./*.PWL "$scratch/installed/" 2>/dev/null || true
    cp -p system.ini "$scratch/installed/"
)
# system.ini differs by Wine's own sections, compared above.
cp -p "$emulated_windows/system.ini" "$scratch/installed/system.ini"
tree "$scratch/installed" >"$scratch/actual.tree"
compare "C:\\WINDOWS (profiles, password files)" "$scratch/expected.tree" "$scratch/actual.tree"

# --- driver files: the version report's file versions ------------------------
# The emulated report: "Brakor.vxd<TAB>not loaded<TAB>2.30.0.112 in file." or,
# without a version, "Brakor.vxd<TAB>not loaded." -> "Brakor.vxd<TAB>2.30.0.112" / "-".
"$build/cli/v7ctl" version 2>/dev/null | tr -d '\r' | grep -P '^[^\t]+\.vxd\t' |
    sed -E 's/^([^\t]+)\t[^\t]*\t(.*) in file\.$/\1\t\2/; s/^([^\t]+)\t[^\t]*\.$/\1\t-/' >"$scratch/expected.versions"
[ "$(wc -l <"$scratch/expected.versions")" -eq 4 ] ||
    { echo "the emulated version report has no four driver lines" >&2; cat "$scratch/expected.versions" >&2; exit 1; }
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static \
    -o "$scratch/file_versions.exe" "$repo/host/win32/setup/check/file_versions.cpp" -lversion
mapfile -t files < <(cut -f1 "$scratch/expected.versions")
(cd "$scratch" && "$wine" ./file_versions.exe "${files[@]}" </dev/null 2>/dev/null) | tr -d '\r' >"$scratch/actual.versions"
compare "driver file versions" "$scratch/expected.versions" "$scratch/actual.versions"

if [ "$failures" -ne 0 ]; then
    echo "setup_check: $failures mismatch(es)" >&2
    exit 1
fi
echo "setup_check: the Wine prefix matches the emulated host"
