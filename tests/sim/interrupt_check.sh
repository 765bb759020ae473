#!/usr/bin/env bash
# velorin-sim interrupted in the middle of a run far too long to wait for (Ctrl-C, or SIGTERM):
# it ends as at a normal end, with the registry and the trace saved, and the status 128 + the
# signal's number.   interrupt_check.sh SIM WORKDIR
set -euo pipefail
sim=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
printf '0 plug\n0 reg set HKCU\\Interrupted Seen dword:7\n100000h expect running\n' >"$work/long.scn"
# In virtual time, and in wall time (--realtime), where the run mostly waits for the clock.
for kind in INT TERM INT:--realtime; do
  signal=${kind%%:*} clock=${kind#"$signal"}
  clock=${clock#:}
  name=$signal${clock:+-realtime}
  "$sim" --scenario "$work/long.scn" --registry "$work/$name.reg" --trace-file "$work/$name.txt" ${clock:+"$clock"} \
    2>"$work/$name.err" &
  run=$!
  sleep 1
  kill "-$signal" "$run"
  status=0
  wait "$run" || status=$?
  expected=$((128 + $(kill -l "$signal")))
  fail() { echo "SIG$signal ${clock:-}: $*" >&2; cat "$work/$name.err" >&2; exit 1; }
  ((status == expected)) || fail "status $status, not $expected"
  grep -q 'the run was interrupted at' "$work/$name.err" || fail "the summary does not say the run was interrupted"
  grep -q '^"Seen"=dword:00000007' "$work/$name.reg" || fail "the registry was not saved"
  grep -q 'keep-awake\|event.signal\|power.info' "$work/$name.txt" || fail "the trace was not written"
done
echo "interrupted runs ended as at their end"
