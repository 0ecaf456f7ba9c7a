#!/usr/bin/env bash
# The collection with Debian's ansible-core against three emulated hosts (each
# a host root with its own drivers; lab3's refuse to turn the station on):
# ansible-doc for each module, then the playbook three times: the first run
# changes what it must, the second changes nothing, a --check run with other
# values leaves every host as it was. V7_ANSIBLE_OUT keeps the outputs.
set -euo pipefail
tool="$1"; daemon="$2"; v7ctl="$3"; src="$(cd "$(dirname "$0")/../.." && pwd)"
command -v ansible-playbook >/dev/null || { echo "SKIP: no ansible-playbook (Debian package ansible-core)"; exit 77; }
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export ANSIBLE_COLLECTIONS_PATH="$src/ansible" ANSIBLE_LOCAL_TEMP="$work/tmp" ANSIBLE_REMOTE_TEMP="$work/tmp"
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_HOME="$work/home"

ansible-galaxy collection list halvorn.orvane 2>&1 | grep -q '^halvorn\.orvane  *1\.20\.0' \
  || fail "ansible-galaxy does not list the collection: $(ansible-galaxy collection list halvorn.orvane 2>&1)"
for m in station options message profile info; do
  ansible-doc "halvorn.orvane.$m" >"$work/doc-$m" 2>&1 || fail "ansible-doc $m: $(cat "$work/doc-$m")"
  for part in "HALVORN.ORVANE.${m^^}" "OPTIONS" "- root" "EXAMPLES:" "RETURN VALUES:"; do
    grep -qF -- "$part" "$work/doc-$m" || fail "ansible-doc $m shows no '$part'"
  done
done

{ echo "[lab]"
  for h in 1 2 3; do
    root="$work/lab$h"
    V7_HOST_ROOT="$root" "$tool" init >/dev/null
    switches=(); [ "$h" = 3 ] && switches=(--refuse-on)
    V7_HOST_ROOT="$root" "$daemon" "${switches[@]}" >/dev/null 2>&1 &
    pids+=("$!")
    for _ in $(seq 100); do [ -S "$root/dev/Brakor" ] && break; sleep 0.05; done
    [ -S "$root/dev/Brakor" ] || fail "v7-stationd did not start on lab$h"
    echo "lab$h v7_root=$root$([ "$h" = 3 ] && echo ' v7_refuses=true')"
  done
  echo "[lab:vars]"
  printf '%s\n' ansible_connection=local ansible_python_interpreter=/usr/bin/python3 "v7ctl_path=$v7ctl"
} >"$work/hosts"

# Runs the playbook with the given switches into $work/$name and checks each
# host's recap line against a pattern: "lab1=changed=[1-9]" ...
play() {
  local name="$1" want; shift
  local args=(); while [ "$1" != "--" ]; do args+=("$1"); shift; done; shift
  (cd "$work" && ansible-playbook -i hosts "${args[@]}" "$src/tests/ansible/lab.yml") >"$work/$name" 2>&1 \
    || fail "$name: ansible-playbook failed: $(tail -n 30 "$work/$name")"
  for want in "$@"; do
    grep -Eq "^${want%%=*} +: .*${want#*=}" "$work/$name" || fail "$name: no '${want#*=}' for ${want%%=*}: $(grep -A4 RECAP "$work/$name")"
  done
}
# What a --check run must leave alone: the registry, drive C: and the drivers' log.
export_all() {
  for h in 1 2 3; do
    V7_HOST_ROOT="$work/lab$h" "$tool" reg export HKLM
    find "$work/lab$h/drive_c" | sort
    cat "$work/lab$h/station.log"
  done
}

start=$(date +%s%N)
play first -e greet=true -- "lab1=changed=[1-9].* failed=0" "lab2=changed=[1-9].* failed=0" "lab3=changed=[1-9].* failed=0 .*rescued=1"
mid=$(date +%s%N)
play again -- "lab1=changed=0 .*failed=0" "lab2=changed=0 .*failed=0" "lab3=changed=0 .*failed=0 .*rescued=1"
end=$(date +%s%N)
export_all >"$work/before"
play check --check --diff -e flip=true -e greet=true -- "lab1=changed=[1-9]" "lab2=changed=[1-9]" "lab3=changed=[1-9]"
export_all >"$work/after"
cmp -s "$work/before" "$work/after" || fail "the --check run changed a host: $(diff "$work/before" "$work/after" | head)"
grep -q '"login_name": "guest"' "$work/check" || fail "the --check run shows no diff of the login name"

echo "playbook against three hosts: first run $(((mid - start) / 1000000)) ms, second $(((end - mid) / 1000000)) ms"
if [ -n "${V7_ANSIBLE_OUT:-}" ]; then mkdir -p "$V7_ANSIBLE_OUT"; cp "$work"/first "$work"/again "$work"/check "$work"/doc-* "$V7_ANSIBLE_OUT"; fi
echo "ansible lab test: ok"
