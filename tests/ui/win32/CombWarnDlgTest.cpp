#include "ui/win32/CombWarnDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "k7testbed/PersonInput.h"

namespace {

constexpr RECT kAccept{173, 120, 215, 141};
constexpr RECT kCancel{240, 120, 284, 141};
constexpr RECT kClose{292, 13, 307, 26};

HWND FindDialog() {
    HWND dialog = FindWindowW(nullptr, L"CCombWarnDlg");
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    return process == GetCurrentProcessId() ? dialog : nullptr;
}

// The dialog's child at this rectangle of its client area.
HWND ButtonAt(HWND dialog, const RECT& rect) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        if (EqualRect(&r, &rect)) return child;
    }
    return nullptr;
}

// What the dialog looked like when it was first seen, and its result.
struct Observed {
    HWND dialog = nullptr;
    RECT window{};
    RECT client{};
    LONG_PTR style = 0;
    LONG_PTR exStyle = 0;
    int children = 0;
    HWND foreground = nullptr;
    INT_PTR result = 0;
};

// Runs the dialog and, once it is up, records it and lets act close it.
Observed RunWarning(HWND reference, const std::function<void(HWND)>& act) {
    Observed seen;
    ActWhenReady([&] {
        seen.dialog = FindDialog();
        if (!seen.dialog || !IsWindowVisible(seen.dialog)) return false;
        GetWindowRect(seen.dialog, &seen.window);
        GetClientRect(seen.dialog, &seen.client);
        seen.style = GetWindowLongPtrW(seen.dialog, GWL_STYLE);
        seen.exStyle = GetWindowLongPtrW(seen.dialog, GWL_EXSTYLE);
        for (HWND c = GetWindow(seen.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++seen.children;
        seen.foreground = GetForegroundWindow();
        act(seen.dialog);
        return true;
    });
    // Never hang the test program on a dialog that did not close (generous, for a loaded machine).
    ActSoon(
        [] {
            if (HWND d = FindDialog()) EndDialog(d, 999);
        },
        60000);
    seen.result = RunCombWarnDialog(reference, nullptr);
    CancelPendingActions();
    PumpMessages();
    return seen;
}

void Post(HWND to, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageW(to, msg, wParam, lParam); }

class CombWarnDlgTest : public testing::Test {
protected:
    void SetUp() override { m_reference = CreatePlainWindow(RECT{100, 80, 700, 480}); }
    void TearDown() override { DestroyWindow(m_reference); }
    HWND m_reference = nullptr;
};

TEST_F(CombWarnDlgTest, IsTheFaceSizeCentredOnTheReferenceWithoutCaptionOrBorder) {
    const Observed seen = RunWarning(m_reference, [](HWND d) { Post(d, WM_CLOSE); });
    ASSERT_TRUE(seen.dialog) << "no window titled CCombWarnDlg";
    EXPECT_EQ(seen.window.left, 100 + (600 - 320) / 2);
    EXPECT_EQ(seen.window.top, 80 + (400 - 160) / 2);
    EXPECT_EQ(seen.window.right - seen.window.left, 320);
    EXPECT_EQ(seen.window.bottom - seen.window.top, 160);
    EXPECT_EQ(seen.client.right, 320);
    EXPECT_EQ(seen.client.bottom, 160);
    EXPECT_EQ(seen.style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME), 0);
    EXPECT_TRUE(seen.style & WS_POPUP);
    EXPECT_EQ(seen.exStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE), 0);
    EXPECT_EQ(seen.children, 3);
    EXPECT_EQ(seen.foreground, seen.dialog);
    EXPECT_EQ(seen.result, IDCANCEL);
}

TEST_F(CombWarnDlgTest, ASmallerReferenceLeavesTheDialogOverlappingEqually) {
    HWND small = CreatePlainWindow(RECT{300, 300, 400, 340});
    const Observed seen = RunWarning(small, [](HWND d) { Post(d, WM_CLOSE); });
    EXPECT_EQ(seen.window.left, 300 - 110);
    EXPECT_EQ(seen.window.top, 300 - 60);
    DestroyWindow(small);
}

