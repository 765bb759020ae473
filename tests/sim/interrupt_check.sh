#!/usr/bin/env bash
# velorin-sim interrupted in the middle of a run far too long to wait for (Ctrl-C, or SIGTERM):
# it ends as at a normal end, with the registry and the trace saved, and the status 128 + the
# signal's number.   interrupt_check.sh SIM WORKDIR
set -euo pipefail
sim=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
printf '0 plug\n0 reg set HKCU\\Interrupted Seen dword:7\n100000h expect running\n' >"$work/long.scn"
for signal in INT TERM; do
  "$sim" --scenario "$work/long.scn" --registry "$work/$signal.reg" --trace-file "$work/$signal.txt" \
    2>"$work/$signal.err" &
  run=$!
  sleep 1
  kill "-$signal" "$run"
  status=0
  wait "$run" || status=$?
  expected=$((128 + $(kill -l "$signal")))
  fail() { echo "SIG$signal: $*" >&2; cat "$work/$signal.err" >&2; exit 1; }
  ((status == expected)) || fail "status $status, not $expected"
  grep -q 'the run was interrupted at' "$work/$signal.err" || fail "the summary does not say the run was interrupted"
  grep -q '^"Seen"=dword:00000007' "$work/$signal.reg" || fail "the registry was not saved"
  grep -q 'keep-awake\|event.signal' "$work/$signal.txt" || fail "the trace was not written"
done
echo "interrupted runs ended as at their end"
