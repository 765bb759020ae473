# The copy of 32-bit Wine that tools/setup-wine32.sh makes where Debian's wine32:i386 cannot be
# installed, sourced by the setup scripts and the Wine sessions: where it is, whether it is made
# for the Wine installed, and the environment that runs it.

wine32_copy="${VELORIN_WINE32:-${XDG_CACHE_HOME:-$HOME/.cache}/velorin/wine32}"

# Made, and for the installed 64-bit Wine, whose server it shares.
wine32_copy_current() {
  local dir=${1:-$wine32_copy}
  [[ -f $dir/.made && $(cat "$dir/.made") == "$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)" ]]
}

# Puts the copy in DIR (the made one unless given) first for `wine` and its libraries.
wine32_copy_environment() {
  local dir=${1:-$wine32_copy}
  export PATH="$dir/bin:$PATH"
  export LD_LIBRARY_PATH="$dir/root/usr/lib/i386-linux-gnu:$dir/root/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
}
