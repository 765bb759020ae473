#!/usr/bin/env bash
# velorin-wine killed outright (SIGKILL) at moments through its run: nothing it started is left
# running, and its session folder is gone, reaped by the session's watcher.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export TMPDIR
TMPDIR="$(mktemp -d)"
trap 'rm -rf "$TMPDIR"' EXIT

left() {
  # Whatever the runs made in their TMPDIR: sessions, and Wine's own server folders.
  find "$TMPDIR" -mindepth 1 -maxdepth 1
  # Wine's and the X server's processes whose prefix or display this run's sessions made.
  pgrep -a -f "$TMPDIR" || true
}

# The moments: as the session starts, while the prefix is made, and while the scenario plays.
for delay in 0.5 3 8; do
  "$root/tools/velorin-wine" --scenario "$root/examples/plug.scn" >/dev/null 2>&1 &
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
