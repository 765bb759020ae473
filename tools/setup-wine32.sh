#!/usr/bin/env bash
# 32-bit Wine for the 32-bit build's tests where Debian's wine32:i386 cannot be installed: its
# i386 libraries must have the very versions of the amd64 ones installed, and a mirror whose i386
# lists lag (or fail to download) leaves apt no way to meet that. The same Wine packages are then
# unpacked into a folder of our own (tools/wine-session.sh finds it), with a package database of
# its own, so no version has to match the system's. apt still checks every package against the
# archive's signed lists. The system gains only the i386 C library, which Wine's loader needs at
# its fixed path.
# Usage: setup-wine32.sh      (as root, or with sudo; the folder is $VELORIN_WINE32, or
#                              ~/.cache/velorin/wine32)
set -euo pipefail

# shellcheck source=tools/wine32-copy.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine32-copy.sh"
dest=$wine32_copy
say() { echo "setup-wine32: $*" >&2; }
as_root() {
  if ((EUID == 0)); then "$@"; else sudo "$@"; fi
}

# Wine's 32-bit and 64-bit halves share one server, so they must be one version.
version="$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)" || {
  say "wine64 is not installed; it comes first"
  exit 1
}
! wine32_copy_current || exit 0
say "making 32-bit Wine $version in $dest"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  as_root apt-get update || say "some package lists could not be refreshed; going on with the rest"
fi
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends libc6:i386

work="$dest.new"
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/root" "$work/bin"
: >"$work/apt/status"
# The system's sources and keys, but i386 alone and nothing installed.
apt_private=(-o "Dir::State::lists=$work/apt/lists" -o "Dir::State::status=$work/apt/status"
  -o "Dir::Cache=$work/apt/cache" -o "APT::Architecture=i386" -o "APT::Architectures::=i386"
  -o "Debug::NoLocking=1")
# A list that fails to download (the lagging one) is left out; what the rest hold must do.
apt-get "${apt_private[@]}" update || say "some package lists could not be refreshed; going on with the rest"
apt-get "${apt_private[@]}" install -y --download-only --no-install-recommends \
  "wine32=$version" "libwine=$version"

for deb in "$work"/apt/cache/archives/*.deb; do
  package="$(dpkg-deb -f "$deb" Package)"
  # The system's own i386 libraries (the C library) are the ones its loader goes with.
  if dpkg-query -W -f='${Status}' "$package:i386" 2>/dev/null | grep -q " installed"; then continue; fi
  dpkg-deb -x "$deb" "$work/root"
done
rm -rf "$work/apt"

# What libwine's own install step does: zlib from the MinGW package, marked as a Wine builtin.
zlib="$work/root/usr/i686-w64-mingw32/lib/zlib1.dll"
{
  head -c 64 "$zlib"
  printf 'Wine builtin DLL'
  head -c 16 /dev/zero
  tail -c +97 "$zlib"
} >"$work/root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"

# The loader, as `wine`: Wine finds its libraries and its server beside where the loader is.
ln -s ../root/usr/lib/wine/wine "$work/bin/wine"
got="$(wine32_copy_environment "$work" && wine --version)" || {
  say "the 32-bit Wine in $work does not start"
  exit 1
}
say "$got ready"
echo "$version" >"$work/.made"
rm -rf "$dest"
mv "$work" "$dest"
