#!/usr/bin/env bash
# Installs the Debian packages of the given lists (tools/packages.txt unless given) that are
# missing; silent when none is.
set -euo pipefail

tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
(($#)) || set -- "$tools/packages.txt"

missing=()
for list in "$@"; do
  while IFS= read -r line || [[ -n $line ]]; do
    pkg="${line%%#*}"
    pkg="${pkg//[[:space:]]/}"
    [[ -n $pkg ]] || continue
    status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
    # "not-installed" and "config-files" do not match; a package of several architectures may
    # print several statuses back to back.
    [[ $status == *" installed"* ]] || missing+=("$pkg")
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
# refuses them; that mends itself within minutes, so the refresh is tried again before giving up.
apt_update() {
  local wait
  for wait in 10 30 60 120; do
    as_root apt-get update && return 0
    echo "setup: refreshing the package lists failed; trying again in ${wait}s" >&2
    sleep "$wait"
  done
  as_root apt-get update
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

if ! apt_install; then
  ((updated == 0)) || exit 1
  apt_update
  apt_install
fi
