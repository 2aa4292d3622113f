// The notification area's icons as another process sees them.
#pragma once

#include <windows.h>
#include <shellapi.h>

// An icon as the notification area knows it, from any process: its window and id.
inline NOTIFYICONDATAW TrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = id;
    return icon;
}

// The notification area's own answer: changing nothing in an icon succeeds only when the
// area holds it.
inline bool TrayIconExists(HWND owner, UINT id) {
    NOTIFYICONDATAW probe = TrayIcon(owner, id);
    return Shell_NotifyIconW(NIM_MODIFY, &probe);
}
