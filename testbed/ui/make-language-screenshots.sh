#!/usr/bin/env bash
# Takes the documentation's pictures of the tray menu and of the configuration program in one
# of the shipped translations, docs/images/{tray-menu,config-main}-TAG.png, from the real
# programs under Wine on a private Xvfb display: the agent's menu as the agent draws it with the
# texts of language.TAG.xml, and K7_Config.exe from a folder where that file is language.xml.
# Needs the Windows build (cmake --build --preset windows --target ui_screens K7_Config).
#   testbed/ui/make-language-screenshots.sh TAG [BUILD_DIR]     e.g. TAG = zh-CN, de
set -euo pipefail
tag=${1:?usage: make-language-screenshots.sh TAG [BUILD_DIR]}
build=$(cd "${2:-$(dirname "$0")/../../build/windows}" && pwd)
for f in ui_screens.exe K7_Config.exe ButtonPos.xml "language.$tag.xml"; do
  [[ -f $build/bin/$f ]] || { echo "build $build/bin/$f first" >&2; exit 1; }
done
. "$(dirname "$0")/screens-env.sh"
"$wine" wineboot -i >/dev/null 2>&1
[[ -f $(dirname "$0")/wine-fonts.sh ]] && . "$(dirname "$0")/wine-fonts.sh"

# The program's folder as an installation holds it, with the translation in place.
mkdir -p "$work/K7"
cp "$build/bin/K7_Config.exe" "$build/bin/ButtonPos.xml" "$build"/bin/language.*.xml "$work/K7/"
cp "$build/bin/language.$tag.xml" "$work/K7/language.xml"
cp "$build/bin/ui_screens.exe" "$work/"

"$wine" "$work/ui_screens.exe" "Z:${work//\//\\}" "Z:${work//\//\\}\\K7\\language.xml" &
app=$!
scene=tray-menu
for _ in $(seq 600); do [[ -s $work/$scene.rect ]] && break; sleep 0.1; done
[[ -s $work/$scene.rect ]] || { echo "no $scene scene" >&2; exit 1; }
sleep 0.3
import -window root -crop "$(head -1 "$work/$scene.rect")" +repage "$out/tray-menu-$tag.png"
touch "$work/$scene.done" "$work/tray-menu-highlighted.done"
echo "$out/tray-menu-$tag.png"
wait "$app"

"$wine" "$work/K7/K7_Config.exe" &
app=$!
shoot_config_window "$out/config-main-$tag.png"
