#!/usr/bin/env bash
# Takes the documentation's pictures of the user interface from real windows under
# Wine on a private Xvfb display: docs/images/{combwarn-dialog,combwarn-dialog-hover,
# tray-menu,tray-menu-highlighted}.png. Needs the Windows build (cmake --build --preset windows).
#   testbed/ui/make-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
program=$build/bin/ui_screens.exe
[[ -f $program ]] || { echo "build $program first" >&2; exit 1; }
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

"$wine" "$program" "Z:${work//\//\\}" &
app=$!
for scene in combwarn-dialog combwarn-dialog-hover tray-menu tray-menu-highlighted; do
  for _ in $(seq 600); do [[ -s $work/$scene.rect ]] && break; sleep 0.1; done
  [[ -s $work/$scene.rect ]] || { echo "no $scene scene" >&2; exit 1; }
  sleep 0.3
  import -window root -crop "$(head -1 "$work/$scene.rect")" +repage "$out/$scene.png"
  touch "$work/$scene.done"
  echo "$out/$scene.png"
done
wait "$app"
app=
