// The desktop's five roles as one recording fake, for the task window's tests and the tray's:
// every call lands in the shared Trace; queries answer from the state a test sets up
// (windows and their processes, titles, results).
#pragma once

#include "Trace.h"
#include "app/Desktop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

class CFakeDesktop final : public IWindowSystem,
                           public ITrayHost,
                           public IWarningDialog,
                           public IKeyboardPresence,
                           public IModulePath {
public:
    explicit CFakeDesktop(Trace& trace) : m_trace(trace) {}

    // Every role played by this one fake.
    DesktopRoles Roles() { return {*this, *this, *this, *this, *this}; }

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
    std::u16string ModulePath() override { return m_modulePath; }

    // Set-up.
    std::map<WindowHandle, std::uint32_t> m_windowProcess;             // live windows and their owners
    std::multimap<std::u16string, WindowHandle> m_ownTopLevelWindows;  // OwnTopLevelWindows answers
    std::map<std::uint32_t, std::intptr_t> m_defaultResults;           // DefaultProcessing answers, else 0
    std::u16string m_modulePath = u"C:\\Program Files\\Orvex\\K7_Setting.exe";
    bool m_devicePresent = false;
    bool m_trayAvailable = true;
    int m_trayFailures = 0;  // additions refused before m_trayAvailable answers
    int m_dialogResult = 1;
    std::function<void()> m_whileDialogOpen;  // messages the dialog's nested loop dispatches
    std::function<void()> m_whileAddingTray;  // messages sent to the task window while the
                                              // notification area takes the icon
    // What the system does to a window that DestroyWindow or the default processing of
    // WM_CLOSE destroys: its destruction messages.
    std::function<void(WindowHandle)> m_destroyMessages;
    IconHandle m_icon = 0x1C0;

    // Observed state.
    std::set<std::uintptr_t> m_runningTimers;

private:
    Trace& m_trace;
};
