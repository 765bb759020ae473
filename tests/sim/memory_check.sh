#!/usr/bin/env bash
# velorin-sim's memory does not grow with device time: the peak at 200 device hours on the
# charger is within 10 % of the peak at 10 (the trace is streamed to its file, not kept).
#   memory_check.sh SIM SCENARIO WORKDIR
set -euo pipefail
sim=$1 scenario=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
peak() {
  /usr/bin/time -f %M -o "$work/peak$1" "$sim" --scenario "$scenario" --until "$1h" --trace-file "$work/trace$1.txt" \
    2>"$work/run$1.err" || { cat "$work/run$1.err" >&2; exit 1; }
  tail -n1 "$work/peak$1"
}
short=$(peak 10)
long=$(peak 200)
echo "peak resident memory: ${short} KB at 10 h, ${long} KB at 200 h"
if ((long * 10 > short * 11)); then
  echo "memory grew with device time" >&2
  exit 1
fi
