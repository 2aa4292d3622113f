#include "UiTestSupport.h"

#include "k7testbed/OwnDesktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace {

// GDI+ for every test, as the agent starts it; and, under Wine, a virtual desktop of
// the test's own, where windows come and go without waiting for a window manager.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        k7testbed::UseOwnDesktop(L"k7ui");
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};
const auto* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

std::map<UINT_PTR, std::function<bool()>> g_actions;

void CALLBACK RunAction(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = g_actions.find(id);
    if (found == g_actions.end()) return KillTimer(nullptr, id), void();
    // The step may start a nested loop in which this timer fires again: hold it meanwhile.
    auto step = std::move(found->second);
    found->second = [] { return false; };
    if (step()) {
        KillTimer(nullptr, id);
        g_actions.erase(id);
    } else if (const auto again = g_actions.find(id); again != g_actions.end()) {
        again->second = std::move(step);
    }
}

}  // namespace

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    const std::uint32_t value = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    for (int i = 0; i < width * height; ++i) m_bits[i] = value;
}

Canvas::~Canvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    const std::uint32_t v = m_bits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

COLORREF PicturePixel(GpBitmap* picture, int x, int y) {
    Gdiplus::ARGB argb = 0;
    gdip::GdipBitmapGetPixel(picture, x, y, &argb);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

std::string Describe(COLORREF c) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u,%u,%u)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

void ActSoon(std::function<void()> action, UINT delayMs) {
    ActWhenReady(
        [action = std::move(action)] {
            action();
            return true;
        },
        delayMs);
}

void ActWhenReady(std::function<bool()> step, UINT periodMs) {
    const UINT_PTR id = SetTimer(nullptr, 0, periodMs, RunAction);
    g_actions[id] = std::move(step);
}

void CancelPendingActions() {
    for (const auto& [id, step] : g_actions) KillTimer(nullptr, id);
    g_actions.clear();
}

HWND CreatePlainWindow(const RECT& rect, WNDPROC proc, DWORD style) {
    static const wchar_t* const kClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"K7UiTestWindow";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    HWND hWnd = CreateWindowExW(0, kClass, L"ui test", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (proc) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return hWnd;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
