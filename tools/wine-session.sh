# A Wine session for one run, sourced by tools/velorin-wine and the tests: its own Wine prefix in
# a temporary folder and its own virtual X server, both gone at the end. Wine shows programs on
# a virtual desktop of the device's panel (240 x 320 at 0 degrees); the CE layer gives it the
# turned shape when the display turns, so the X screen holds either shape.

wine_panel="240x320"
wine_xscreen="320x320"

# A Unix path as Wine's Z: drive names it.
winpath() {
  local path
  path="$(realpath -m -- "$1")"
  printf 'Z:%s' "${path//\//\\}"
}

wine_make_prefix() {
  # Through `wine`, not Debian's wineboot script, which would pass over a private 32-bit Wine.
  wine wineboot.exe --init >/dev/null 2>&1
  # A virtual desktop: without a window manager, Wine's X11 driver waits a second or two around
  # every show and hide, and the program's timing would no longer be the scenario's.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$wine_panel" /f >/dev/null 2>&1
  # The desktop's dialog colour, which shows wherever a dialog paints nothing, as the device's.
  wine reg add 'HKCU\Control Panel\Colors' /v ButtonFace /d "212 208 200" /f >/dev/null 2>&1
  wineserver -w
}

# The programs a session started, all but the caller: each carries the session's TMPDIR, whichever
# prefix it runs in (the shared one that a run may be making, too). A shell of the session shows
# the TMPDIR it was started with, so the shell making the shared prefix leaves its pid.
wine_session_processes() {
  local work=$1 environ pid
  # One grep over them all, quick beside the processes it races; run with another TMPDIR, it
  # does not find itself.
  for environ in $(TMPDIR="" grep -lsxz -F "TMPDIR=$work/tmp" /proc/[0-9]*/environ); do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [[ $pid != "$$" && $pid != "$BASHPID" ]] && echo "$pid"
  done
  return 0
}

# Stops what a session started, its Wine and its X server, and removes its folder. The folder
# names them: the prefix (whose wineserver ends Wine's processes) and the X server's pid; what
# is left (a run killed while it made the shared prefix leaves that prefix's Wine and the shell
# that holds its lock) is found by its TMPDIR.
wine_reap() {
  local work=$1 xvfb tries left
  [[ -d $work ]] || return 0
  # First the shell making the shared prefix, lest it go on and mark a half-made one as made.
  if [[ -s $work/maker.pid ]]; then
    kill -9 "$(cat "$work/maker.pid")" 2>/dev/null || true
  fi
  if [[ -d $work/prefix ]]; then
    # Wine finds its server under the TMPDIR it was started with.
    TMPDIR="$work/tmp" WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  fi
  if [[ -s $work/xvfb.pid ]]; then
    xvfb=$(cat "$work/xvfb.pid")
    # A moment to remove its lock and socket, which a killed one leaves in /tmp.
    if kill "$xvfb" 2>/dev/null; then
      for tries in $(seq 20); do
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.05
      done
    fi
  fi
  # Again until none is left: a Wine process caught starting as the others die starts a server
  # of its own and goes on making the prefix.
  for tries in $(seq 100); do
    left=$(wine_session_processes "$work")
    [[ -n $left ]] || break
    kill -9 $left 2>/dev/null || true
    sleep 0.05
  done
  rm -rf "$work"
}

# A run killed outright (SIGKILL) runs no trap: a watcher outside it waits for its end, however it
# comes, and reaps its session. It holds none of the run's output open.
wine_watch() {
  local owner=$1 work=$2
  (
    trap '' INT TERM HUP
    while kill -0 "$owner" 2>/dev/null; do sleep 0.5; done
    wine_reap "$work"
  ) </dev/null >/dev/null 2>&1 &
  disown
}

# Sessions whose run and watcher both died (the machine stopped, say): their owner is gone. A
# folder still without an owner may be a session being made now, so only an old one goes.
wine_reap_abandoned() {
  local work owner
  for work in "${TMPDIR:-/tmp}"/velorin-wine.*; do
    [[ -d $work ]] || continue
    if [[ -s $work/owner ]]; then
      owner="$(cat "$work/owner")"
      kill -0 "$owner" 2>/dev/null && continue
    elif [[ -z $(find "$work" -maxdepth 0 -mmin +10 2>/dev/null) ]]; then
      continue
    fi
    wine_reap "$work"
  done
}

