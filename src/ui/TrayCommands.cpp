#include "ui/TrayCommands.h"

#include <algorithm>

#include "app/Messages.h"
#include "app/ModulePath.h"

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

bool AddTrayIcon(IDesktop& desktop, WindowHandle task, std::u16string_view title) {
    return desktop.AddTrayIcon(MakeTrayIconData(task, title));
}

void RemoveTrayIcon(IDesktop& desktop, WindowHandle task) { desktop.RemoveTrayIcon(task, kTrayIconId); }

std::intptr_t OnTrayNotify(IDesktop& desktop, WindowHandle task, std::uintptr_t /*wParam: the only icon*/,
                           std::intptr_t lParam, std::u16string_view configText, std::u16string_view exitText,
                           std::u16string_view msg4) {
    if (lParam == kLeftDoubleClick)
        OnConfigure(desktop, task, msg4);
    else if (lParam == kRightButtonDown)
        desktop.ShowTrayMenu(task, configText, exitText);
    return 0;
}

void OnConfigure(IDesktop& desktop, WindowHandle task, std::u16string_view msg4) {
    if (!desktop.FindDevice()) {
        desktop.ShowMessageBox(task, msg4, ModuleBaseName(desktop.ModulePath()));
        return;
    }
    desktop.StartProgram(ConfigProgramPath(desktop.ModulePath()));
}

void OnExit(IDesktop& desktop, WindowHandle task) { desktop.DestroyWindow(task); }

std::u16string ConfigProgramPath(std::u16string_view modulePath) {
    return SiblingFilePath(modulePath, u"K7_Config", u"exe");
}
