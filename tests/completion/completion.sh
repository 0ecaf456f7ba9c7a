#!/usr/bin/env bash
# v7ctl's bash completion, sourced in bash against a fresh host: what it offers
# for verbs, options, set's settings and values, display modes and their
# refresh rates, and user names.
set -euo pipefail
v7ctl="$1" hosttool="$2" completion="$3"
V7_HOST_ROOT="$(mktemp -d)"
export V7_HOST_ROOT
trap 'rm -rf "$V7_HOST_ROOT"' EXIT
"$hosttool" init >/dev/null
# shellcheck source=/dev/null
source "$completion"

# Each row: the words before the one completed (split at ';', as the shell
# hands them over), that word, and the whole reply.
failed=0
while IFS='|' read -r before cur expected; do
    words=()
    [ -z "$before" ] || IFS=';' read -ra words <<<"$before"
    COMP_WORDS=("$v7ctl" "${words[@]}" "$cur")
    COMP_CWORD=$((${#words[@]} + 1))
    _v7ctl
    got="${COMPREPLY[*]}"
    if [ "$got" != "$expected" ]; then
        echo "completing '$before' '$cur': got '$got', expected '$expected'" >&2
        failed=1
    fi
done <<'ROWS'
|m|message metrics
|is|is-on
--json;--timeout;3|st|status
is-on|--q|--quiet
|--j|--json
set|d|display
set;autolaunch|o|on off
set;display|1024|1024\ x\ 768\,\ 256\ colors
set;display;800\ x\ 600,\ 256\ colors;--refresh||56 60
set;display;--refresh|4|44
set;login-name|A|Anna
remove-user|B|Bertil
remove-user;Bertil|--m|--missing-ok
ROWS
exit "$failed"
