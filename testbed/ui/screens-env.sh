# Sourced by the screenshot scripts: a private Wine prefix (build/windows/screens-prefix) on a
# private Xvfb display, both ended when the script exits; `app`, when set, is the Windows
# program's process to end too. Expects `build` (the Windows build folder); sets `root`, `out`
# (docs/images), `work` (a scratch folder), `wine` and DISPLAY.
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