TEST_F(CombWarnDlgTest, ButtonsSitAtTheirRectanglesAndEndTheDialog) {
    struct Case {
        RECT rect;
        bool byClick;  // mouse press and release instead of BM_CLICK
        INT_PTR result;
    };
    for (const Case& c : {Case{kAccept, false, IDOK}, Case{kCancel, false, IDCANCEL}, Case{kClose, false, IDCANCEL},
                          Case{kAccept, true, IDOK}, Case{kClose, true, IDCANCEL}}) {
        HWND button = nullptr;
        const Observed seen = RunWarning(m_reference, [&](HWND d) {
            button = ButtonAt(d, c.rect);
            if (!button) return Post(d, WM_CLOSE);
            if (c.byClick) {
                Post(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
                Post(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
            } else {
                Post(button, BM_CLICK);
            }
        });
        ASSERT_TRUE(button) << "no button at " << c.rect.left << "," << c.rect.top;
        EXPECT_EQ(seen.result, c.result) << "button at " << c.rect.left << "," << c.rect.top;
    }
}

TEST_F(CombWarnDlgTest, EscapeAndCloseCancel) {
    EXPECT_EQ(RunWarning(m_reference, [](HWND d) { Post(d, WM_KEYDOWN, VK_ESCAPE, 0x00010001); }).result, IDCANCEL);
    EXPECT_EQ(RunWarning(m_reference, [](HWND d) { Post(d, WM_CLOSE); }).result, IDCANCEL);
}

// WM_INITDIALOG carries a plain number that any program may post or send: once the dialog
// runs, another one must not make the dialog take that number for its object.
TEST_F(CombWarnDlgTest, ALaterInitDialogMessageChangesNothing) {
    CCombWarnDlg decoy(nullptr, nullptr);
    HWND button = nullptr;
    const Observed seen = RunWarning(m_reference, [&](HWND d) {
        SendMessageW(d, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&decoy));
        button = ButtonAt(d, kAccept);
        if (!button) return Post(d, WM_CLOSE);
        Post(button, BM_CLICK);
    });
    ASSERT_TRUE(button);
    EXPECT_EQ(seen.result, IDOK);
}

// Destruction messages that do not come from the dialog's destruction (another program can send
// them, and the dialog cannot tell that from this thread's): it still answers its own buttons.
TEST_F(CombWarnDlgTest, DestructionMessagesFromElsewhereChangeNothing) {
    HWND button = nullptr;
    const Observed seen = RunWarning(m_reference, [&](HWND d) {
        SendMessageW(d, WM_NCDESTROY, 0, 0);
        SendMessageW(d, WM_DESTROY, 0, 0);
        button = ButtonAt(d, kAccept);
        if (!button) return Post(d, WM_CLOSE);
        Post(button, BM_CLICK);
    });
    ASSERT_TRUE(button);
    EXPECT_EQ(seen.result, IDOK);
}

TEST_F(CombWarnDlgTest, WithoutAUsableReferenceItCentresOnTheWorkArea) {
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    HWND stale = CreatePlainWindow(RECT{0, 0, 50, 50});
    DestroyWindow(stale);
    HWND messageOnly = CreateWindowExW(0, L"STATIC", L"", 0, 10, 10, 600, 400, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND empty = CreatePlainWindow(RECT{5, 5, 5, 5});
    // Where Windows puts a minimised window (Wine shows it as an icon on the screen instead;
    // AgentApply minimises one), here only moved there.
    HWND parked = CreatePlainWindow(RECT{-32000, -32000, -31840, -31972});
    for (HWND reference : {static_cast<HWND>(nullptr), stale, messageOnly, empty, parked}) {
        const Observed seen = RunWarning(reference, [](HWND d) { Post(d, WM_CLOSE); });
        EXPECT_EQ(seen.window.left, work.left + (work.right - work.left - 320) / 2) << reference;
        EXPECT_EQ(seen.window.top, work.top + (work.bottom - work.top - 160) / 2) << reference;
        EXPECT_EQ(seen.window.right - seen.window.left, 320);
    }
    for (HWND window : {messageOnly, empty, parked}) DestroyWindow(window);
}

// ---- Dragging: a press on the surface asks the platform to move the window by its caption.

struct Posted {
    HWND to;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Posted> g_posted;

LRESULT CALLBACK RecordNcPress(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NCLBUTTONDOWN) {
        g_posted.push_back({msg->hwnd, msg->message, msg->wParam, msg->lParam});
        msg->message = WM_NULL;  // recorded only: no move loop inside the test
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CombWarnDlgTest, PressOnTheSurfacePostsACaptionPressInScreenCoordinates) {
    g_posted.clear();
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, RecordNcPress, nullptr, GetCurrentThreadId());
    const Observed seen = RunWarning(m_reference, [](HWND d) {
        Post(d, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 30));
        Post(d, WM_LBUTTONUP, 0, MAKELPARAM(60, 30));
        Post(d, WM_CLOSE);
    });
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(g_posted.size(), 1u);
    EXPECT_EQ(g_posted[0].to, seen.dialog);
    EXPECT_EQ(g_posted[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(g_posted[0].lParam, MAKELPARAM(seen.window.left + 60, seen.window.top + 30));
    EXPECT_EQ(seen.result, IDCANCEL);
}

TEST_F(CombWarnDlgTest, PressOnAButtonDoesNotDrag) {
    g_posted.clear();
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, RecordNcPress, nullptr, GetCurrentThreadId());
    RunWarning(m_reference, [](HWND d) {
        HWND button = ButtonAt(d, kCancel);
        Post(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        Post(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    });
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_posted.empty());
}

// ---- The pictures: hover (139) and pressed (137) are the face (138) with other buttons,
// drawn exactly over the button rectangles, so that each button's cut-out fits.

TEST(WarningPictures, DifferFromTheFaceExactlyOverEachButtonRectangle) {
    CPngPicture face, hover, pressed;
    HMODULE module = GetModuleHandleW(nullptr);
    ASSERT_TRUE(LoadPngResource(module, 138, face));
    ASSERT_TRUE(LoadPngResource(module, 139, hover));
    ASSERT_TRUE(LoadPngResource(module, 137, pressed));
    for (const auto& [id, picture] : {std::pair{139, &hover}, std::pair{137, &pressed}}) {
        UINT width = 0, height = 0;
        gdip::GdipGetImageWidth(picture->Bitmap(), &width);
        gdip::GdipGetImageHeight(picture->Bitmap(), &height);
        ASSERT_EQ(width, 320u) << id;
        ASSERT_EQ(height, 160u) << id;
        // Per button, the smallest rectangle holding the pixels unlike the face.
        RECT changed[3] = {{320, 160, 0, 0}, {320, 160, 0, 0}, {320, 160, 0, 0}};
        int outside = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 320; ++x) {
                if (PicturePixel(picture->Bitmap(), x, y) == PicturePixel(face.Bitmap(), x, y)) continue;
                const POINT point{x, y};
                int button = 0;
                for (const RECT& area : {kAccept, kCancel, kClose}) {
                    if (PtInRect(&area, point)) break;
                    ++button;
                }
                if (button == 3) {
                    ++outside;
                    continue;
                }
                RECT& r = changed[button];
                r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                         std::max<LONG>(r.bottom, y + 1)};
            }
        EXPECT_EQ(outside, 0) << "picture " << id << " differs from the face outside the buttons";
        EXPECT_TRUE(EqualRect(&changed[0], &kAccept)) << id;
        EXPECT_TRUE(EqualRect(&changed[1], &kCancel)) << id;
        EXPECT_TRUE(EqualRect(&changed[2], &kClose)) << id;
    }
}

// ---- Painting: the buttons of the running dialog show the pictures' areas.

TEST_F(CombWarnDlgTest, ButtonsPaintTheFaceUntilHoveredThenTheHoverPicture) {
    CPngPicture face, hover;
    ASSERT_TRUE(LoadPngResource(GetModuleHandleW(nullptr), 138, face));
    ASSERT_TRUE(LoadPngResource(GetModuleHandleW(nullptr), 139, hover));
    int faceDifferences = -1, hoverDifferences = -1;
    const auto compare = [](HWND button, GpBitmap* picture, const RECT& area) {
        Canvas canvas(area.right - area.left, area.bottom - area.top, RGB(1, 2, 3));
        SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        int differences = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                differences += canvas.At(x, y) != PicturePixel(picture, area.left + x, area.top + y);
        return differences;
    };
    RunWarning(m_reference, [&](HWND d) {
        HWND button = ButtonAt(d, kAccept);
        faceDifferences = compare(button, face.Bitmap(), kAccept);
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        hoverDifferences = compare(button, hover.Bitmap(), kAccept);
        Post(d, WM_CLOSE);
    });
    EXPECT_EQ(faceDifferences, 0);
    EXPECT_EQ(hoverDifferences, 0);
}

}  // namespace

