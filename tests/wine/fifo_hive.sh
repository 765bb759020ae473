#!/usr/bin/env bash
# velorin-wine refuses a hive that is a fifo, with status 2 and the reason, before it starts Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkfifo "$work/hive.reg"
status=0
timeout 30 "$root/tools/velorin-wine" --scenario "$root/examples/plug.scn" --registry "$work/hive.reg" \
  2>"$work/err" >/dev/null || status=$?
if ((status != 2)) || ! grep -q "hive.reg: is not a regular file" "$work/err"; then
  echo "a fifo as the hive: status $status (not 2):" >&2
  cat "$work/err" >&2
  exit 1
fi
