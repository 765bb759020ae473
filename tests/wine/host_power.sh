#!/usr/bin/env bash
# velorin.exe under Wine follows the machine's charger: a power-supply folder in place of
# /sys/class/power_supply (tools/velorin-wine --power host --power-root), whose charger this
# script plugs in and out while host_power.scn checks the screen. The trace, which the CE layer
# writes, gives the moment the utility started and shows each report of the machine.
set -euo pipefail

# A folder can take the power supply's place only with the right to mount (root); skipped otherwise.
if ! unshare --mount --propagation private sh -c 'mount --bind / /mnt' 2>/dev/null; then
  echo "host_power: skipped: this user cannot mount in a namespace of its own" >&2
  exit 77
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

supply="$work/power_supply"
mkdir -p "$supply/AC" "$supply/BAT0"
echo Mains >"$supply/AC/type"
echo 0 >"$supply/AC/online"
echo Battery >"$supply/BAT0/type"
echo 1 >"$supply/BAT0/present"
echo Discharging >"$supply/BAT0/status"
echo 5000000 >"$supply/BAT0/charge_full"
echo 5000000 >"$supply/BAT0/charge_full_design"
echo 12000000 >"$supply/BAT0/voltage_now"
echo 2100000 >"$supply/BAT0/charge_now"

trace="$work/trace.txt"
"$root/tools/velorin-wine" --power host --power-root "$supply" --scenario "$here/host_power.scn" \
  --trace-file "$trace" &
run=$!

# Waits until the trace has a line with this text; fails after a minute.
wait_for() {
  for _ in $(seq 600); do
    grep -q -- "$1" "$trace" 2>/dev/null && return 0
    kill -0 "$run" 2>/dev/null || break
    sleep 0.1
  done
  echo "host_power: no \"$1\" in the trace:" >&2
  cat "$trace" >&2 || true
  return 1
}

wait_for " launch pid="
sleep 2
echo 1 >"$supply/AC/online"
echo Charging >"$supply/BAT0/status"
wait_for "power.info ac=1 percent=42"
sleep 6
echo 0 >"$supply/AC/online"
echo Discharging >"$supply/BAT0/status"
wait_for "power.info ac=0 percent=42"
wait "$run"
