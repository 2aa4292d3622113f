// Helpers for the user-interface tests under Wine: GDI+ for the whole program,
// a memory canvas to draw into and read back, pictures' pixels, a thread timer
// that acts inside a modal loop, and a plain top-level window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/win32/Gdiplus.h"

// A 32-bit top-down DIB section selected into a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    std::uint32_t* m_bits = nullptr;
    int m_width, m_height;
};

COLORREF PicturePixel(GpBitmap* picture, int x, int y);
std::string Describe(COLORREF c);

// Runs action once, from a thread timer, inside whatever message loop runs next.
void ActSoon(std::function<void()> action, UINT delayMs = 50);
// Tries step from a thread timer every periodMs until it returns true.
void ActWhenReady(std::function<bool()> step, UINT periodMs = 50);
// Drops every action that has not run yet (their captures may be about to go away).
void CancelPendingActions();

// A visible top-level popup window with the default window procedure (or proc).
HWND CreatePlainWindow(const RECT& rect, WNDPROC proc = nullptr, DWORD style = WS_POPUP | WS_VISIBLE);
// Runs the thread's messages until nothing is left.
void PumpMessages();
