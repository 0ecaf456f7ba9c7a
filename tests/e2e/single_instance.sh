# A second start on the same host root ends at once with no window and brings the
# running copy back from the minimised state. A lock file left by a copy that was
# killed names a process that runs (here this shell): only the lock counts.
source "$(dirname "$0")/lib.sh"
printf '%s\0' "$$" >"$V7_HOST_ROOT/instance.lock"; chmod 600 "$V7_HOST_ROOT/instance.lock"
open_main_window

xdotool windowminimize --sync "$wid" 2>/dev/null || xdotool windowunmap --sync "$wid"
timeout 15 "$app" >/dev/null 2>&1; code=$?
[ "$code" -eq 0 ] || fail "second copy exited with $code"
count=$(xdotool search --name '^Orvane V7 Control Center$' | wc -l)
[ "$count" -eq 1 ] || fail "$count main windows after the second start"
eventually xdotool search --onlyvisible --name '^Orvane V7 Control Center$' \
  || fail "the running copy was not brought forward"
kill -0 "$app_pid" || fail "the first copy ended"
echo "PASS"
