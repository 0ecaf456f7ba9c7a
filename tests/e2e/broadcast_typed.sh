# A message typed into the real Send a message dialog reaches the station
# drivers: Enter starts a new line (it does not press Send), Alt+S sends, and
# the station log holds the head and the text with its CR LF line break.
source "$(dirname "$0")/lib.sh"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Halvorn\\Orvane\\Setup\\Station1]\n"AutoLaunch"=hex:01\n' \
  | "$tool" reg import - || fail "could not set AutoLaunch"
open_main_window
open_dialog "alt+m s" "Send a message"
xdotool type --delay 20 "Lunch at one?"
xdotool key Return
xdotool type --delay 20 "Bring a plate."
sleep 0.3
xdotool search --onlyvisible --name '^Send a message$' >/dev/null 2>&1 || fail "Enter closed the dialog"
"$tool" messages | grep -q . && fail "something was sent before Send"
xdotool key --clearmodifiers alt+s

received() { "$tool" messages | tr '\r' '~' | grep -q 'Lunch at one?~$'; }
eventually received || fail "the station did not receive the message: $("$tool" messages | od -c | head)"
"$tool" messages | grep -q "^From:  $(id -un)\$" || fail "no head with the sender: $("$tool" messages)"
"$tool" messages | grep -q '^Bring a plate\.$' || fail "second line missing: $("$tool" messages)"
echo "PASS"
