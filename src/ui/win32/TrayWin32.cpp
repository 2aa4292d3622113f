#include "ui/win32/TrayWin32.h"

#include "ui/win32/TrayMenuWin32.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

IconHandle CWin32TrayHost::LoadAppIcon(std::uint32_t resource) {
    return reinterpret_cast<IconHandle>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource)));
}

void CWin32TrayHost::SetWindowIcon(WindowHandle window, IconHandle icon) {
    SendMessageW(Hwnd(window), WM_SETICON, ICON_BIG, static_cast<LPARAM>(icon));
}

bool CWin32TrayHost::AddTrayIcon(const TrayIconData& icon) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = reinterpret_cast<HWND>(icon.owner);
    record.uID = icon.id;
    record.uFlags = icon.flags;
    record.uCallbackMessage = icon.callbackMessage;
    record.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon.iconResource));
    const std::size_t tipLength = std::min(icon.tip.size(), std::size(record.szTip) - 1);
    std::copy_n(icon.tip.begin(), tipLength, record.szTip);
    record.szTip[tipLength] = L'\0';
    return Shell_NotifyIconW(NIM_ADD, &record) || Shell_NotifyIconW(NIM_MODIFY, &record);
}

void CWin32TrayHost::RemoveTrayIcon(WindowHandle owner, std::uint32_t id) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = Hwnd(owner);
    record.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &record);
}

void CWin32TrayHost::ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) {
    Win32ShowTrayMenu(Hwnd(owner), configText, exitText);
}

void CWin32TrayHost::ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) {
    MessageBoxW(Hwnd(owner), Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool CWin32TrayHost::StartProgram(std::u16string_view path) {
    // The application name is the exact file, so a folder with spaces cannot make
    // the system start another program; the quoted path is the child's argv[0].
    const std::wstring application = Wide(path);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
