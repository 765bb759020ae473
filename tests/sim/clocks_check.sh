#!/bin/bash
# One scenario in the three clocks: virtual time, --realtime and the live window (on a virtual X
# server of its own, when Xvfb is there). Each run must hold every expectation and write the
# same whole trace, byte for byte: wall time only waits, it changes nothing.
#   clocks_check.sh SIM SCENARIO WORKDIR [live]
set -u
sim=$1 scenario=$2 work=$3 live=${4:-}
mkdir -p "$work"
name=$(basename "$scenario" .scn)

fail() { echo "$name: $*" >&2; exit 1; }

run() {  # run LABEL ARGS...: the run must end with status 0; its trace goes to WORK/LABEL.txt
    local label=$1
    shift
    "$@" --scenario "$scenario" --trace=all --trace-file "$work/$label.txt" 2>"$work/$label.err"
    local status=$?
    [ "$status" -eq 0 ] || fail "the $label run ended with status $status: $(cat "$work/$label.err")"
}

run virtual "$sim"
# The live window goes on after the scenario's last line; it stops where the virtual run ended.
until=$(sed -n 's/.*the run ended at \([^ ]*\) device time.*/\1/p' "$work/virtual.err")
[ -n "$until" ] || fail "the virtual run did not say where it ended: $(cat "$work/virtual.err")"

run realtime "$sim" --realtime
cmp -s "$work/virtual.txt" "$work/realtime.txt" ||
    fail "--realtime wrote another trace than virtual time: $(diff "$work/virtual.txt" "$work/realtime.txt" | head -5)"

if [ "$live" != live ]; then
    echo "$name: the same in virtual and wall time (no live window in this build)"
    exit 0
fi
if ! command -v Xvfb >/dev/null; then
    echo "$name: the same in virtual and wall time (Xvfb is not installed: no live window)"
    exit 0
fi
# Xvfb picks a free display and writes its number once it takes clients.
rm -f "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 300); do
    [ -s "$work/display" ] && break
    kill -0 $xvfb 2>/dev/null || fail "Xvfb did not start"
    sleep 0.1
done
display=$(head -n1 "$work/display")
[ -n "$display" ] || fail "Xvfb gave no display"
rm -f "$work/live.reg"
DISPLAY=":$display" SDL_VIDEODRIVER=x11 run live "$sim" --window --until "$until" --registry "$work/live.reg"
cmp -s "$work/virtual.txt" "$work/live.txt" ||
    fail "the live window wrote another trace than virtual time: $(diff "$work/virtual.txt" "$work/live.txt" | head -5)"
echo "$name: the same in virtual time, --realtime and the live window"
