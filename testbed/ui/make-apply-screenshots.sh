#!/usr/bin/env bash
# Takes the documentation's pictures of an apply from K7_Config.exe, docs/images/config-applying.png
# (an apply in progress, held by the agent's combination warning) and docs/images/config-reset.png
# (its result: a reset key), with the real agent and the virtual keyboard in a private prefix
# (build/windows/screens-apply-prefix) that testbed/wine/k7env brings up and takes down.
# Needs the Windows build (oxkbd, oxkbdctl, K7_Setting, K7_Config, k7ctl, k7person).
#   testbed/ui/make-apply-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
bin=$build/bin
out=$root/docs/images
k7env=$root/testbed/wine/k7env
prefix=$build/screens-apply-prefix
for f in oxkbd.sys oxkbdctl.exe K7_Setting.exe K7_Config.exe k7ctl.exe k7person.exe; do
  [[ -f $bin/$f ]] || { echo "build $bin/$f first" >&2; exit 1; }
done
run() { "$k7env" --prefix "$prefix" run "$@"; }
work=$(mktemp -d)
trap '"$k7env" --prefix "$prefix" down >/dev/null 2>&1; rm -rf "$work"' EXIT
"$k7env" --prefix "$prefix" up >/dev/null
export DISPLAY=:$(cat "$prefix/.k7/display")

run "$bin/oxkbdctl.exe" --reset factory >/dev/null
run "$bin/oxkbdctl.exe" --plug  # the tray finds the keyboard connected only as a device
run reg delete 'HKCU\Software\Orvex\K7' /f >/dev/null 2>&1 || true
run "$bin/K7_Setting.exe" &
for _ in $(seq 100); do run "$bin/k7ctl.exe" status | grep -q "agent:    running" && break; sleep 0.2; done

# Eight combinations on keys A to H fill the keyboard's slots; then a ninth on Esc, which the
# agent comes to before it frees any of the eight.
cat >"$work/eight.json" <<'JSON'
{"keys": {"A": {"combination": ["LeftCtrl", "B"]}, "B": {"combination": ["LeftCtrl", "C"]},
          "C": {"combination": ["LeftCtrl", "D"]}, "D": {"combination": ["LeftCtrl", "E"]},
          "E": {"combination": ["LeftCtrl", "F"]}, "F": {"combination": ["LeftCtrl", "G"]},
          "G": {"combination": ["LeftCtrl", "H"]}, "H": {"combination": ["LeftCtrl", "I"]}}}
JSON
cat >"$work/ninth.json" <<'JSON'
{"keys": {"Esc": {"combination": ["LeftCtrl", "J"]}, "F1": {"media": "PlayPause"}}}
JSON
run "$bin/k7ctl.exe" apply "$work/eight.json" >/dev/null
# k7ctl stores the ninth and meets the warning too; answered, the keyboard keeps the eight.
run "$bin/k7ctl.exe" apply "$work/ninth.json" >/dev/null 2>&1 &
run "$bin/k7person.exe" warning
wait $! || true

run "$bin/k7person.exe" open >/dev/null
run "$bin/k7person.exe" press
run "$bin/k7person.exe" shown
sleep 1  # the warning paints after it shows
geometry=$(run "$bin/k7person.exe" where | tr -d '\r')
import -window root -crop "$geometry" +repage "$out/config-applying.png"
run "$bin/k7person.exe" warning
run "$bin/k7person.exe" result
sleep 1  # the marked key repaints
import -window root -crop "$geometry" +repage "$out/config-reset.png"
run "$bin/k7ctl.exe" quit >/dev/null
echo "$out/config-applying.png $out/config-reset.png"
