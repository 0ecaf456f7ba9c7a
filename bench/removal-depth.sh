#!/usr/bin/env bash
# Removing deep profile folders through the host's file calls: one chain of
# folders DEPTH levels deep (a file and a sub-folder at each level, far past
# the 260-byte path limit). Goal: time linear in the size of the tree, so the
# time per level of the deepest tree is at most twice that of the shallowest.
# Prints each depth's time and time per level.
#   bash bench/removal-depth.sh [DEPTH...]     (default: 1000 5000)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
tool="$build/bench/removal/remove-tree"
[ -x "$tool" ] || { echo "removal-depth.sh: build the remove-tree target first" >&2; exit 1; }
[ $# -gt 0 ] || set -- 1000 5000

export V7_HOST_ROOT="$(mktemp -d /tmp/v7bench-XXXXXX)"
trap 'rm -rf "$V7_HOST_ROOT"' EXIT
profiles="$V7_HOST_ROOT/drive_c/WINDOWS/Profiles"
mkdir -p "$profiles"

now() { date +%s%N; }
first=""; last=""
for depth in "$@"; do
  # Relative steps down: no path this long can be named from the root.
  perl -e 'my ($top, $n) = @ARGV; mkdir $top or die; chdir $top or die;
           for (1 .. $n) { mkdir "Sub" or die; open(my $f, ">", "Sub/file.txt") or die; close $f; chdir "Sub" or die }' \
    "$profiles/Deep$depth" "$depth"
  sync
  t0=$(now); status=0; "$tool" "C:\\WINDOWS\\Profiles\\Deep$depth" || status=$?; t1=$(now)
  us=$(( (t1 - t0) / 1000 ))
  per=$(awk -v t="$us" -v d="$depth" 'BEGIN { printf "%.1f", t / d }')
  echo "$depth levels: ${us} us (${per} us per level)"
  [ "$status" -eq 0 ] && [ ! -e "$profiles/Deep$depth" ] || { echo "removal-depth.sh: $depth levels were not removed" >&2; exit 1; }
  [ -n "$first" ] || first="$per"
  last="$per"
done
awk -v a="$last" -v b="$first" 'BEGIN { r = a / b; printf "per-level ratio, deepest to shallowest: %.2f (goal <= 2.00)\n", r; exit (r <= 2.0) ? 0 : 1 }'
