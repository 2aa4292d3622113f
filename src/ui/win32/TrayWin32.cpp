#include "ui/win32/TrayWin32.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

bool Win32AddTrayIcon(const TrayIconData& icon) {
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

void Win32RemoveTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = owner;
    record.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &record);
}

void ShowAppMessageBox(HWND owner, std::u16string_view text, std::u16string_view title) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool StartConfigProgram(std::u16string_view path) {
    // The application name is the exact file, so a folder with spaces cannot make
    // the system start another program; the quoted path is the child's argv[0].
    const std::wstring application = Wide(path);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
