// A push button painted entirely from pictures, one per state (normal, pointer
// over it, pressed, disabled), each cut out of a full-surface picture of its parent
// at the button's own rectangle so that it blends into that surface.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/win32/Gdiplus.h"

class CBitmapBtn {
public:
    CBitmapBtn() = default;
    ~CBitmapBtn();
    CBitmapBtn(const CBitmapBtn&) = delete;
    CBitmapBtn& operator=(const CBitmapBtn&) = delete;

    // The platform button creation; style normally WS_CHILD | WS_VISIBLE | BS_OWNERDRAW.
    bool Create(std::u16string_view caption, DWORD style, const RECT& rect, HWND parent, UINT id);
    HWND Window() const { return m_hWnd; }
    bool IsHover() const { return m_bHover; }

    // Replaces the four images by copies of the area (x, y, width, height) of the
    // given sources (each may be none); the caller keeps its sources.
    void SetImages(GpBitmap* normal, GpBitmap* hover, GpBitmap* pressed, GpBitmap* disabled, int x, int y, int width,
                   int height);
    void DrawItem(const DRAWITEMSTRUCT& request);
    // For the parent's WM_DRAWITEM: paints and returns true when the request is this button's.
    bool ReflectDrawItem(const DRAWITEMSTRUCT& request);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM keys, LPARAM point);
    void Repaint() { InvalidateRect(m_hWnd, nullptr, TRUE); }
    void DeleteImages();
    void Detach();

    HWND m_hWnd = nullptr;
    GpBitmap* m_pNormal = nullptr;
    GpBitmap* m_pHover = nullptr;
    GpBitmap* m_pPressed = nullptr;
    GpBitmap* m_pDisabled = nullptr;
    bool m_bHover = false;
};
