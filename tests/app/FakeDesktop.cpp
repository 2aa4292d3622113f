#include "FakeDesktop.h"

#include "app/Messages.h"

namespace {

std::u16string Joined(std::u16string_view a, std::u16string_view b) {
    std::u16string s(a);
    s += u'|';
    s += b;
    return s;
}

}  // namespace

bool CFakeDesktop::PostMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    m_trace.Add({Ev::Post, to, msg, wParam, lParam});
    return m_windowProcess.contains(to);
}

std::vector<WindowHandle> CFakeDesktop::OwnTopLevelWindows(std::u16string_view title) {
    m_trace.Add({.kind = Ev::Find, .text = std::u16string(title)});
    std::vector<WindowHandle> found;
    const auto [first, last] = m_ownTopLevelWindows.equal_range(std::u16string(title));
    for (auto it = first; it != last; ++it) found.push_back(it->second);
    return found;
}

std::uint32_t CFakeDesktop::WindowProcessId(WindowHandle window) {
    const auto it = m_windowProcess.find(window);
    return it == m_windowProcess.end() ? 0 : it->second;
}

void CFakeDesktop::DestroyWindow(WindowHandle window) {
    m_trace.Add({Ev::Destroy, window});
    if (m_destroyMessages) m_destroyMessages(window);
}

std::intptr_t CFakeDesktop::DefaultProcessing(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    m_trace.Add({Ev::Default, window, msg, wParam, lParam});
    if (msg == WM_CLOSE && m_destroyMessages) m_destroyMessages(window);
    const auto it = m_defaultResults.find(msg);
    return it == m_defaultResults.end() ? 0 : it->second;
}

IconHandle CFakeDesktop::LoadAppIcon(std::uint32_t resource) {
    m_trace.Add({Ev::LoadIcon, 0, resource});
    return m_icon;
}

void CFakeDesktop::SetWindowIcon(WindowHandle window, IconHandle icon) { m_trace.Add({Ev::SetIcon, window, icon}); }

void CFakeDesktop::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    m_trace.Add({Ev::SetTimer, window, id, periodMs});
    m_runningTimers.insert(id);
}

void CFakeDesktop::KillTimer(WindowHandle window, std::uintptr_t id) {
    m_trace.Add({Ev::KillTimer, window, id});
    m_runningTimers.erase(id);
}

bool CFakeDesktop::RegisterSessionNotification(WindowHandle window) {
    m_trace.Add({Ev::RegSession, window});
    return true;
}

void CFakeDesktop::UnregisterSessionNotification(WindowHandle window) { m_trace.Add({Ev::UnregSession, window}); }

bool CFakeDesktop::RegisterDeviceNotification(WindowHandle window) {
    m_trace.Add({Ev::RegDevice, window});
    return true;
}

void CFakeDesktop::UnregisterDeviceNotification() { m_trace.Add({Ev::UnregDevice}); }

bool CFakeDesktop::AddTrayIcon(const TrayIconData& icon) {
    m_trace.Add({Ev::AddTray, icon.owner, icon.id, icon.flags, icon.callbackMessage, icon.tip});
    if (m_whileAddingTray) m_whileAddingTray();
    if (m_trayFailures > 0) {
        --m_trayFailures;
        return false;
    }
    return m_trayAvailable;
}

void CFakeDesktop::RemoveTrayIcon(WindowHandle owner, std::uint32_t id) { m_trace.Add({Ev::RemoveTray, owner, id}); }

void CFakeDesktop::ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) {
    m_trace.Add({.kind = Ev::TrayMenu, .window = owner, .text = Joined(configText, exitText)});
}

int CFakeDesktop::ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) {
    m_trace.Add({Ev::CombWarn, reference, parent});
    if (m_whileDialogOpen) m_whileDialogOpen();
    return m_dialogResult;
}

void CFakeDesktop::ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) {
    m_trace.Add({.kind = Ev::MessageBox, .window = owner, .text = Joined(text, title)});
}

bool CFakeDesktop::StartProgram(std::u16string_view path) {
    m_trace.Add({.kind = Ev::StartProgram, .text = std::u16string(path)});
    return true;
}

bool CFakeDesktop::FindDevice() {
    m_trace.Add({Ev::FindDevice});
    return m_devicePresent;
}
