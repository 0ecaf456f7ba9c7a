#!/usr/bin/env bash
# Removing a large profile folder through the host's file calls against rm -rf
# of the same tree, interleaved on the same file system: 20,000 files, one
# folder of 10,000 and a tree of 200 folders of 50 each. Goal: the removal
# takes at most 1.5 times as long as rm -rf. Prints medians and the ratio.
#   bash bench/removal.sh [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
runs="${1:-5}"
tool="$build/bench/removal/remove-tree"
[ -x "$tool" ] || { echo "removal.sh: build the remove-tree target first" >&2; exit 1; }

export V7_HOST_ROOT="$(mktemp -d /tmp/v7bench-XXXXXX)"
trap 'chmod -R u+w "$V7_HOST_ROOT"; rm -rf "$V7_HOST_ROOT"' EXIT
profiles="$V7_HOST_ROOT/drive_c/WINDOWS/Profiles"
mkdir -p "$profiles"

# The pattern every copy is made from, with a read-only file in each folder.
pattern="$V7_HOST_ROOT/pattern"
mkdir -p "$pattern/Cache"
(cd "$pattern/Cache" && seq -f 'f%05g.tmp' 1 10000 | xargs touch)
for d in $(seq 1 200); do
  dir="$pattern/Start Menu/Group$((d % 10))/Folder$d"
  mkdir -p "$dir"
  (cd "$dir" && seq -f 'item%02g.lnk' 1 50 | xargs touch)
  chmod a-w "$dir/item01.lnk"
done
chmod a-w "$pattern/Cache/f00001.tmp"

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
: >"$V7_HOST_ROOT/rm.txt"; : >"$V7_HOST_ROOT/v7.txt"
for i in $(seq "$runs"); do
  cp -a "$pattern" "$profiles/RmUser$i"
  cp -a "$pattern" "$profiles/V7User$i"
  sync
  t0=$(now); rm -rf "$profiles/RmUser$i"; t1=$(now)
  "$tool" "C:\\WINDOWS\\Profiles\\V7User$i"; t2=$(now)
  [ ! -e "$profiles/V7User$i" ] || { echo "removal.sh: the tree was not removed" >&2; exit 1; }
  echo $(( (t1 - t0) / 1000 )) >>"$V7_HOST_ROOT/rm.txt"
  echo $(( (t2 - t1) / 1000 )) >>"$V7_HOST_ROOT/v7.txt"
done
rm_us=$(median <"$V7_HOST_ROOT/rm.txt"); v7_us=$(median <"$V7_HOST_ROOT/v7.txt")
echo "rm -rf:              ${rm_us} us (median of $runs)"
echo "DeleteDirectoryTree: ${v7_us} us (median of $runs)"
awk -v a="$v7_us" -v b="$rm_us" 'BEGIN { r = a / b; printf "ratio: %.2f (goal <= 1.50)\n", r; exit (r <= 1.5) ? 0 : 1 }'