# The machine a Windows program or DLL is built for, from its PE header: 014c for 32-bit x86,
# 8664 for x86-64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null) || return 0
  od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' \n'
}

# 32-bit Wine: Debian's wine32:i386, or else the copy that tools/setup-wine32.sh makes where that
# package cannot be installed.
# shellcheck source=tools/wine32-copy.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine32-copy.sh"
wine_use_wine32() {
  [[ ! -x /usr/lib/wine/wine ]] && wine32_copy_current || return 0
  wine32_copy_environment
}

# Starts the session for PROGRAM (a .exe or .dll of the build to run): WINEPREFIX and DISPLAY are
# set for what follows. A 32-bit program runs in a 32-bit prefix, as on a 32-bit Windows, which
# needs no 64-bit part of Wine. A prefix made once may be shared as a template
# (VELORIN_WINE_TEMPLATE, with -win32 added for 32-bit prefixes; the tests make them once a run):
# each session links its files rather than copying them, and Wine replaces, never rewrites, the
# files it changes.
wine_session_start() {
  local program=${1:?the program the session runs}
  local arch=win64 template="${VELORIN_WINE_TEMPLATE:-}"
  if [[ $(pe_machine "$program") == 014c ]]; then
    arch=win32
    template="${template:+$template-win32}"
    wine_use_wine32
  fi
  wine_reap_abandoned
  wine_work="$(mktemp -d "${TMPDIR:-/tmp}/velorin-wine.XXXXXX")"
  echo "$$" >"$wine_work/owner"
  wine_watch "$$" "$wine_work"
  # Wine keeps its server's sockets in a folder it makes under TMPDIR, and leaves it there: the
  # session's own goes with the session.
  mkdir "$wine_work/tmp"
  export TMPDIR="$wine_work/tmp"
  export WINEPREFIX="$wine_work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$arch
  if [[ -n $template ]]; then
    (
      echo "$BASHPID" >"$wine_work/maker.pid"
      flock 9
      if [[ ! -f $template/.made ]]; then
        echo "velorin-wine: making the Wine prefix that runs start from, once (about 20 s)" >&2
        rm -rf "$template"
        WINEPREFIX="$template" wine_make_prefix
        touch "$template/.made"
      fi
      rm -f "$wine_work/maker.pid"
    ) 9>"$template.lock"
    cp -al "$template" "$WINEPREFIX"
  else
    echo "velorin-wine: making a Wine prefix (about 20 s)" >&2
    wine_make_prefix
  fi

  Xvfb -displayfd 4 -screen 0 "${wine_xscreen}x24" -nolisten tcp 4>"$wine_work/display" >/dev/null 2>&1 &
  wine_xvfb_pid=$!
  echo "$wine_xvfb_pid" >"$wine_work/xvfb.pid"
  local tries
  for tries in $(seq 100); do
    [[ -s $wine_work/display ]] && break
    kill -0 "$wine_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s $wine_work/display ]]; then
    echo "velorin-wine: the virtual X server did not start" >&2
    return 2
  fi
  export DISPLAY=":$(head -n1 "$wine_work/display")"
}

# Why Wine may not have started PROGRAM: said when a 32-bit program meets a Wine without its
# 32-bit part, as Wine itself answers 0 then.
wine_missing_hint() {
  [[ $(pe_machine "$1") == 014c && ! -x /usr/lib/wine/wine ]] && ! wine32_copy_current || return 0
  echo "; a 32-bit build needs 32-bit Wine: Debian's wine32:i386, or where that cannot be installed the copy in $wine32_copy; make win32 makes either"
}

# Ends whatever the session started and removes its folder; nothing here may fail the exit.
wine_session_end() {
  [[ -n ${wine_work:-} ]] || return 0
  wine_reap "$wine_work"
  wine_work=""
}
