#!/usr/bin/env bash
# The Windows package end to end under Wine: builds it with cpack, installs it
# silently, runs the installed v7ctl.exe against the prefix's host, starts the
# installed control center through its start-menu link when the build has the
# window (its window and its help), and uninstalls it silently; afterwards the prefix must be as before
# the install (the install folder gone, start menu and registry as they were).
#
#   package_test.sh BUILD_DIR INSTALLER_NAME V7CTL_EXE
#
# Environment: WINEPREFIX (set up by scripts/build-windows.sh --test, with the
# stand-in driver and a persistent wineserver), DISPLAY (the window's X display,
# where xdotool looks for it), WINE (default /usr/lib/wine/wine64),
# V7_PACKAGE_TRANSCRIPT (where the commands and their output are written;
# default: not kept).
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR INSTALLER_NAME V7CTL_EXE" >&2; exit 2; }
build="$1" installer="$1/$2" built_exe="$3"
wine="${WINE:-/usr/lib/wine/wine64}"
export WINEDEBUG=-all
: "${WINEPREFIX:?a Wine prefix is needed}"
folder="$WINEPREFIX/drive_c/Program Files/Orvane V7"
installed='C:\Program Files\Orvane V7'
transcript="$(mktemp /tmp/v7-package.XXXXXX)"
trap 'rm -f "$transcript" "$transcript".*' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs a command under Wine, noting it and its output in the transcript; its
# output (carriage returns dropped) is left in $transcript.out, its exit code in $rc.
run() {
    rc=0
    "$wine" "$@" </dev/null >"$transcript.raw" 2>&1 || rc=$?
    tr -d '\r' <"$transcript.raw" >"$transcript.out"
    { echo "\$ wine $*"; cat "$transcript.out"; echo "[exit code $rc]"; echo; } >>"$transcript"
}

# What an install can leave: the program folders, start menus and desktops
# (not the other tests' folders), the maker's keys and the system's list of
# installed programs. The product's own key is there by name only: the other
# tests write its values while this one runs, and an uninstaller that took the
# key away would still show.
state() {
    (cd "$WINEPREFIX/drive_c" && find 'Program Files' ProgramData users/*/Desktop \
        users/*/AppData/Roaming/Microsoft/Windows/'Start Menu' 2>/dev/null | LC_ALL=C sort)
    query() { "$wine" reg query "$@" </dev/null 2>/dev/null | tr -d '\r' || true; }
    query 'HKLM\Software\Halvorn'
    query 'HKLM\Software\Halvorn\Orvane V7' /s
    query 'HKCU\Software\Halvorn' /s
    query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s
}

# The uninstaller starts a copy of itself from the temporary folder and ends at
# once; the copy's work is done when the prefix is back to STATE_FILE.
uninstall_and_wait() {
    run "$installed\\Uninstall.exe" /S
    [ "$rc" -eq 0 ] || fail "the uninstaller failed ($rc)"
    for _ in $(seq 60); do
        state | cmp -s - "$1" && return 0
        sleep 0.5
    done
    state | diff -u --label "before the install" --label "after the uninstall" "$1" - || true
    fail "the uninstall left the prefix changed"
}

# An install left by an earlier, failed run goes first.
if [ -e "$folder/Uninstall.exe" ]; then
    "$wine" "$installed\\Uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
    for _ in $(seq 120); do [ -e "$folder" ] || break; sleep 0.5; done
fi
# What an uninstall could not remove then (a program of it still running) too.
rm -rf "$folder"

(cd "$build" && cpack -G NSIS >/dev/null) || { echo "cpack -G NSIS failed" >&2; exit 1; }
[ -f "$installer" ] || { echo "cpack made no $installer" >&2; exit 1; }
echo "installer $(basename "$installer"): $(stat -c %s "$installer") bytes" >>"$transcript"
state >"$transcript.before"

run "Z:$installer" /S
[ "$rc" -eq 0 ] || fail "the silent install failed ($rc)"
{ echo "\$ ls 'C:\\Program Files\\Orvane V7'"; ls -l "$folder" | tail -n +2; echo; } >>"$transcript"

# The manual: readable as plain text on Windows, every line ended by CRLF.
manual="$folder/v7ctl.txt"
grep -q '^NAME' "$manual" || fail "the manual has no NAME section"
[ "$(grep -c $'\r$' "$manual")" = "$(wc -l <"$manual")" ] || fail "a line of the manual has no CRLF end"
! LC_ALL=C grep -q $'[^\r -~]' "$manual" || fail "the manual holds control or non-ASCII characters"
! grep -q -i -e 'emulated' -e '\.local/share' "$manual" || fail "the manual describes the Linux host"
[ -s "$folder/runtime-notices.txt" ] || fail "the runtime's licence notices are not installed"

