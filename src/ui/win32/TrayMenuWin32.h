// The tray menu: built and tracked at the cursor for one showing, and the routing
// of its owner-draw requests from the owner window's procedure.
#pragma once

#include <windows.h>

#include <string_view>

inline constexpr COLORREF kTrayMenuStripColour = RGB(219, 216, 209);
inline constexpr COLORREF kTrayMenuHighlightColour = RGB(177, 185, 207);

// Returns when the menu closes; a chosen item reaches the owner as WM_COMMAND.
void Win32ShowTrayMenu(HWND owner, std::u16string_view configText, std::u16string_view exitText);

// Called first by the owner's window procedure: answers WM_MEASUREITEM and
// WM_DRAWITEM for the tray menu being tracked and returns true (with *result set);
// false for every other message.
bool RouteMenuOwnerDraw(HWND owner, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
