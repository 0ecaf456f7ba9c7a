#!/usr/bin/env bash
# v7ctl --json status from process start to exit, against running station
# drivers on a fresh host root. Goal: a median of at most 5 ms. Prints the
# median and the 90th percentile over RUNS runs, and the processor time each
# run took (user and system), which a loaded machine does not stretch.
#   bash bench/v7ctl_status.sh [RUNS]     (default 200)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_BUILD_DIR:-$here/build}"
runs="${1:-200}"
v7ctl="$build/cli/v7ctl"
hosttool="$build/host/emulated/hosttool/v7-host"
stationd="$build/host/emulated/stationd/v7-stationd"
for tool in "$v7ctl" "$hosttool" "$stationd"; do
  [ -x "$tool" ] || { echo "v7ctl_status.sh: build the v7ctl, v7-host and v7-stationd targets first" >&2; exit 1; }
done

export V7_HOST_ROOT="$(mktemp -d /tmp/v7bench-XXXXXX)"
drivers=""
trap '[ -n "$drivers" ] && kill "$drivers" 2>/dev/null; wait; rm -rf "$V7_HOST_ROOT"' EXIT
"$hosttool" init >/dev/null
"$stationd" >/dev/null 2>&1 &
drivers=$!
for _ in $(seq 100); do [ -S "$V7_HOST_ROOT/dev/Brakor" ] && break; sleep 0.05; done
"$v7ctl" --json status >/dev/null || { echo "v7ctl_status.sh: v7ctl status failed" >&2; exit 1; }

# Each run timed from the fork to the wait, the way a script pays for it.
perl -MTime::HiRes=time -e '
  my ($runs, @command) = @ARGV;
  my @ms;
  for (1 .. $runs) {
    my $t0 = time;
    my $pid = fork // die "fork: $!";
    if (!$pid) { open STDOUT, ">", "/dev/null"; exec @command or exit 127 }
    waitpid $pid, 0;
    die "v7ctl exited with " . ($? >> 8) . "\n" if $?;
    push @ms, (time - $t0) * 1000;
  }
  @ms = sort { $a <=> $b } @ms;
  my $median = $runs % 2 ? $ms[$runs / 2] : ($ms[$runs / 2 - 1] + $ms[$runs / 2]) / 2;
  my (undef, undef, $childUser, $childSystem) = times;
  printf "v7ctl --json status, %d runs: median %.2f ms, 90th percentile %.2f ms (goal: median <= 5 ms); " .
    "processor time %.2f ms a run\n", $runs, $median, $ms[int($runs * 0.9)], ($childUser + $childSystem) * 1000 / $runs;
  exit($median <= 5 ? 0 : 1);
' "$runs" "$v7ctl" --json status
