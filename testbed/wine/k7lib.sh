# The Windows environment of the test bed, shared by k7wine and k7env (sourced, not run).
#
# One private Wine prefix holds everything: it is booted once and reused; a persistent
# wineserver, an Xvfb display (only when the caller has no DISPLAY) and Wine's explorer
# desktop (the notification area) are started on first use and recorded in PREFIX/.k7,
# so that later calls reuse them and `down` ends exactly what was started. The virtual
# keyboard oxkbd.sys is installed as the demand-start kernel service `oxkbd` and started
# on the persistent server (a driver started on the boot's own server does not stay up).
# Concurrent callers are serialised with flock; every wait has a timeout.

K7_WINE_DIR=/usr/lib/wine
K7_WINE=$K7_WINE_DIR/wine64
K7_WINESERVER=$K7_WINE_DIR/wineserver
K7_TIMEOUT=${K7_TIMEOUT:-120}  # seconds for any one step of the set-up

export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

k7_die() { echo "k7wine: $*" >&2; exit 1; }

# k7_init PREFIX: sets the prefix and the state folder and takes the lock (fd 9).
k7_init() {
  mkdir -p "$1" || k7_die "cannot create prefix $1"
  WINEPREFIX=$(cd "$1" && pwd)
  export WINEPREFIX
  K7_STATE=$WINEPREFIX/.k7
  mkdir -p "$K7_STATE"
  exec 9>"$K7_STATE/lock"
  flock -w "$K7_TIMEOUT" 9 || k7_die "timed out waiting for another user of $WINEPREFIX"
}

k7_unlock() { exec 9>&-; }

# Quiet Wine for the set-up steps, whatever the caller asked for the program itself.
k7_setup_wine() { WINEDEBUG=-all timeout "$K7_TIMEOUT" "$K7_WINE" "$@" </dev/null >/dev/null 2>&1 9>&-; }

# k7_alive NAME COMM: the pid recorded under NAME when it still runs a program named COMM.
k7_alive() {
  local pid
  pid=$(cat "$K7_STATE/$1.pid" 2>/dev/null) || return 1
  [[ $pid =~ ^[0-9]+$ ]] && [[ $(cat /proc/"$pid"/comm 2>/dev/null) == "$2"* ]] && echo "$pid"
}

# Waits until COMMAND... succeeds, polling every 0.1 s, at most K7_TIMEOUT seconds.
k7_wait_for() {
  local deadline=$((SECONDS + K7_TIMEOUT))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Where the prefix's wineserver listens: /tmp/.wine-UID, or the folder Wine recorded in
# PREFIX/wineserver when it had to pick another one.
k7_server_socket() {
  local base=/tmp/.wine-$(id -u)
  [[ -f $WINEPREFIX/wineserver ]] && base=/tmp/$(cat "$WINEPREFIX/wineserver")
  printf '%s/server-%x-%x/socket' "$base" $(stat -c '%d %i' "$WINEPREFIX")
}

k7_boot() {
  [[ -f $K7_STATE/booted ]] && return
  timeout "$K7_TIMEOUT" "$K7_WINESERVER" -k 2>/dev/null
  k7_setup_wine wineboot -i || k7_die "wineboot -i failed in $WINEPREFIX"
  timeout "$K7_TIMEOUT" "$K7_WINESERVER" -k 2>/dev/null
  timeout "$K7_TIMEOUT" "$K7_WINESERVER" -w || k7_die "the boot's wineserver did not end"
  touch "$K7_STATE/booted"
}

k7_server() {
  k7_alive server wineserver >/dev/null && return
  # A server that Wine started by itself for this prefix is not persistent: replace it.
  timeout "$K7_TIMEOUT" "$K7_WINESERVER" -k 2>/dev/null
  timeout "$K7_TIMEOUT" "$K7_WINESERVER" -w
  setsid "$K7_WINESERVER" -f -p </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$K7_STATE/server.pid"
  local socket
  socket=$(k7_server_socket)
  k7_wait_for test -S "$socket" || k7_die "wineserver did not come up"
  rm -f "$K7_STATE/driver.stamp" "$K7_STATE/explorer.pid"
}

k7_display() {
  if [[ -n ${DISPLAY:-} ]] && ! k7_alive xvfb Xvfb >/dev/null; then return; fi
  if k7_alive xvfb Xvfb >/dev/null; then
    DISPLAY=:$(cat "$K7_STATE/display")
    export DISPLAY
    return
  fi
  rm -f "$K7_STATE/display"
  setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$K7_STATE/display" </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$K7_STATE/xvfb.pid"
  k7_wait_for grep -q '^[0-9]' "$K7_STATE/display" || k7_die "Xvfb did not report a display"
  DISPLAY=:$(cat "$K7_STATE/display")
  export DISPLAY
  rm -f "$K7_STATE/explorer.pid"
}

k7_desktop() {
  # wine64 runs the explorer through start.exe, which stays while the desktop runs.
  k7_alive explorer start.exe >/dev/null && return
  WINEDEBUG=-all setsid "$K7_WINE" explorer /desktop=k7,1024x768 </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$K7_STATE/explorer.pid"
  # The desktop is ready when Wine answers a program that runs on it.
  k7_setup_wine cmd /c exit || k7_die "the explorer desktop did not come up"
}

# The virtual keyboard: (re)installed when the server or the driver file changed.
k7_keyboard() {
  local sys=${OXKBD_SYS:-$(dirname "$WINEPREFIX")/bin/oxkbd.sys}
  [[ -f $sys ]] || return 0  # not built (yet): programs run without the keyboard
  local stamp
  stamp="$(cat "$K7_STATE/server.pid") $(sha1sum <"$sys")"
  if [[ $(cat "$K7_STATE/driver.stamp" 2>/dev/null) == "$stamp" ]]; then
    # Installed and started on this server; a program may have stopped it since.
    k7_setup_wine sc start oxkbd
    return 0
  fi
  local target='C:\windows\system32\drivers\oxkbd.sys'
  k7_setup_wine sc stop oxkbd
  cp "$sys" "$WINEPREFIX/drive_c/windows/system32/drivers/oxkbd.sys" || k7_die "cannot copy $sys"
  k7_setup_wine sc create oxkbd type= kernel start= demand binPath= "$target"
  k7_setup_wine sc start oxkbd || k7_die "the oxkbd service did not start"
  echo "$stamp" >"$K7_STATE/driver.stamp"
}

# Everything a program of the project needs, started once and reused.
k7_up() {
  k7_boot
  k7_server
  k7_display
  k7_desktop
  k7_keyboard
}

# Ends what k7_up started, and nothing else.
k7_down() {
  if k7_alive server wineserver >/dev/null || [[ -S $(k7_server_socket) ]]; then
    timeout "$K7_TIMEOUT" "$K7_WINESERVER" -k 2>/dev/null
    timeout "$K7_TIMEOUT" "$K7_WINESERVER" -w
  fi
  local pid
  if pid=$(k7_alive xvfb Xvfb); then
    kill "$pid"
    k7_wait_for test ! -e /proc/"$pid" || kill -9 "$pid"
  fi
  rm -f "$K7_STATE"/{server,xvfb,explorer}.pid "$K7_STATE/display" "$K7_STATE/driver.stamp"
}
