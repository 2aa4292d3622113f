// The desktop seam over the real Win32 calls.
#pragma once

#include <windows.h>

#include "app/Desktop.h"

// Whatever the include order, the seam's method names stay unmapped here.
#undef PostMessage
#undef RegisterDeviceNotification

class CWin32Desktop final : public IDesktop {
public:
    CWin32Desktop() = default;
    CWin32Desktop(const CWin32Desktop&) = delete;
    CWin32Desktop& operator=(const CWin32Desktop&) = delete;

    bool PostMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<WindowHandle> OwnTopLevelWindows(std::u16string_view title) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    void DestroyWindow(WindowHandle window) override;
    std::intptr_t DefaultProcessing(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                    std::intptr_t lParam) override;
    IconHandle LoadAppIcon(std::uint32_t resource) override;
    void SetWindowIcon(WindowHandle window, IconHandle icon) override;
    void SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) override;
    void KillTimer(WindowHandle window, std::uintptr_t id) override;
    bool RegisterSessionNotification(WindowHandle window) override;
    void UnregisterSessionNotification(WindowHandle window) override;
    bool RegisterDeviceNotification(WindowHandle window) override;
    void UnregisterDeviceNotification() override;
    bool AddTrayIcon(const TrayIconData& icon) override;
    void RemoveTrayIcon(WindowHandle owner, std::uint32_t id) override;
    void ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) override;
    int ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) override;
    void ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) override;
    bool StartProgram(std::u16string_view path) override;
    bool FindDevice() override;
    std::u16string ModulePath() override;

private:
    HDEVNOTIFY m_hDevNotify = nullptr;  // the one device-interface registration of the process
};
