# Without the station drivers the control center says so before its main window
# appears, then runs; turning the station on then reports the failure.
source "$(dirname "$0")/lib.sh"
start_app
box=$(wait_window "V7") || fail "no driver-missing message"
xdotool search --name '^Orvane V7 Control Center$' >/dev/null 2>&1 \
  && fail "main window shown before the driver-missing message"
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear after the message"
kill -0 "$app_pid" || fail "program ended"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+x
wait_exit "$app_pid" || fail "Ctrl+X did not end the program"
echo "PASS"
