#include "app/win32/Win32WindowSystem.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <algorithm>
#include <string>

namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// USB device interfaces: {A5DCBF10-6530-11D2-901F-00C04FB951ED}.
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);

struct TitleSearch {
    std::u16string_view title;
    DWORD thread;
    std::vector<WindowHandle> found;
};

BOOL CALLBACK MatchOwnWindow(HWND hwnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<TitleSearch*>(lParam);
    if (GetWindowThreadProcessId(hwnd, nullptr) != search.thread) return TRUE;
    // Room for one character more than the title, so that a longer title does not match its start.
    std::vector<wchar_t> text(search.title.size() + 2);
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    if (static_cast<std::size_t>(length) == search.title.size() &&
        std::equal(search.title.begin(), search.title.end(), text.begin()))
        search.found.push_back(reinterpret_cast<WindowHandle>(hwnd));
    return TRUE;
}

}  // namespace

bool CWin32WindowSystem::PostMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return PostMessageW(Hwnd(to), msg, wParam, lParam) != FALSE;
}

std::vector<WindowHandle> CWin32WindowSystem::OwnTopLevelWindows(std::u16string_view title) {
    // FindWindowW would give the first window of that title of any program, which both hides the
    // agent's own behind it and hands that program the message.
    TitleSearch search{title, GetCurrentThreadId(), {}};
    EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::uint32_t CWin32WindowSystem::WindowProcessId(WindowHandle window) {
    DWORD process = 0;
    if (window == 0 || GetWindowThreadProcessId(Hwnd(window), &process) == 0) return 0;
    return process;
}

void CWin32WindowSystem::DestroyWindow(WindowHandle window) { ::DestroyWindow(Hwnd(window)); }

std::intptr_t CWin32WindowSystem::DefaultProcessing(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                                    std::intptr_t lParam) {
    return DefWindowProcW(Hwnd(window), msg, wParam, lParam);
}

void CWin32WindowSystem::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    ::SetTimer(Hwnd(window), id, periodMs, nullptr);
}

void CWin32WindowSystem::KillTimer(WindowHandle window, std::uintptr_t id) { ::KillTimer(Hwnd(window), id); }

bool CWin32WindowSystem::RegisterSessionNotification(WindowHandle window) {
    return WTSRegisterSessionNotification(Hwnd(window), NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void CWin32WindowSystem::UnregisterSessionNotification(WindowHandle window) {
    WTSUnRegisterSessionNotification(Hwnd(window));
}

bool CWin32WindowSystem::RegisterDeviceNotification(WindowHandle window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    m_hDevNotify = RegisterDeviceNotificationW(Hwnd(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return m_hDevNotify != nullptr;
}

void CWin32WindowSystem::UnregisterDeviceNotification() {
    if (m_hDevNotify == nullptr) return;
    ::UnregisterDeviceNotification(m_hDevNotify);
    m_hDevNotify = nullptr;
}

std::u16string CWin32ModulePath::ModulePath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::u16string(reinterpret_cast<const char16_t*>(path), length);
}
