#include "ui/win32/CBitmapBtn.h"

#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "res/resource.h"
#include "ui/win32/PngResource.h"

namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);
constexpr RECT kAccept{173, 120, 215, 141};
constexpr RECT kCancel{240, 120, 284, 141};

class BitmapBtnTest : public testing::Test {
protected:
    void SetUp() override {
        HMODULE module = GetModuleHandleW(nullptr);
        ASSERT_TRUE(LoadPngResource(module, IDB_PNG_BACKGROUND, m_face));
        ASSERT_TRUE(LoadPngResource(module, IDB_PNG_HOVER, m_hover));
        ASSERT_TRUE(LoadPngResource(module, IDB_PNG_PRESSED, m_pressed));
        m_parent = CreatePlainWindow(RECT{100, 100, 420, 260});
        SetForegroundWindow(m_parent);
        SetActiveWindow(m_parent);
    }
    void TearDown() override {
        ReleaseCapture();
        DestroyWindow(m_parent);
        PumpMessages();
    }

    void Place(CBitmapBtn& button, const RECT& rect) {
        ASSERT_TRUE(
            button.Create(u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | WS_TABSTOP | WS_BORDER, rect, m_parent, 0));
        button.SetImages(m_face.Bitmap(), m_hover.Bitmap(), m_pressed.Bitmap(), m_pressed.Bitmap(), rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top);
    }

    // Paints the button for this item state into a canvas and compares every pixel
    // with the picture's pixels under the button.
    static void ExpectPaints(CBitmapBtn& button, UINT state, GpBitmap* picture, const RECT& area) {
        const int w = area.right - area.left, h = area.bottom - area.top;
        Canvas canvas(w, h, kSentinel);
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_BUTTON;
        request.itemAction = ODA_DRAWENTIRE;
        request.itemState = state;
        request.hwndItem = button.Window();
        request.hDC = canvas.Dc();
        request.rcItem = RECT{0, 0, w, h};
        button.DrawItem(request);
        int differences = 0;
        std::string first;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF want = PicturePixel(picture, area.left + x, area.top + y);
                if (canvas.At(x, y) != want && differences++ == 0)
                    first = std::to_string(x) + "," + std::to_string(y) + ": " + Describe(canvas.At(x, y)) +
                            " instead of " + Describe(want);
            }
        EXPECT_EQ(differences, 0) << "state " << state << ", first at " << first;
    }

    static LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

    CPngPicture m_face, m_hover, m_pressed;
    HWND m_parent = nullptr;
};

TEST_F(BitmapBtnTest, EachStatePaintsItsPictureAtTheButtonsArea) {
    CBitmapBtn accept, cancel;
    Place(accept, kAccept);
    Place(cancel, kCancel);
    ExpectPaints(accept, 0, m_face.Bitmap(), kAccept);
    ExpectPaints(cancel, 0, m_face.Bitmap(), kCancel);
    ExpectPaints(accept, ODS_SELECTED, m_pressed.Bitmap(), kAccept);
    ExpectPaints(cancel, ODS_DISABLED, m_pressed.Bitmap(), kCancel);
    ExpectPaints(accept, ODS_SELECTED | ODS_DISABLED, m_pressed.Bitmap(), kAccept);

    SendMessageW(accept.Window(), WM_MOUSEMOVE, 0, Point(5, 5));
    ASSERT_TRUE(accept.IsHover());
    ExpectPaints(accept, 0, m_hover.Bitmap(), kAccept);
    ExpectPaints(accept, ODS_DISABLED, m_hover.Bitmap(), kAccept);
    ExpectPaints(accept, ODS_SELECTED, m_pressed.Bitmap(), kAccept);
}

