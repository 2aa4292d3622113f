#!/usr/bin/env bash
# Takes the documentation's picture of the configuration program's main window,
# docs/images/config-main.png, from K7_Config.exe under Wine on a private Xvfb display, with a
# few keys stored with functions of each kind (the agent is not needed for that).
# Needs the Windows build (cmake --build --preset windows --target K7_Config).
#   testbed/ui/make-config-screenshot.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/windows}" && pwd)
program=$build/bin/K7_Config.exe
[[ -f $program ]] || { echo "build $program first" >&2; exit 1; }
. "$(dirname "$0")/screens-env.sh"

# KeySetting: every key of ButtonPos.xml with its factory function, then one key of each kind.
keys=$(python3 - "$root/src/res/ButtonPos.xml" <<'PY'
import re, struct, sys
layout = re.findall(r'<key name="([^"]*)" vkcode="0x([0-9A-Fa-f]+)"', open(sys.argv[1], encoding="utf-8").read())
kinds = {"Esc": (5, 3), "F1": (5, 0), "F2": (5, 1), "F3": (5, 2), "Q": (4, 0), "E": (8, 0), "W": (9, 0x26),
         "A": (9, 0x25), "S": (9, 0x28), "D": (9, 0x27), "Special 1": (3, 1), "Special 2": (3, 2),
         "F5": (2, 1), "F6": (6, 2), "F7": (6, 3)}
data = b"".join(struct.pack("<B3xii", int(vk, 16), *kinds.get(name, (1, 0))) for name, vk in layout)
print((data + bytes(1296 - len(data))).hex())
PY
)
"$wine" reg add 'HKCU\Software\Orvex\K7' /v KeySetting /t REG_BINARY /d "$keys" /f >/dev/null

"$wine" "$program" &
app=$!
shoot_config_window "$out/config-main.png"
