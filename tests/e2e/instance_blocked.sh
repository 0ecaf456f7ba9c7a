# When the single-instance lock cannot be taken or the raise endpoint cannot be
# opened, the program ends at once with one line on stderr saying why, instead of
# running as a copy that a later start could not find.
source "$(dirname "$0")/lib.sh"
root="$V7_HOST_ROOT"
long="$root/$(printf 'r%.0s' $(seq 120))"
block_lock() { mkdir "$root/instance.lock"; }
fifo_lock() { mkfifo -m 600 "$root/instance.lock"; }
block_endpoint() { mkdir "$root/instance.sock"; touch "$root/instance.sock/keep"; }
long_root() { mkdir -p "$long"; export V7_HOST_ROOT="$long"; }
for case in "block_lock instance.lock" "fifo_lock instance.lock" "block_endpoint instance.sock" "long_root instance.sock"; do
  set -- $case
  rm -rf "$root/instance.lock" "$root/instance.sock"; export V7_HOST_ROOT="$root"
  "$1"
  code=0; timeout 15 "$app" >"$root/out" 2>"$root/err" || code=$?
  [ "$code" -ne 0 ] && [ "$code" -ne 124 ] || fail "$1: exit status $code"
  [ "$(wc -l <"$root/err")" -eq 1 ] || fail "$1: stderr is not one line: $(cat "$root/err")"
  grep -q "^orvane-v7: .*$2" "$root/err" || fail "$1: stderr does not say why: $(cat "$root/err")"
  [ ! -s "$root/out" ] || fail "$1: wrote to stdout"
done

# A root this user may not write in: the line says so. (The superuser writes
# anywhere: the program then runs as nobody, with a copy of the X credentials.)
export V7_HOST_ROOT="$root"; rm -rf "$root/instance.lock" "$root/instance.sock"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  cp "${XAUTHORITY:-$HOME/.Xauthority}" "$root/xauth" 2>/dev/null && chmod 644 "$root/xauth" || true
  chmod 755 "$root"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env XAUTHORITY="$root/xauth")
else
  chmod 555 "$root"
fi
code=0; timeout 15 "${as_user[@]}" "$app" >"/tmp/v7e2e-out.$$" 2>"/tmp/v7e2e-err.$$" || code=$?
chmod 700 "$root"
err=$(cat "/tmp/v7e2e-err.$$"); rm -f "/tmp/v7e2e-out.$$" "/tmp/v7e2e-err.$$"
[ "$code" -ne 0 ] && [ "$code" -ne 124 ] || fail "unwritable root: exit status $code"
grep -q "^orvane-v7: cannot take the single-instance lock: .*instance.lock: Permission denied$" <<<"$err" \
  || fail "unwritable root: stderr does not name the reason: $err"
echo "PASS"
