#!/usr/bin/env bash
# A scenario's trace under Wine against the device's: the effects that the CE layer records
# (power reports, the backlight, the display, the power manager) come in the same order with
# the same arguments, each within a tolerance of the device's time, since Wine's clock is the
# wall clock's. The tolerance holds the utility's own start under Wine, which the device does in
# no time: Wine's clock starts as the CE layer loads, and the program takes up to half a second
# more on a busy machine before its first sequence begins. It stays under the sequences' one-second
# steps, so an effect a step early or late still fails.
# Usage: compare_traces.sh VELORIN_SIM SCENARIO [TOLERANCE_MS]
set -euo pipefail

sim="$1"
scenario="$2"
tolerance="${3:-750}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$sim" --scenario "$scenario" --trace-file "$work/device.txt" 2>"$work/device.err" ||
  { cat "$work/device.err" >&2; exit 1; }
"$root/tools/velorin-wine" --scenario "$scenario" --trace-file "$work/wine.txt" 2>"$work/wine.err" ||
  { cat "$work/wine.err" >&2; exit 1; }

# The whole trace in time order: the set-up lines at 0, before the launch.
awk '$1 + 0 < last { printf "the trace goes back in time at line %d: \"%s\" after %d ms\n", NR, $0, last; bad = 1 }
     { last = $1 + 0 } END { exit bad }' "$work/wine.txt"

effects() {
  grep -E '^[0-9]+ (power\.info|device\.power|backlight|display\.orientation|system\.power|pm\.state|event\.signal) ' "$1" || true
}
effects "$work/device.txt" >"$work/device.effects"
effects "$work/wine.txt" >"$work/wine.effects"

awk -v tolerance="$tolerance" '
  NR == FNR { device[FNR] = $0; count = FNR; next }
  {
    wine[FNR] = $0; wineCount = FNR
  }
  END {
    bad = 0
    n = count > wineCount ? count : wineCount
    for (i = 1; i <= n; ++i) {
      d = device[i]; w = wine[i]
      dt = d; sub(/ .*/, "", dt); de = d; sub(/^[0-9]+ /, "", de)
      wt = w; sub(/ .*/, "", wt); we = w; sub(/^[0-9]+ /, "", we)
      if (de != we) { printf "effect %d: the device has \"%s\", Wine \"%s\"\n", i, d, w; bad = 1; break }
      delta = wt - dt; if (delta < 0) delta = -delta
      if (delta > tolerance) { printf "effect %d (%s): %d ms on the device, %d ms under Wine\n", i, de, dt, wt; bad = 1 }
    }
    if (!bad) printf "%d effects alike, each within %d ms\n", count, tolerance
    exit bad
  }' "$work/device.effects" "$work/wine.effects"
