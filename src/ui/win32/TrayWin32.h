// The desktop side of the tray commands: the notification-area icon, the
// application message box and the start of the configuration program.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/TrayHost.h"

// NIM_ADD; when an icon with this owner and id still exists (a re-add after the
// shell came back), NIM_MODIFY brings it up to date instead.
bool Win32AddTrayIcon(const TrayIconData& icon);
void Win32RemoveTrayIcon(HWND owner, UINT id);
// OK button and exclamation icon.
void ShowAppMessageBox(HWND owner, std::u16string_view text, std::u16string_view title);
// Starts the program at this full path, shown normally; keeps no handle to it.
bool StartConfigProgram(std::u16string_view path);
