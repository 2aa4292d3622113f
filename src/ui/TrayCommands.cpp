#include "ui/TrayCommands.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
constexpr std::uint32_t kRightButtonDown = 0x0204;  // WM_RBUTTONDOWN

}  // namespace

TrayIconData MakeTrayIconData(WindowHandle task, std::u16string_view title) {
    TrayIconData icon;
    icon.owner = task;
    icon.id = kTrayIconId;
    icon.flags = kTrayIconFlags;
    icon.callbackMessage = WM_TRAY_NOTIFY;
    icon.iconResource = kTrayIconResource;
    std::size_t length = std::min(title.size(), kTrayTipMax);
    // Never keep half of a character outside the basic plane.
    if (length < title.size() && length > 0 && title[length - 1] >= 0xD800 && title[length - 1] <= 0xDBFF) --length;
    icon.tip = title.substr(0, length);
    return icon;
}

bool AddTrayIcon(ITrayHost& tray, WindowHandle task, std::u16string_view title) {
    return tray.AddTrayIcon(MakeTrayIconData(task, title));
}

void RemoveTrayIcon(ITrayHost& tray, WindowHandle task) { tray.RemoveTrayIcon(task, kTrayIconId); }

std::intptr_t OnTrayNotify(ITrayHost& tray, IKeyboardPresence& presence, WindowHandle task,
                           std::uintptr_t /*wParam: the only icon*/, std::intptr_t lParam, const TrayContent& content) {
    if (lParam == kLeftDoubleClick)
        OnConfigure(tray, presence, task, content);
    else if (lParam == kRightButtonDown)
        tray.ShowTrayMenu(task, content.configText, content.exitText);
    return 0;
}

void OnConfigure(ITrayHost& tray, IKeyboardPresence& presence, WindowHandle task, const TrayContent& content) {
    if (!presence.FindDevice()) {
        tray.ShowMessageBox(task, content.noKeyboard, content.boxTitle);
        return;
    }
    tray.StartProgram(content.configProgram);
}
