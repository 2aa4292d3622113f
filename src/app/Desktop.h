// The desktop as the agent's portable logic sees it: five narrow roles, each implemented
// beside what it wraps (the window system and the module path in app/win32, the tray and
// the warning dialog in ui/win32, the presence test in driver/win32) and wired in WinMain.
#pragma once

#include "app/ModulePath.h"
#include "app/WindowSystem.h"
#include "driver/KeyboardPresence.h"
#include "ui/TrayHost.h"

struct DesktopRoles {
    IWindowSystem& windows;
    ITrayHost& tray;
    IWarningDialog& warning;
    IKeyboardPresence& presence;
    IModulePath& module;
};
