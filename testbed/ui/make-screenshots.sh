#!/usr/bin/env bash
# Takes the documentation's pictures of the user interface from real windows under
# Wine on a private Xvfb display: docs/images/{combwarn-dialog,combwarn-dialog-hover,
# tray-menu,tray-menu-highlighted}.png. Needs the Windows build (cmake --build --preset windows).
#   testbed/ui/make-screenshots.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/windows}" && pwd)
program=$build/bin/ui_screens.exe
[[ -f $program ]] || { echo "build $program first" >&2; exit 1; }
. "$(dirname "$0")/screens-env.sh"

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