# The control center, when built: its licence texts beside it, its start-menu
# link, and its window, started through that link as a user starts it.
title="Orvane V7 Control Center"
window_pid=""
if grep -q '^V7_GUI:BOOL=ON$' "$build/CMakeCache.txt"; then
    [ -f "$folder/orvane-v7.exe" ] || fail "orvane-v7.exe is not installed"
    for notice in wxWidgets-licence.txt wxWidgets-lgpl.txt libpng-licence.txt zlib-copyright.txt; do
        [ -s "$folder/licences/$notice" ] || fail "licences/$notice is not installed"
    done
    link="$(find "$WINEPREFIX/drive_c" -path '*/Start Menu/*' -name "$title.lnk" | head -n 1)"
    if [ -z "$link" ]; then
        fail "no start-menu link \"$title\""
    else
        echo "\$ wine start /unix '$link'" >>"$transcript"
        "$wine" start /unix "$link" </dev/null >/dev/null 2>&1 &
        window_pid=$!
        # The window counts when its process is the installed program (Wine
        # shows a process's Windows command line as its own): another test may
        # show a window of the same title at the same time.
        shown="" pid=""
        for _ in $(seq 120); do
            for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
                pid="$(xdotool getwindowpid "$id" 2>/dev/null)" || continue
                tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qiF "$installed\\orvane-v7.exe" &&
                    { shown=$id; break 2; }
            done
            sleep 0.25
        done
        { echo "window \"$title\" of $installed\\orvane-v7.exe: ${shown:-not shown}"; echo; } >>"$transcript"
        if [ -z "$shown" ]; then
            fail "the installed control center shows no window \"$title\""
            run taskkill /f /im orvane-v7.exe  # whatever it does instead, the uninstall comes next
        else
            # Its help book is inside it: F1 opens the help window.
            xdotool windowfocus --sync "$shown" 2>/dev/null || true
            xdotool key --window "$shown" F1
            help=""
            for _ in $(seq 120); do
                for id in $(xdotool search --onlyvisible --name '^V7 Help: ' 2>/dev/null); do
                    [ "$(xdotool getwindowpid "$id" 2>/dev/null)" = "$pid" ] && { help=$id; break 2; }
                done
                sleep 0.25
            done
            { echo "F1: help window ${help:-not shown}"; echo; } >>"$transcript"
            [ -n "$help" ] || fail "the installed control center shows no help"
            # Closed as a user closes it; it must end by itself.
            run taskkill /im orvane-v7.exe
            for _ in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
            if kill -0 "$pid" 2>/dev/null; then
                fail "the control center did not end when closed"
                run taskkill /f /im orvane-v7.exe
            fi
        fi
        wait "$window_pid" 2>/dev/null || true
    fi
fi

# The installed program needs nothing the build folder gave it: it answers as
# the program built, and its version is the package's.
run "$installed\\v7ctl.exe" --version
[ "$rc" -eq 0 ] && grep -qx "v7ctl $(basename "$installer" | sed -E 's/^orvane-v7-(.*)-win64\.exe$/\1/')" "$transcript.out" ||
    fail "the installed v7ctl.exe --version does not print the package's version: $(cat "$transcript.out")"
run "$installed\\v7ctl.exe" status
installed_rc=$rc
cp "$transcript.out" "$transcript.installed"
rc=0
"$wine" "$built_exe" status </dev/null 2>&1 | tr -d '\r' >"$transcript.built" || rc=$?
[ "$installed_rc" -eq 0 ] && [ "$rc" -eq 0 ] && [ -s "$transcript.built" ] ||
    fail "v7ctl.exe status: exit code $installed_rc installed, $rc built"
diff -u --label "built v7ctl.exe status" --label "installed v7ctl.exe status" "$transcript.built" "$transcript.installed" ||
    fail "the installed v7ctl.exe answers status otherwise than the one built"

uninstall_and_wait "$transcript.before"
{ echo "\$ ls 'C:\\Program Files\\Orvane V7'"; [ -e "$folder" ] || echo "(no such folder)"; } >>"$transcript"

[ -z "${V7_PACKAGE_TRANSCRIPT:-}" ] || cp "$transcript" "$V7_PACKAGE_TRANSCRIPT"
[ "$failures" -eq 0 ] || { echo "package_test: $failures failure(s)" >&2; exit 1; }
echo "package_test: installed, ran and uninstalled $(basename "$installer")"
