# Without the station drivers the control center says so before its main window
# appears, then runs; turning the station on then reports the failure.
source "$(dirname "$0")/lib.sh"
start_app
box=$(wait_window "V7") || fail "no driver-missing message"
xdotool search --name '^Orvane V7 Control Center$' >/dev/null 2>&1 \
  && fail "main window shown before the driver-missing message"
press "$box" Return
wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear after the message"
kill -0 "$app_pid" || fail "program ended"
exit_with_ctrl_x
echo "PASS"
