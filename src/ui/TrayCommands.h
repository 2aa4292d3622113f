// The tray icon's record and what each tray event and menu command does, over the
// desktop seam so that the logic runs and is tested without Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Desktop.h"

inline constexpr std::uint32_t kTrayIconId = 128;
inline constexpr std::uint32_t kTrayIconResource = 128;
inline constexpr std::uint32_t kTrayIconFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
inline constexpr std::size_t kTrayTipMax = 127;     // the platform's tip holds 127 characters and the terminator

// The record AddTrayIcon hands to the desktop.
TrayIconData MakeTrayIconData(WindowHandle task, std::u16string_view title);

// False when the notification area did not take the icon.
bool AddTrayIcon(IDesktop& desktop, WindowHandle task, std::u16string_view title);
void RemoveTrayIcon(IDesktop& desktop, WindowHandle task);

// WM_TRAY_NOTIFY: lParam is the mouse message over the icon. Returns 0.
std::intptr_t OnTrayNotify(IDesktop& desktop, WindowHandle task, std::uintptr_t wParam, std::intptr_t lParam,
                           std::u16string_view configText, std::u16string_view exitText, std::u16string_view msg4);

// Starts K7_Config.exe from the agent's folder when the keyboard is present,
// otherwise tells the user with msg4.
void OnConfigure(IDesktop& desktop, WindowHandle task, std::u16string_view msg4);
void OnExit(IDesktop& desktop, WindowHandle task);

// K7_Config.exe in the folder of the executable's full path (either separator).
std::u16string ConfigProgramPath(std::u16string_view modulePath);
