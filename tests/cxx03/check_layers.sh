#!/bin/bash
# The utility's folders include only downward: framework and services are the base, the screen
# builds on both, the application on the screen. An include that runs upward is reported with its
# file and line.
#   check_layers.sh ROOT
set -u
cd "$1/utility" || exit 1
# Each folder, and the folders of the utility that it may include.
declare -A allowed=(
    [framework]="framework"
    [services]="services"
    [res]="res"
    [screen]="screen services framework res"
    [app]="app screen services framework res"
)
failed=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file line include; do
        target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
        [[ " ${allowed[$folder]} " == *" $target "* ]] && continue
        echo "utility/$file:$line: $folder/ includes $target/, above it: $include" >&2
        failed=1
    done < <(grep -rnE '^#include "[^/"]+/' "$folder")
done
# Nothing of the platform's insides or the host: the utility sees the system through its headers.
if grep -rnE '^#include [<"](kernel|window|gdi|registry|display|power|resources|trace|boot|sim|platform|tests)/' . >&2; then
    echo "the utility includes the device's own headers (above)" >&2
    failed=1
fi
((failed == 0)) && echo "the utility's includes run downward only"
exit "$failed"
