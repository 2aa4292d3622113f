# Sourced by the screenshot scripts: a private Wine prefix (build/windows/screens-prefix) on a
# private Xvfb display, both ended when the script exits; `app`, when set, is the Windows
# program's process to end too. Expects `build` (the Windows build folder); sets `root`, `out`
# (docs/images), `work` (a scratch folder), `wine` and DISPLAY; `shoot_config_window FILE` takes
# the picture of K7_Config.exe's main window once it shows.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/docs/images
mkdir -p "$out"

work=$(mktemp -d)
export WINEPREFIX=$build/screens-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 </dev/null >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
cleanup() {
  [[ -n ${app:-} ]] && kill "$app" 2>/dev/null
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")

shoot_config_window() {
  local geometry=
  for _ in $(seq 600); do
    # The program's one large top-level window (its title may be in any script).
    geometry=$(xwininfo -root -tree |
      sed -n 's/.*: ("k7_config.exe" [^)]*) *\([0-9]\{3,\}x[0-9]\{3,\}+[0-9]*+[0-9]*\) .*/\1/p' | head -1)
    [[ -n $geometry ]] && break
    sleep 0.1
  done
  [[ -n $geometry ]] || { echo "no configuration window" >&2; exit 1; }
  sleep 1  # the keys paint after the window maps
  import -window root -crop "$geometry" +repage "$1"
  echo "$1"
}