namespace {

bool CursorAt(int x, int y) {
    POINT p{};
    return GetCursorPos(&p) && p.x == x && p.y == y;
}

// Each step of the drag waits for the system to have taken the one before (the pointer where
// it was sent, the move loop holding the capture), so that no step depends on how busy the
// machine is; a step that waits over 3 s goes on regardless and the checks tell.
TEST_F(CombWarnDlgTest, DraggingTheSurfaceMovesTheDialog) {
    RECT before{}, after{};
    // Each step waits for the state the one before leads to, however long a loaded machine takes:
    // a press sent before the pointer got there would start the drag from elsewhere.
    static const char* const kStates[] = {"the pointer on the dialog", "the move loop holding the capture",
                                          "the pointer moved", "the loop ended", "done"};
    int reached = 0;
    RunWarning(m_reference, [&](HWND d) {
        GetWindowRect(d, &before);
        const int x = before.left + 60, y = before.top + 30;
        k7testbed::MoveTo(x, y);
        ActWhenReady(
            [=, &after, &reached] {
                if (!CursorAt(x, y)) return false;
                reached = 1;
                k7testbed::PressAt(x, y);
                // The move loop runs inside the dialog's own thread, holding the capture; timers still fire in it.
                ActWhenReady(
                    [=, &after, &reached] {
                        if (GetCapture() != d) return false;
                        reached = 2;
                        k7testbed::MoveTo(x + 40, y + 25);
                        ActWhenReady(
                            [=, &after, &reached] {
                                if (!CursorAt(x + 40, y + 25)) return false;
                                reached = 3;
                                k7testbed::ReleaseAt(x + 40, y + 25);
                                // The loop has ended once it let the capture go after the button came up.
                                ActWhenReady(
                                    [=, &after, &reached] {
                                        if (GetAsyncKeyState(VK_LBUTTON) != 0 || GetCapture() == d) return false;
                                        reached = 4;
                                        GetWindowRect(d, &after);
                                        PostMessageW(d, WM_CLOSE, 0, 0);
                                        return true;
                                    },
                                    10);
                                return true;
                            },
                            10);
                        return true;
                    },
                    10);
                return true;
            },
            10);
    });
    ASSERT_EQ(reached, 4) << "the drag never reached " << kStates[reached];
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 25);
    EXPECT_EQ(after.right - after.left, 320);
}

}  // namespace
