#!/usr/bin/env bash
# Installs the Debian packages of the given lists (tools/packages.txt unless given) that are
# missing; silent when none is.
set -euo pipefail

tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
(($#)) || set -- "$tools/packages.txt"

# 32-bit Wine may be a copy of the package's (see setup-wine32.sh).
# shellcheck source=tools/wine32-copy.sh
source "$tools/wine32-copy.sh"

missing=()
for list in "$@"; do
  while IFS= read -r line || [[ -n $line ]]; do
    pkg="${line%%#*}"
    pkg="${pkg//[[:space:]]/}"
    [[ -n $pkg ]] || continue
    status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
    # "not-installed" and "config-files" do not match; a package of several architectures may
    # print several statuses back to back.
    [[ $status == *" installed"* ]] || { [[ $pkg == wine32:i386 ]] && wine32_copy_current; } || missing+=("$pkg")
  done <"$list"
done

((${#missing[@]} == 0)) && exit 0

as_root() {
  if ((EUID == 0)); then "$@"; else sudo "$@"; fi
}
apt_install() {
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# A mirror caught mid-sync serves index files that do not match its release file, and apt
# refuses them; that often mends itself within a minute, so the refresh is tried again. A list
# that still fails is left as it was: the install below says whether the rest will do.
apt_update() {
  local wait
  for wait in 10 30; do
    as_root apt-get update && return 0
    echo "setup: refreshing the package lists failed; trying again in ${wait}s" >&2
    sleep "$wait"
  done
  as_root apt-get update || echo "setup: some package lists could not be refreshed; going on with the rest" >&2
}

echo "setup: installing ${missing[*]}"

# A package of another architecture (wine32:i386) needs that architecture known to dpkg, and
# package lists that have it.
updated=0
for pkg in "${missing[@]}"; do
  [[ $pkg == *:* ]] || continue
  arch="${pkg##*:}"
  if ! dpkg --print-foreign-architectures | grep -qx "$arch" && [[ $arch != "$(dpkg --print-architecture)" ]]; then
    echo "setup: adding the $arch architecture"
    as_root dpkg --add-architecture "$arch"
    apt_update
    updated=1
  fi
done

# Refreshing the package lists is slow, so only when apt does not know a package yet
# or the install fails (stale lists point at files the mirror no longer has).
for pkg in "${missing[@]}"; do
  if ((updated == 0)) && ! apt-cache show -- "$pkg" >/dev/null 2>&1; then
    apt_update
    updated=1
    break
  fi
done

apt_install && exit 0
if ((updated == 0)); then
  apt_update
  apt_install && exit 0
fi
# wine32:i386 needs i386 lists that match the amd64 packages installed; when the mirror cannot
# give them, the rest is installed and 32-bit Wine made from the same packages on the side.
[[ " ${missing[*]} " == *" wine32:i386 "* ]] || exit 1
echo "setup: wine32:i386 cannot be installed from this mirror; making a copy of 32-bit Wine instead" >&2
rest=()
for pkg in "${missing[@]}"; do [[ $pkg == wine32:i386 ]] || rest+=("$pkg"); done
missing=("${rest[@]}")
((${#missing[@]} == 0)) || apt_install
"$tools/setup-wine32.sh"
