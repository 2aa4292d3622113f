#include "ui/win32/CBitmapBtn.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

namespace {

void RemoveStyle(HWND hWnd, LONG_PTR bits) {
    SetWindowLongPtrW(hWnd, GWL_STYLE, GetWindowLongPtrW(hWnd, GWL_STYLE) & ~bits);
    // Without a border the client area must grow to the whole button, or the images
    // (cut at the button's size) would be drawn squeezed.
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

GpBitmap* CopyArea(GpBitmap* source, int x, int y, int width, int height) {
    GpBitmap* copy = nullptr;
    if (source && gdip::GdipCloneBitmapAreaI(x, y, width, height, 0, source, &copy) != Gdiplus::Ok) copy = nullptr;
    return copy;
}

}  // namespace

CBitmapBtn::~CBitmapBtn() {
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        Detach();
        DestroyWindow(hWnd);
    }
    DeleteImages();
}

bool CBitmapBtn::Create(std::u16string_view caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
    const std::wstring text(caption.begin(), caption.end());
    HWND hWnd = CreateWindowExW(0, L"BUTTON", text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hWnd) return false;
    if (!SetWindowSubclass(hWnd, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow(hWnd);
        return false;
    }
    m_hWnd = hWnd;
    // The button is reached by the pointer only, never by the Tab key.
    RemoveStyle(m_hWnd, WS_TABSTOP);
    return true;
}

void CBitmapBtn::Detach() {
    RemoveWindowSubclass(m_hWnd, SubclassProc, 0);
    m_hWnd = nullptr;
}

void CBitmapBtn::DeleteImages() {
    for (GpBitmap** image : {&m_pNormal, &m_pHover, &m_pPressed, &m_pDisabled}) {
        if (*image) gdip::GdipDisposeImage(*image);
        *image = nullptr;
    }
}

void CBitmapBtn::SetImages(GpBitmap* normal, GpBitmap* hover, GpBitmap* pressed, GpBitmap* disabled, int x, int y,
                           int width, int height) {
    DeleteImages();
    m_pNormal = CopyArea(normal, x, y, width, height);
    m_pHover = CopyArea(hover, x, y, width, height);
    m_pPressed = CopyArea(pressed, x, y, width, height);
    m_pDisabled = CopyArea(disabled, x, y, width, height);
    if (m_hWnd) RemoveStyle(m_hWnd, WS_BORDER | WS_TABSTOP);
}

void CBitmapBtn::DrawItem(const DRAWITEMSTRUCT& request) {
    GpGraphics* graphics = nullptr;
    if (gdip::GdipCreateFromHDC(request.hDC, &graphics) != Gdiplus::Ok) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    GpBitmap* image = (request.itemState & ODS_SELECTED)   ? m_pPressed
                      : m_bHover                           ? m_pHover
                      : (request.itemState & ODS_DISABLED) ? m_pDisabled
                                                           : m_pNormal;
    if (image)
        gdip::GdipDrawImageRectI(graphics, image, client.left, client.top, client.right - client.left,
                                 client.bottom - client.top);
    gdip::GdipDeleteGraphics(graphics);
}

bool CBitmapBtn::ReflectDrawItem(const DRAWITEMSTRUCT& request) {
    if (!m_hWnd || request.hwndItem != m_hWnd) return false;
    DrawItem(request);
    return true;
}

LRESULT CALLBACK CBitmapBtn::SubclassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* button = reinterpret_cast<CBitmapBtn*>(self);
    if (msg == WM_NCDESTROY) {
        button->Detach();
        return DefSubclassProc(hWnd, msg, wParam, lParam);
    }
    return button->OnMessage(msg, wParam, lParam);
}

LRESULT CBitmapBtn::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: return 0;  // every paint covers the whole client area
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_CAPTURECHANGED: {
        // The flag stays: after a click the hover look remains until the pointer is
        // seen over another window or the button loses focus.
        if (m_bHover) {
            ReleaseCapture();
            Repaint();
        }
        return DefSubclassProc(m_hWnd, msg, wParam, lParam);
    }
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(m_hWnd, msg, wParam, lParam);
        m_bHover = false;
        Repaint();
        return result;
    }
    default: return DefSubclassProc(m_hWnd, msg, wParam, lParam);
    }
}

void CBitmapBtn::OnMouseMove(WPARAM keys, LPARAM point) {
    HWND hWnd = m_hWnd;
    DefSubclassProc(hWnd, WM_MOUSEMOVE, keys, point);
    const bool leftDown = (keys & MK_LBUTTON) != 0;
    if (leftDown && !m_bHover) return;
    // The pointer's leaving is learned by holding the capture while it is over the button.
    if (GetCapture() != hWnd && GetActiveWindow() && (GetWindow(hWnd, GW_OWNER) || GetParent(hWnd))) {
        m_bHover = true;
        SetCapture(hWnd);
        Repaint();
        return;
    }
    POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ClientToScreen(hWnd, &screen);
    HWND under = WindowFromPoint(screen);
    if (!under || under == hWnd) return;
    if (m_bHover) {
        m_bHover = false;
        Repaint();
    }
    if (!leftDown) ReleaseCapture();
}
