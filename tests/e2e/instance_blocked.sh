# When the single-instance lock cannot be taken or the raise endpoint cannot be
# opened, the program ends at once with one line on stderr saying why, instead of
# running as a copy that a later start could not find.
source "$(dirname "$0")/lib.sh"
root="$V7_HOST_ROOT"
long="$root/$(printf 'r%.0s' $(seq 120))"
block_lock() { mkdir "$root/instance.lock"; }
block_endpoint() { mkdir "$root/instance.sock"; touch "$root/instance.sock/keep"; }
long_root() { mkdir -p "$long"; export V7_HOST_ROOT="$long"; }
for case in "block_lock instance.lock" "block_endpoint instance.sock" "long_root instance.sock"; do
  set -- $case
  rm -rf "$root/instance.lock" "$root/instance.sock"; export V7_HOST_ROOT="$root"
  "$1"
  code=0; timeout 15 "$app" >"$root/out" 2>"$root/err" || code=$?
  [ "$code" -ne 0 ] && [ "$code" -ne 124 ] || fail "$1: exit status $code"
  [ "$(wc -l <"$root/err")" -eq 1 ] || fail "$1: stderr is not one line: $(cat "$root/err")"
  grep -q "^orvane-v7: .*$2" "$root/err" || fail "$1: stderr does not say why: $(cat "$root/err")"
  [ ! -s "$root/out" ] || fail "$1: wrote to stdout"
done
echo "PASS"