TEST_F(BitmapBtnTest, StylesLoseTabStopAndBorderAndBackgroundIsNeverErased) {
    CBitmapBtn button;
    Place(button, kAccept);
    const LONG_PTR style = GetWindowLongPtrW(button.Window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_TABSTOP | WS_BORDER), 0);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);

    Canvas canvas(10, 10, kSentinel);
    EXPECT_EQ(SendMessageW(button.Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    EXPECT_EQ(canvas.At(5, 5), kSentinel);
}

TEST_F(BitmapBtnTest, WithoutImagesOrWithAFailedCopyNothingIsPainted) {
    CBitmapBtn bare;
    ASSERT_TRUE(bare.Create(u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, kAccept, m_parent, 0));
    Canvas canvas(42, 21, kSentinel);
    DRAWITEMSTRUCT request{};
    request.hwndItem = bare.Window();
    request.hDC = canvas.Dc();
    bare.DrawItem(request);
    EXPECT_EQ(canvas.At(0, 0), kSentinel);
    EXPECT_EQ(canvas.At(41, 20), kSentinel);

    // An area outside the pictures cannot be copied: every state stays empty.
    bare.SetImages(m_face.Bitmap(), m_hover.Bitmap(), nullptr, nullptr, 300, 150, 42, 21);
    bare.DrawItem(request);
    request.itemState = ODS_SELECTED;
    bare.DrawItem(request);
    EXPECT_EQ(canvas.At(20, 10), kSentinel);
}

TEST_F(BitmapBtnTest, HoverShowsOverTheButtonAndLeavesOverTheParent) {
    CBitmapBtn button;
    Place(button, kAccept);
    ASSERT_EQ(GetActiveWindow(), m_parent);

    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(10, 10));
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(GetCapture(), button.Window());

    // Still over the button: nothing changes.
    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(30, 15));
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(GetCapture(), button.Window());

    // The point lies on the parent's surface, left of the button.
    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(-20, 5));
    EXPECT_FALSE(button.IsHover());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BitmapBtnTest, EnteringWithTheLeftButtonHeldShowsNoHover) {
    CBitmapBtn button;
    Place(button, kAccept);
    SendMessageW(button.Window(), WM_MOUSEMOVE, MK_LBUTTON, Point(10, 10));
    EXPECT_FALSE(button.IsHover());
    EXPECT_NE(GetCapture(), button.Window());
}

TEST_F(BitmapBtnTest, LeavingWhilePressedKeepsTheCapture) {
    CBitmapBtn button;
    Place(button, kAccept);
    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(10, 10));
    ASSERT_TRUE(button.IsHover());
    SendMessageW(button.Window(), WM_MOUSEMOVE, MK_LBUTTON, Point(-20, 5));
    EXPECT_FALSE(button.IsHover());
    EXPECT_EQ(GetCapture(), button.Window());
}

TEST_F(BitmapBtnTest, CaptureLossKeepsTheHoverFlagAndFocusLossClearsIt) {
    CBitmapBtn button;
    Place(button, kAccept);
    SetFocus(button.Window());
    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(10, 10));
    ASSERT_TRUE(button.IsHover());
    SetCapture(m_parent);  // another window takes the capture
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(GetCapture(), nullptr) << "the button releases whatever capture there is";

    SetFocus(m_parent);
    EXPECT_FALSE(button.IsHover());
}

TEST_F(BitmapBtnTest, NoHoverWithoutAnActiveWindow) {
    CBitmapBtn button;
    Place(button, kAccept);
    SetActiveWindow(nullptr);
    if (GetActiveWindow()) GTEST_SKIP() << "the thread keeps an active window";
    SendMessageW(button.Window(), WM_MOUSEMOVE, 0, Point(10, 10));
    EXPECT_FALSE(button.IsHover());
}

TEST_F(BitmapBtnTest, ReleasingInsideNotifiesTheParent) {
    CBitmapBtn button;
    Place(button, kAccept);
    PostMessageW(button.Window(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
    PostMessageW(button.Window(), WM_LBUTTONUP, 0, Point(10, 10));
    // The parent is a plain window: look for the notification in its queue of sent messages
    // by subclassing it for the duration.
    static HWND s_from;
    static WPARAM s_code;
    s_from = nullptr;
    s_code = 0xFFFF;
    const auto record = [](HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_COMMAND) {
            s_from = reinterpret_cast<HWND>(lParam);
            s_code = HIWORD(wParam);
        }
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    };
    SetWindowLongPtrW(m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+record));
    PumpMessages();
    EXPECT_EQ(s_from, button.Window());
    EXPECT_EQ(s_code, static_cast<WPARAM>(BN_CLICKED));
}

}  // namespace
