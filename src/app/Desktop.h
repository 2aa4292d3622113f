// The narrow seam through which the agent's portable logic reaches the desktop:
// posting, finding windows, timers, notification registrations, the tray, modal
// dialogs, message boxes, starting a program and the presence test.
#pragma once

#include "driver/KeyboardPresence.h"
#include "ui/TrayHost.h"

#include <cstdint>
#include <string>
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

// The tray's roles and the presence test are the tray's and the driver's own seams.
class IDesktop : public ITrayHost, public IKeyboardPresence {
public:
    virtual ~IDesktop() = default;

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

    // Runs the combination-key warning dialog modally; IDOK (1) or IDCANCEL (2).
    virtual int ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) = 0;

    // Full path of the running executable.
    virtual std::u16string ModulePath() = 0;
};
