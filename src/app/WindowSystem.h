// The window system as the task window uses it: posting, finding its own windows, the
// default processing, destruction, a window's owner, timers and the notification
// registrations (CWin32WindowSystem on Windows).
#pragma once

#include "ui/TrayHost.h"  // WindowHandle

#include <cstdint>
#include <string_view>
#include <vector>

// The platform's headers map these names to their A/W variants; the seam keeps its own
// names (Win32 sources include <windows.h> before this header).
#ifdef PostMessage
#undef PostMessage
#endif
#ifdef RegisterDeviceNotification
#undef RegisterDeviceNotification
#endif

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    virtual bool PostMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The top-level windows of the calling thread with exactly this title.
    virtual std::vector<WindowHandle> OwnTopLevelWindows(std::u16string_view title) = 0;
    // The process that owns the window; 0 when the handle names no window.
    virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    // The system's default processing of a message to one of the agent's windows.
    virtual std::intptr_t DefaultProcessing(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                            std::intptr_t lParam) = 0;

    virtual void SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) = 0;
    virtual void KillTimer(WindowHandle window, std::uintptr_t id) = 0;

    virtual bool RegisterSessionNotification(WindowHandle window) = 0;
    virtual void UnregisterSessionNotification(WindowHandle window) = 0;
    // Device-interface arrival and removal of USB devices, delivered as WM_DEVICECHANGE.
    virtual bool RegisterDeviceNotification(WindowHandle window) = 0;
    virtual void UnregisterDeviceNotification() = 0;
};
