# Shared set-up of the end-to-end tests: a fresh host root, the station drivers,
# the control center, and small helpers to wait for windows and values.
set -euo pipefail
tool="$1"; daemon="$2"; app="$3"
[ -n "${DISPLAY:-}" ] || { echo "SKIP: no display"; exit 77; }
command -v xdotool >/dev/null || { echo "SKIP: no xdotool"; exit 77; }

export V7_HOST_ROOT="$(mktemp -d /tmp/v7e2e-XXXXXX)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$V7_HOST_ROOT"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

start_daemon() {
  "$daemon" "$@" >/dev/null 2>&1 &
  daemon_pid=$!; pids+=("$daemon_pid")
  poll 100 test -S "$V7_HOST_ROOT/dev/Brakor" || fail "v7-stationd did not start"
}

start_app() {
  "$app" >"$V7_HOST_ROOT/app.out" 2>&1 &
  app_pid=$!; pids+=("$app_pid")
}

# Runs a command every 50 ms until it succeeds, at most $1 times.
poll() {
  local tries="$1"; shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.05; done
  return 1
}

# Prints the id of the visible window with exactly this title (wait_window: waiting up to 15 s).
visible_window() {
  local id
  id=$(xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | head -n1 || true)
  [ -n "$id" ] && echo "$id"
}
wait_window() { poll 300 visible_window "$1"; }

# Waits up to 10 s for a command to succeed.
eventually() { poll 200 "$@" >/dev/null 2>&1; }

# Waits up to 10 s for a child process to end and sets exit_code to its status.
# (Runs in this shell: a $(...) subshell could not collect the child's status.)
ended() { ! kill -0 "$1" 2>/dev/null; }
wait_exit() {
  poll 200 ended "$1" || return 1
  exit_code=0; wait "$1" 2>/dev/null || exit_code=$?
}

# Starts the drivers and the control center and sets wid to its main window.
open_main_window() {
  start_daemon
  start_app
  wid=$(wait_window "Orvane V7 Control Center") || fail "main window did not appear"
}

# Focuses window $1 and presses the keys after it.
press() {
  local window="$1"; shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# Presses menu keys $1 in the main window and sets dlg to the dialog titled $2,
# focused.
open_dialog() {
  press "$wid" $1
  dlg=$(wait_window "$2") || fail "the $2 dialog did not open with $1"
  xdotool windowfocus --sync "$dlg" 2>/dev/null || true
}

# Ctrl+X in the main window ends the program with status 0.
exit_with_ctrl_x() {
  press "$wid" ctrl+x
  wait_exit "$app_pid" || fail "Ctrl+X did not end the program"
  [ "$exit_code" -eq 0 ] || fail "exit code $exit_code: $(cat "$V7_HOST_ROOT/app.out")"
}

"$tool" init >/dev/null
