#!/usr/bin/env bash
# Runs the CE layer's checks (build/win32/ce_layer_tests.exe) in a Wine session of their own.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
build="${VELORIN_WIN32_BUILD:-$root/build/win32}"

for program in ce_layer_tests.exe coredll.dll; do
  if [[ ! -f $build/$program ]]; then
    echo "run-ce-layer-tests: $build/$program is missing: run make win32" >&2
    exit 2
  fi
done

# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
trap wine_session_end EXIT
wine_session_start
wine "$build/ce_layer_tests.exe"
