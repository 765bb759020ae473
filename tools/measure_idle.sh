#!/bin/sh
# What the utility costs the host while it waits hidden on battery, in wall-clock time: the
# velorin-sim process's context switches a second (every thread's, from /proc/PID/task/*/status)
# against the timer ticks that the utility asks for, and its CPU time (/proc/PID/stat).
#
#   tools/measure_idle.sh [DURATION] [SIM]
#
# DURATION: how long to measure, e.g. 10m (the default) or 60s for a quick look.
# SIM: the velorin-sim to run (default build/release/sim/velorin-sim).
# Exit status 0 when both targets are met, 1 when one is missed, 2 for bad arguments.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
duration=${1:-10m}
sim=${2:-$root/build/release/sim/velorin-sim}
floor=$(dirname "$sim")/../bench/velorin-wake-floor  # optional: the host's own cost of a wake-up
scenario=$root/bench/scenarios/idle_battery.scn
warmup=3  # seconds for the start: launch, the one-shot hide, the first notification

case $duration in
*m) seconds=$((${duration%m} * 60)) ;;
*s) seconds=${duration%s} ;;
*) seconds=$duration ;;
esac
if ! [ "$seconds" -gt 0 ] 2>/dev/null; then
    echo "measure_idle.sh: '$duration' is not a duration (e.g. 10m or 60s)" >&2
    exit 2
fi
if [ ! -x "$sim" ]; then
    echo "measure_idle.sh: $sim: no such program (build it first: make build)" >&2
    exit 2
fi

# Timers 1, 2 and 3 of the utility: 900 ms, 10 s and 100 ms.
ticks_per_second=$(awk 'BEGIN { printf "%.3f", 1/0.9 + 1/10 + 1/0.1 }')
clock_ticks=$(getconf CLK_TCK)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # velorin-sim writes nothing here for a scenario, but stays out of the tree anyway
"$sim" --realtime --scenario "$scenario" --until "$((warmup + seconds + 2))s" >"$work/sim.log" 2>&1 &
pid=$!

# Every thread's voluntary and involuntary switches, summed.
switches() {
    cat /proc/"$pid"/task/*/status 2>/dev/null | awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n + 0 }'
}
# utime + stime of the whole process, in clock ticks (the fields after the command's name).
cpu_ticks() {
    sed 's/^.*) //' /proc/"$pid"/stat | awk '{ print $12 + $13 }'
}
# Nanoseconds on a CPU, every thread's (the scheduler's own count, not sampled at clock ticks).
run_ns() {
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%.0f", n }'
}
threads() {
    for status in /proc/"$pid"/task/*/status; do
        awk '/^Pid:/ { tid = $2 } /^voluntary_ctxt/ { v = $2 } /^nonvoluntary_ctxt/ { n = $2 } END { printf "  thread %s: %d voluntary, %d involuntary\n", tid, v, n }' "$status"
    done
}

sleep "$warmup"
if ! kill -0 "$pid" 2>/dev/null; then
    echo "measure_idle.sh: velorin-sim ended early:" >&2
    cat "$work/sim.log" >&2
    exit 1
fi
switches_before=$(switches)
cpu_before=$(cpu_ticks)
ns_before=$(run_ns)
threads >"$work/threads.before"
start=$(date +%s.%N)
floor_pid=
if [ -x "$floor" ]; then
    "$floor" "$seconds" >"$work/floor.txt" 2>&1 &
    floor_pid=$!
fi
sleep "$seconds"
switches_after=$(switches)
cpu_after=$(cpu_ticks)
ns_after=$(run_ns)
end=$(date +%s.%N)
threads >"$work/threads.after"
wait "$pid" || true
if [ -n "$floor_pid" ]; then
    wait "$floor_pid" || true
fi

echo "velorin-sim hidden on battery, $seconds s of wall time measured (after ${warmup} s of start-up), pid $pid"
echo "threads at the start and at the end of the measurement (switches since the process began):"
cat "$work/threads.before" "$work/threads.after"
status=0
awk -v s0="$switches_before" -v s1="$switches_after" -v c0="$cpu_before" -v c1="$cpu_after" \
    -v t0="$start" -v t1="$end" -v hz="$clock_ticks" -v ticks="$ticks_per_second" \
    -v n0="$ns_before" -v n1="$ns_after" '
BEGIN {
    elapsed = t1 - t0
    rate = (s1 - s0) / elapsed
    ratio = rate / ticks
    cpu = (c1 - c0) / hz / elapsed * 100
    printf "context switches: %d in %.1f s = %.2f a second; the utility asks for %.2f timer ticks a second\n", s1 - s0, elapsed, rate, ticks
    printf "ratio: %.3f  (target at most 1.1)  %s\n", ratio, ratio <= 1.1 ? "met" : "MISSED"
    printf "CPU: %.1f ms in %.1f s = %.4f %% of one core  (target below 0.2 %%)  %s\n", (c1 - c0) * 1000 / hz, elapsed, cpu, cpu < 0.2 ? "met" : "MISSED"
    if (n1 > 0)
        printf "CPU from schedstat: %.1f ms = %.4f %% of one core, %.1f us a context switch\n", (n1 - n0) / 1e6, (n1 - n0) / 1e7 / elapsed, (s1 > s0) ? (n1 - n0) / 1e3 / (s1 - s0) : 0
    exit !(ratio <= 1.1 && cpu < 0.2)
}' || status=$?
if [ -s "$work/floor.txt" ]; then
    cat "$work/floor.txt"
fi
exit $status
