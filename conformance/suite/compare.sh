#!/usr/bin/env bash
# The conformance suite on the device and under Wine, line by line: each check's value must be
# the same on both, or stand in expected_differences.txt with both values and the reason.
# Usage: compare.sh CONFORMANCE_DEVICE CONFORMANCE_EXE
set -euo pipefail

device_runner="$1"
program="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$(mktemp -d)"

# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
trap 'wine_session_end; rm -rf "$work"' EXIT

[[ -f $program ]] || { echo "$program is missing: run make win32" >&2; exit 2; }
"$device_runner" >"$work/device.txt" || { echo "the suite did not end on the device" >&2; exit 1; }
wine_session_start "$program"
wine "$program" | tr -d '\r' >"$work/wine.txt" || { echo "the suite failed under Wine" >&2; exit 1; }

awk -F'|' '
  function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
  FILENAME == ARGV[1] {
    if ($0 ~ /^#/ || $0 ~ /^[ \t]*$/) next
    key = trim($1); expectedDevice[key] = trim($2); expectedWine[key] = trim($3); next
  }
  FILENAME == ARGV[2] { k = $0; sub(/: .*/, "", k); v = $0; sub(/^[^:]*: /, "", v); device[++n] = k; deviceValue[k] = v; next }
  { k = $0; sub(/: .*/, "", k); v = $0; sub(/^[^:]*: /, "", v); wine[++m] = k; wineValue[k] = v }
  END {
    bad = 0; alike = 0; listed = 0
    if (n != m) { printf "the device ran %d checks, Wine %d\n", n, m; bad = 1 }
    for (i = 1; i <= n && i <= m; ++i) {
      if (device[i] != wine[i]) { printf "check %d is %s on the device, %s under Wine\n", i, device[i], wine[i]; bad = 1; break }
      k = device[i]
      if (k in expectedDevice) {
        if (deviceValue[k] != substr(expectedDevice[k], 9) || wineValue[k] != substr(expectedWine[k], 7)) {
          printf "%s: listed as a difference, but the device says \"%s\" and Wine \"%s\"\n", k, deviceValue[k], wineValue[k]
          bad = 1
        } else ++listed
      } else if (deviceValue[k] != wineValue[k]) {
        printf "%s: the device says \"%s\", Wine \"%s\"\n", k, deviceValue[k], wineValue[k]
        bad = 1
      } else ++alike
    }
    printf "%d checks: %d alike, %d expected differences\n", n, alike, listed
    exit bad
  }' "$here/expected_differences.txt" "$work/device.txt" "$work/wine.txt"
