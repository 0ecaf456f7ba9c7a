# File > Shut Down Windows... with Restart chosen: the station drivers log the
# request, tell the control center through its socket to end at once, as a
# forced restart does, and come up again (the station back on, since its
# start-up option says so).
source "$(dirname "$0")/lib.sh"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane]\n"Shutdown Enabled"=hex:00\n\n[HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane\\Setup\\Station1]\n"AutoLaunch"=hex:01\n' \
  | "$tool" reg import - || fail "could not set the options"
open_main_window
open_dialog "alt+f u" "Shut Down Windows"
xdotool key --clearmodifiers alt+r
sleep 0.2
xdotool key --clearmodifiers alt+o

wait_exit "$app_pid" || fail "the control center still runs after the restart"
[ "$exit_code" -eq 0 ] || fail "the control center ended with $exit_code, not by itself as asked"
log="$V7_HOST_ROOT/station.log"
# The drivers write their lines as they go: the program may be gone first.
eventually grep -q $'\trestart\tflags 6 (restart, force)$' "$log" || fail "no restart request in the log: $(cat "$log")"
eventually grep -q $'\tend\tpid '"$app_pid"'$' "$log" || fail "the log does not say the control center was ended: $(cat "$log")"
eventually grep -q $'\tstart\trestart$' "$log" || fail "the drivers did not come up again: $(cat "$log")"
kill -0 "$daemon_pid" 2>/dev/null || fail "the station drivers stopped on a restart"
eventually sh -c '"$0" stations | grep -q User1' "$tool" || fail "the station is not back on: $("$tool" stations)"
"$tool" reg export 'HKLM\Software\Halvorn\Orvane' | grep -q '^"Shutdown Enabled"=hex:01' \
  || fail "Shutdown Enabled was not saved as 1"
echo "PASS"
