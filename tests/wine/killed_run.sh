#!/usr/bin/env bash
# velorin-wine killed outright (SIGKILL) at moments through its run: nothing it started is left
# running, and its session folder is gone, reaped by the session's watcher.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export TMPDIR
TMPDIR="$(mktemp -d)"
trap 'rm -rf "$TMPDIR"' EXIT

left() {
  # Whatever the runs made in their TMPDIR: sessions, and Wine's own server folders; a new
  # shared prefix left half made is no leftover, since the next run makes it again.
  find "$TMPDIR" -mindepth 1 -maxdepth 1 ! -name 'new-prefix*' ! -name 'shared-prefix*'
  # Wine's and the X server's processes whose prefix or display this run's sessions made, and
  # any process that still carries a session's TMPDIR (the shared prefix's Wine, its lock's shell).
  pgrep -a -f "$TMPDIR" || true
  grep -lsz "^TMPDIR=$TMPDIR/" /proc/[0-9]*/environ || true
}

# The moments: as the session starts, while the shared prefix is made (a new one, in this run's
# TMPDIR), and while the scenario plays (on the shared prefix the tests made).
shared=${VELORIN_WINE_TEMPLATE:-$TMPDIR/shared-prefix}
for moment in 0.5:new 3:new 8:shared; do
  delay=${moment%%:*}
  template=$shared
  [[ $moment != *:new ]] || template="$TMPDIR/new-prefix"
  VELORIN_WINE_TEMPLATE=$template "$root/tools/velorin-wine" --scenario "$root/examples/plug.scn" >/dev/null 2>&1 &
  run=$!
  sleep "$delay"
  kill -9 "$run" 2>/dev/null || true
  wait "$run" 2>/dev/null || true
  for _ in $(seq 40); do
    [[ -z $(left) ]] && break
    sleep 0.25
  done
  if [[ -n $(left) ]]; then
    echo "killed after ${delay}s, left behind:" >&2
    left >&2
    exit 1
  fi
done
echo "three killed runs left nothing behind"
