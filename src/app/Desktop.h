// The narrow seam through which the agent's portable logic reaches the desktop:
// posting, finding windows, timers, notification registrations, the tray, modal
// dialogs, message boxes, starting a program and the presence test.
#pragma once

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

using WindowHandle = std::uintptr_t;  // 0 = none
using IconHandle = std::uintptr_t;    // 0 = none

// The fields of the notification-area record that the agent fills.
struct TrayIconData {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::uint32_t iconResource = 0;
    std::u16string tip;  // at most 127 characters reach the platform
};

class IDesktop {
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
    // An icon resource of the program's own module, and setting it as a window's big icon.
    virtual IconHandle LoadAppIcon(std::uint32_t resource) = 0;
    virtual void SetWindowIcon(WindowHandle window, IconHandle icon) = 0;

    virtual void SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) = 0;
    virtual void KillTimer(WindowHandle window, std::uintptr_t id) = 0;

    virtual bool RegisterSessionNotification(WindowHandle window) = 0;
    virtual void UnregisterSessionNotification(WindowHandle window) = 0;
    // Device-interface arrival and removal of USB devices, delivered as WM_DEVICECHANGE.
    virtual bool RegisterDeviceNotification(WindowHandle window) = 0;
    virtual void UnregisterDeviceNotification() = 0;

    virtual bool AddTrayIcon(const TrayIconData& icon) = 0;
    virtual void RemoveTrayIcon(WindowHandle owner, std::uint32_t id) = 0;
    // Shows the two-item owner-drawn tray menu at the cursor and returns when it closes;
    // a chosen item arrives afterwards as WM_COMMAND.
    virtual void ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) = 0;
    // Runs the combination-key warning dialog modally; IDOK (1) or IDCANCEL (2).
    virtual int ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) = 0;
    // OK button and exclamation icon; returns when the user closes it.
    virtual void ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) = 0;
    virtual bool StartProgram(std::u16string_view path) = 0;

    // Whether a present HID interface belongs to the keyboard.
    virtual bool FindDevice() = 0;
    // Full path of the running executable.
    virtual std::u16string ModulePath() = 0;
};
