#!/usr/bin/env bash
# Runs the CE layer's checks (ce_layer_tests.exe of a Win32 build) in a Wine session of their own.
# Usage: run-ce-layer-tests.sh WIN32_BUILD
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
build="${1:?the Win32 build to run (build/win32 or build/win32-i686)}"

for program in ce_layer_tests.exe coredll.dll; do
  if [[ ! -f $build/$program ]]; then
    echo "run-ce-layer-tests: $build/$program is missing: run make win32" >&2
    exit 2
  fi
done

# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
trap wine_session_end EXIT
wine_session_start "$build/ce_layer_tests.exe"
status=0
wine "$build/ce_layer_tests.exe" | tee "$wine_work/output" || status=$?
# Wine answers 0 for a program it could not start at all: the checks count only if they ran.
if ! grep -q "^ce_layer_tests: [1-9][0-9]* checks" "$wine_work/output"; then
  echo "run-ce-layer-tests: $build/ce_layer_tests.exe did not run under Wine$(wine_missing_hint "$build/ce_layer_tests.exe")" >&2
  exit 2
fi
exit "$status"
