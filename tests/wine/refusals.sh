#!/usr/bin/env bash
# velorin-wine refuses what it cannot run with status 2 and the reason, and leaves nothing behind:
# a hive that is a fifo (before Wine starts), an X server that does not start, and a player that
# Wine did not start (Wine answers 0 for a 32-bit build without its 32-bit part).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp" "$work/bin" "$work/nowine"

refused() {
  local reason=$1 status=0
  shift
  TMPDIR="$work/tmp" timeout 60 "$root/tools/velorin-wine" --scenario "$root/examples/plug.scn" "$@" \
    2>"$work/err" >/dev/null || status=$?
  if ((status != 2)) || ! grep -q "$reason" "$work/err"; then
    echo "expected status 2 and \"$reason\"; got status $status:" >&2
    cat "$work/err" >&2
    exit 1
  fi
  local left
  left=$(find "$work/tmp" -mindepth 1 -maxdepth 1)
  [[ -z $left ]] || { echo "left behind: $left" >&2; exit 1; }
}

mkfifo "$work/hive.reg"
refused "hive.reg: is not a regular file" --registry "$work/hive.reg"

printf '#!/bin/sh\nexit 1\n' >"$work/bin/Xvfb"
chmod +x "$work/bin/Xvfb"
PATH="$work/bin:$PATH" refused "the virtual X server did not start"

# After the X server's case, which made the shared prefix with the real Wine.
printf '#!/bin/sh\nexit 0\n' >"$work/nowine/wine"
chmod +x "$work/nowine/wine"
PATH="$work/nowine:$PATH" refused "velorin-wine-player.exe did not run under Wine"
