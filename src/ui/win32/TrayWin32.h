// The tray host over the real Win32 calls: the program's icons, the notification-area icon,
// the tray menu, the application message box and the start of the configuration program.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/TrayHost.h"

class CWin32TrayHost final : public ITrayHost {
public:
    IconHandle LoadAppIcon(std::uint32_t resource) override;
    void SetWindowIcon(WindowHandle window, IconHandle icon) override;
    // NIM_ADD; when an icon with this owner and id still exists (a re-add after the
    // shell came back), NIM_MODIFY brings it up to date instead.
    bool AddTrayIcon(const TrayIconData& icon) override;
    void RemoveTrayIcon(WindowHandle owner, std::uint32_t id) override;
    void ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) override;
    // OK button and exclamation icon.
    void ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) override;
    // Starts the program at this full path, shown normally; keeps no handle to it.
    bool StartProgram(std::u16string_view path) override;
};
