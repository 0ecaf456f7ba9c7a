# The first start on a root never set up (named by --root alone: the default
# root of the superuser these tests may run as is the system-wide one) sets the
# host up. Without the drivers' user unit it says how to start them;
# then, as every start without the drivers, the driver-missing message comes
# before the main window, and the program runs. The next start sets up
# nothing. With the unit installed, the first start brings the drivers up.
source "$(dirname "$0")/lib.sh"
base="$V7_HOST_ROOT"
export XDG_DATA_HOME="$base/data"
root="$XDG_DATA_HOME/orvane-v7/host"

# systemctl as the user's service manager answers it: it knows the unit while
# $base/unit exists, and starting it returns once the drivers serve.
mkdir "$base/bin"
cat >"$base/bin/systemctl" <<EOF_SYSTEMCTL
#!/bin/sh
echo "\$*" >>"$base/systemctl.log"
[ -e "$base/unit" ] || exit 1
[ "\$2" = start ] || exit 0
"$daemon" --root "$root" >/dev/null 2>&1 &
echo \$! >"$base/daemon.pid"
for _ in \$(seq 100); do [ -S "$root/dev/Brakor" ] && exit 0; sleep 0.05; done
exit 1
EOF_SYSTEMCTL
chmod +x "$base/bin/systemctl"
export PATH="$base/bin:$PATH"
trap 'kill "$(cat "$base/daemon.pid" 2>/dev/null)" 2>/dev/null; cleanup' EXIT

start_fresh_account_app() {
  V7_HOST_ROOT="" "$app" --root "$root" >"$base/app.out" 2>&1 &
  app_pid=$!; pids+=("$app_pid")
}
no_main_window() { ! xdotool search --name '^Orvane V7 Control Center$' >/dev/null 2>&1; }
other_box() { local id; id=$(visible_window "V7") && [ "$id" != "$1" ] && echo "$id"; }

# Without the unit.
start_fresh_account_app
box=$(wait_window "V7") || fail "no message on the first start"
grep -q "not installed" "$base/app.out" || fail "the first message is not about the drivers: $(cat "$base/app.out")"
press "$box" Return
box=$(poll 300 other_box "$box") || fail "no driver-missing message"
no_main_window || fail "main window shown before the driver-missing message"
press "$box" Return
wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear after the messages"
kill -0 "$app_pid" || fail "program ended"
V7_HOST_ROOT="$root" "$tool" config | grep -qx "StationName=Station1" || fail "the first start left no whole registry"
[ -f "$root/drive_c/WINDOWS/SYSTEM/Brakor.vxd" ] || fail "the first start left no drive C:"
exit_with_ctrl_x

# The next start finds the host set up: only the driver-missing message.
touch "$base/unit"
calls=$(wc -l <"$base/systemctl.log")
start_fresh_account_app
box=$(wait_window "V7") || fail "no driver-missing message on the next start"
press "$box" Return
wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear on the next start"
[ "$(wc -l <"$base/systemctl.log")" -eq "$calls" ] || fail "the next start set the host up again"
! grep -q "set up" "$base/app.out" || fail "the next start set the host up again: $(cat "$base/app.out")"
exit_with_ctrl_x

# A fresh account with the unit installed: the drivers answer, no message.
rm -rf "$XDG_DATA_HOME"
start_fresh_account_app
wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear: $(cat "$base/app.out")"
visible_window "V7" >/dev/null && fail "a message on a first start with the unit: $(cat "$base/app.out")"
V7_HOST_ROOT="$root" "$tool" drivers >/dev/null || fail "the drivers do not answer after the first start"
exit_with_ctrl_x
echo "PASS"
