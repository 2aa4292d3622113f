// The tray icon's record and what each tray event and menu command does, over the tray's
// own seam so that the logic runs and is tested without Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/KeyboardPresence.h"
#include "ui/TrayHost.h"

inline constexpr std::uint32_t kTrayIconId = 128;
inline constexpr std::uint32_t kTrayIconResource = 128;
inline constexpr std::uint32_t kTrayIconFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
inline constexpr std::size_t kTrayTipMax = 127;     // the platform's tip holds 127 characters and the terminator

// What the tray shows and starts: the menu's texts, the no-keyboard message and its box's
// title, and the configuration program's full path. The agent fills it from its language
// strings and its own folder.
struct TrayContent {
    std::u16string configText;
    std::u16string exitText;
    std::u16string noKeyboard;
    std::u16string boxTitle;
    std::u16string configProgram;
};

// The record AddTrayIcon hands to the desktop.
TrayIconData MakeTrayIconData(WindowHandle task, std::u16string_view title);

// False when the notification area did not take the icon.
bool AddTrayIcon(ITrayHost& tray, WindowHandle task, std::u16string_view title);
void RemoveTrayIcon(ITrayHost& tray, WindowHandle task);

// WM_TRAY_NOTIFY: lParam is the mouse message over the icon. Returns 0.
std::intptr_t OnTrayNotify(ITrayHost& tray, IKeyboardPresence& presence, WindowHandle task, std::uintptr_t wParam,
                           std::intptr_t lParam, const TrayContent& content);

// Starts the configuration program when the keyboard is present, otherwise tells the user.
void OnConfigure(ITrayHost& tray, IKeyboardPresence& presence, WindowHandle task, const TrayContent& content);
