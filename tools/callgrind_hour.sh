#!/bin/sh
# The instructions that one device hour of the utility costs the simulator (callgrind's Ir),
# counted apart from boot and power-off by velorin-soak's client requests: charging (the plug
# and the hour after it), or with --battery hidden on battery. The count repeats from run to run
# within a few hundredths of a percent, however loaded the machine, so a change that slows the
# simulator shows here.
#
#   tools/callgrind_hour.sh [--battery] [SOAK]
#
# SOAK: velorin-soak (default build/release/bench/velorin-soak).
# Set KEEP=DIR to keep the callgrind files there (callgrind_annotate DIR/callgrind.out.1).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
mode=
what="the plug and one device hour of charging"
if [ "${1:-}" = --battery ]; then
    mode=--battery
    what="one device hour hidden on battery"
    shift
fi
soak=${1:-$root/build/release/bench/velorin-soak}
if [ ! -x "$soak" ]; then
    echo "callgrind_hour.sh: $soak: no such program (build it first: make build)" >&2
    exit 2
fi
if ! command -v valgrind >/dev/null; then
    echo "callgrind_hour.sh: valgrind is not installed (apt-get install valgrind)" >&2
    exit 2
fi

if [ -n "${KEEP:-}" ]; then
    out=$KEEP
    mkdir -p "$out"
else
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi
valgrind --tool=callgrind --compress-strings=no --callgrind-out-file="$out/callgrind.out" \
    "$soak" --hours 1 $mode >"$out/soak.log" 2>"$out/valgrind.log"

hour=$out/callgrind.out.1
if [ ! -f "$hour" ]; then
    echo "callgrind_hour.sh: no dump of the hour (was velorin-soak built without valgrind/callgrind.h?)" >&2
    exit 1
fi
ir=$(awk '/^totals:/ { print $2 }' "$hour")
all=$(awk '/Collected :/ { print $NF }' "$out/valgrind.log")
echo "Ir for $what: $ir"
echo "Ir collected in all after boot (with power-off): $all"
