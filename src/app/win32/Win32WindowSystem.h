// The window system and the module path over the real Win32 calls.
#pragma once

#include <windows.h>

#include "app/ModulePath.h"
#include "app/WindowSystem.h"

// Whatever the include order, the seam's method names stay unmapped here.
#undef PostMessage
#undef RegisterDeviceNotification

class CWin32WindowSystem final : public IWindowSystem {
public:
    CWin32WindowSystem() = default;
    CWin32WindowSystem(const CWin32WindowSystem&) = delete;
    CWin32WindowSystem& operator=(const CWin32WindowSystem&) = delete;

    bool PostMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<WindowHandle> OwnTopLevelWindows(std::u16string_view title) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    void DestroyWindow(WindowHandle window) override;
    std::intptr_t DefaultProcessing(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                    std::intptr_t lParam) override;
    void SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) override;
    void KillTimer(WindowHandle window, std::uintptr_t id) override;
    bool RegisterSessionNotification(WindowHandle window) override;
    void UnregisterSessionNotification(WindowHandle window) override;
    bool RegisterDeviceNotification(WindowHandle window) override;
    void UnregisterDeviceNotification() override;

private:
    HDEVNOTIFY m_hDevNotify = nullptr;  // the one device-interface registration of the process
};

class CWin32ModulePath final : public IModulePath {
public:
    std::u16string ModulePath() override;
};
