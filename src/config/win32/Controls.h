// What the program's windows share about their controls: the texts as the system takes them
// and the one font, made for the window's DPI.
#pragma once

#include <windows.h>

#include <string>

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

inline constexpr int kUiFontPoints = 9;

// The caller deletes it, and makes it again on WM_DPICHANGED.
inline HFONT CreateUiFont(UINT dpi) {
    return CreateFontW(-MulDiv(kUiFontPoints, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
}

// WM_DPICHANGED's suggested rectangle (its lParam) keeps the window's size in the new DPI.
inline void MoveToSuggested(HWND window, LPARAM lParam) {
    const RECT& r = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
