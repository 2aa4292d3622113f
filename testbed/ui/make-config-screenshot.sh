#!/usr/bin/env bash
# Takes the documentation's pictures of the configuration program from K7_Config.exe under Wine
# on a private Xvfb display, with a few keys stored with functions of each kind (the agent is not
# needed for that): the main window, docs/images/config-main.png, a key being assigned,
# docs/images/config-assign.png (config_poser.exe double-clicks the combination key), and the
# macros window, docs/images/config-macros.png.
# Needs the Windows build (cmake --build --preset windows --target K7_Config config_poser).
#   testbed/ui/make-config-screenshot.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/windows}" && pwd)
program=$build/bin/K7_Config.exe
poser=$build/bin/config_poser.exe
[[ -f $program && -f $poser ]] || { echo "build $program and $poser first" >&2; exit 1; }
. "$(dirname "$0")/screens-env.sh"

# KeySetting: every key of ButtonPos.xml with its factory function, then one key of each kind;
# MacroSetting with one macro (A down, A up), CombSetting with one combination (LeftCtrl+C).
# Written as a registry file: the macro value is too long for a command line.
combination=$(python3 - "$root/src/res/ButtonPos.xml" "$work/settings.reg" <<'PY'
import re, struct, sys
layout = re.findall(r'<key name="([^"]*)" vkcode="0x([0-9A-Fa-f]+)"', open(sys.argv[1], encoding="utf-8").read())
kinds = {"Esc": (5, 3), "F1": (5, 0), "F2": (5, 1), "F3": (5, 2), "Q": (4, 0), "E": (8, 0), "W": (9, 0x26),
         "A": (9, 0x25), "S": (9, 0x28), "D": (9, 0x27), "Special 1": (3, 1), "Special 2": (3, 2),
         "F5": (2, 1), "F6": (6, 2), "F7": (6, 3)}
keys = b"".join(struct.pack("<B3xii", int(vk, 16), *kinds.get(name, (1, 0))) for name, vk in layout)
macro = bytes(8) + struct.pack("<IHH", 1, 2, 0) + struct.pack("<BB2xI", 0x41, 1, 50) + struct.pack("<BB2xI", 0x41, 0, 50)
values = {"KeySetting": keys + bytes(1296 - len(keys)),
          "MacroSetting": macro + bytes(130400 - len(macro)) + struct.pack("<i", 1),
          "CombSetting": bytes([0xA2, 0x43, 0, 0]) + bytes(52404 - 4)}
with open(sys.argv[2], "w", encoding="utf-16") as reg:
    reg.write("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvex\\K7]\r\n")
    for name, data in values.items():
        reg.write('"%s"=hex:%s\r\n' % (name, ",".join("%02x" % b for b in data)))
print([name for name, _ in layout].index("E"))
PY
)
"$wine" regedit /S "Z:${work//\//\\}\\settings.reg" >/dev/null 2>&1

"$wine" "$program" &
app=$!
shoot_config_window "$out/config-main.png"

both=$("$wine" "$poser" "$combination" | tr -d '\r')
[[ -n $both ]] || { echo "no assignment dialog" >&2; exit 1; }
sleep 1  # the dialog paints after it maps
import -window root -crop "$both" +repage "$out/config-assign.png"
echo "$out/config-assign.png"

# The macros window with the stored macro chosen, once the dialog is closed.
macros=$("$wine" "$poser" macros | tr -d '\r')
[[ -n $macros ]] || { echo "no macros window" >&2; exit 1; }
sleep 1
import -window root -crop "$macros" +repage "$out/config-macros.png"
echo "$out/config-macros.png"
