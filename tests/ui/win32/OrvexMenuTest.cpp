#include "ui/win32/COrvexMenu.h"

#include <gtest/gtest.h>

#include <vector>

#include "UiTestSupport.h"
#include "app/Messages.h"
#include "res/resource.h"
#include "ui/win32/TrayMenuWin32.h"

namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);
constexpr COLORREF kStrip = RGB(219, 216, 209);
constexpr COLORREF kHighlight = RGB(177, 185, 207);
constexpr COLORREF kTextArea = RGB(249, 248, 247);
// The item sits away from the canvas origin so that coordinates must come from the item rectangle.
constexpr RECT kItem{7, 5, 7 + 120, 5 + 22};

DRAWITEMSTRUCT DrawRequest(HDC dc, UINT state, const MenuItemData* data) {
    DRAWITEMSTRUCT request{};
    request.CtlType = ODT_MENU;
    request.itemID = ID_TRAY_CONFIGURE;
    request.itemAction = ODA_DRAWENTIRE;
    request.itemState = state;
    request.hDC = dc;
    request.rcItem = kItem;
    request.itemData = reinterpret_cast<ULONG_PTR>(data);
    return request;
}

// The icon as DrawIconEx paints it at 16 x 16 on the given background.
void ExpectIconAt(const Canvas& canvas, int x, int y, int id, COLORREF background) {
    Canvas reference(16, 16, background);
    DrawIconEx(reference.Dc(), 0, 0, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)), 16, 16, 0, nullptr,
               DI_NORMAL);
    int differences = 0, iconPixels = 0;
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) {
            differences += canvas.At(x + i, y + j) != reference.At(i, j);
            iconPixels += reference.At(i, j) != background;
        }
    EXPECT_EQ(differences, 0) << "icon " << id << " at " << x << "," << y;
    EXPECT_GT(iconPixels, 40) << "icon " << id << " has no visible image";
}

// Counts pixels of the text area that are not the fill, and whether the exact
// text colour occurs among them.
struct TextInk {
    int pixels = 0;
    bool exactColour = false;
};
TextInk InkIn(const Canvas& canvas, const RECT& area, COLORREF fill, COLORREF text) {
    TextInk ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = canvas.At(x, y);
            ink.pixels += c != fill;
            ink.exactColour |= c == text;
        }
    return ink;
}

TEST(OrvexMenu, MeasuresEveryItem75By22) {
    const COrvexMenu menu(kStrip, kHighlight);
    const MenuItemData shortItem{IDI_CONFIG, IDI_CONFIG_HOT, u"A"};
    const MenuItemData longItem{IDI_EXIT, IDI_EXIT_HOT, std::u16string(300, u'W')};
    for (const MenuItemData* data : {&shortItem, &longItem, static_cast<const MenuItemData*>(nullptr)}) {
        MEASUREITEMSTRUCT request{ODT_MENU, 0, ID_TRAY_EXIT, 1, 1, reinterpret_cast<ULONG_PTR>(data)};
        menu.MeasureItem(request);
        EXPECT_EQ(request.itemWidth, 75u);
        EXPECT_EQ(request.itemHeight, 22u);
    }
}

TEST(OrvexMenu, NormalItemHasStripIconTextAreaAndBlackText) {
    const COrvexMenu menu(kStrip, kHighlight);
    const MenuItemData data{IDI_CONFIG, IDI_CONFIG_HOT, u"Configure"};
    Canvas canvas(140, 32, kSentinel);
    menu.DrawItem(DrawRequest(canvas.Dc(), 0, &data));

    EXPECT_EQ(GetBkMode(canvas.Dc()), TRANSPARENT);
    for (const POINT p : {POINT{7, 5}, POINT{31, 26}, POINT{7, 26}, POINT{31, 5}, POINT{8, 20}})
        EXPECT_EQ(Describe(canvas.At(p.x, p.y)), Describe(kStrip)) << p.x << "," << p.y;
    for (const POINT p : {POINT{32, 5}, POINT{39, 15}, POINT{126, 5}, POINT{126, 26}, POINT{45, 26}})
        EXPECT_EQ(Describe(canvas.At(p.x, p.y)), Describe(kTextArea)) << p.x << "," << p.y;
    for (const POINT p : {POINT{6, 5}, POINT{127, 5}, POINT{7, 4}, POINT{7, 27}})
        EXPECT_EQ(canvas.At(p.x, p.y), kSentinel) << "outside the item " << p.x << "," << p.y;
    ExpectIconAt(canvas, 7 + 3, 5 + 3, IDI_CONFIG, kStrip);

    const TextInk ink = InkIn(canvas, RECT{7 + 33, 5, 127, 27}, kTextArea, RGB(0, 0, 0));
    EXPECT_GT(ink.pixels, 20);
    EXPECT_TRUE(ink.exactColour);
}

TEST(OrvexMenu, HighlightedItemHasFrameBlockShiftedIconAndBlueText) {
    const COrvexMenu menu(kStrip, kHighlight);
    const MenuItemData data{IDI_EXIT, IDI_EXIT_HOT, u"Exit"};
    Canvas canvas(140, 32, kSentinel);
    menu.DrawItem(DrawRequest(canvas.Dc(), ODS_SELECTED, &data));

    for (const POINT p : {POINT{7, 5}, POINT{126, 5}, POINT{7, 26}, POINT{126, 26}, POINT{60, 5}, POINT{60, 26},
                          POINT{7, 15}, POINT{126, 15}})
        EXPECT_EQ(Describe(canvas.At(p.x, p.y)), Describe(RGB(0, 0, 0))) << "frame " << p.x << "," << p.y;
    for (const POINT p : {POINT{8, 6}, POINT{125, 25}, POINT{31, 6}, POINT{35, 25}, POINT{8, 25}})
        EXPECT_EQ(Describe(canvas.At(p.x, p.y)), Describe(kHighlight)) << p.x << "," << p.y;
    for (const POINT p : {POINT{6, 5}, POINT{127, 26}, POINT{7, 4}, POINT{7, 27}})
        EXPECT_EQ(canvas.At(p.x, p.y), kSentinel) << "outside the item " << p.x << "," << p.y;
    ExpectIconAt(canvas, 7 + 2, 5 + 2, IDI_EXIT_HOT, kHighlight);

    const TextInk ink = InkIn(canvas, RECT{7 + 33, 6, 126, 26}, kHighlight, RGB(0, 60, 145));
    EXPECT_GT(ink.pixels, 10);
    EXPECT_TRUE(ink.exactColour);
}

TEST(OrvexMenu, ItemWithoutDataStaysUnpaintedAndEmptyTextPaintsNoInk) {
    const COrvexMenu menu(kStrip, kHighlight);
    Canvas bare(140, 32, kSentinel);
    menu.DrawItem(DrawRequest(bare.Dc(), ODS_SELECTED, nullptr));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 140; ++x) ASSERT_EQ(bare.At(x, y), kSentinel) << x << "," << y;
    EXPECT_EQ(GetBkMode(bare.Dc()), TRANSPARENT);

    const MenuItemData empty{IDI_CONFIG, IDI_CONFIG_HOT, u""};
    Canvas canvas(140, 32, kSentinel);
    menu.DrawItem(DrawRequest(canvas.Dc(), 0, &empty));
    EXPECT_EQ(canvas.At(7, 5), kStrip);
    ExpectIconAt(canvas, 10, 8, IDI_CONFIG, kStrip);
    EXPECT_EQ(InkIn(canvas, RECT{7 + 25, 5, 127, 27}, kTextArea, 0).pixels, 0);
}

TEST(OrvexMenu, MissingIconLeavesTheRestPainted) {
    const COrvexMenu menu(kStrip, kHighlight);
    const MenuItemData data{9999, 9998, u"X"};
    Canvas canvas(140, 32, kSentinel);
    menu.DrawItem(DrawRequest(canvas.Dc(), 0, &data));
    for (int y = 8; y < 24; ++y)
        for (int x = 10; x < 26; ++x) ASSERT_EQ(canvas.At(x, y), kStrip) << x << "," << y;
    EXPECT_EQ(canvas.At(126, 26), kTextArea);
}

// ---- The tracked tray menu, with its owner-draw requests recorded at the owner.

struct MenuTrace {
    std::vector<std::string> events;
    std::vector<MENUITEMINFOW> items;
    std::vector<MenuItemData> itemData;
    bool routedAll = true;
};
MenuTrace* g_trace = nullptr;

LRESULT CALLBACK MenuOwnerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    const bool routed = RouteMenuOwnerDraw(hWnd, msg, wParam, lParam, &result);
    switch (msg) {
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
            GetMenuItemInfoW(menu, i, TRUE, &info);
            g_trace->items.push_back(info);
            if (info.dwItemData) g_trace->itemData.push_back(*reinterpret_cast<const MenuItemData*>(info.dwItemData));
        }
        break;
    }
    case WM_ENTERMENULOOP:
        g_trace->events.push_back("enter");
        // Let the menu paint, then end it.
        SetTimer(hWnd, 1, 300, nullptr);
        break;
    case WM_TIMER:
        if (wParam == 1) {
            KillTimer(hWnd, 1);
            PostMessageW(hWnd, WM_CANCELMODE, 0, 0);
        }
        break;
    case WM_MEASUREITEM: {
        const auto* m = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        g_trace->events.push_back("measure " + std::to_string(m->itemID) + " " + std::to_string(m->itemWidth) + "x" +
                                  std::to_string(m->itemHeight));
        g_trace->routedAll &= routed && m->CtlType == ODT_MENU;
        break;
    }
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        g_trace->events.push_back("draw " + std::to_string(d->itemID));
        g_trace->routedAll &= routed && d->CtlType == ODT_MENU;
        break;
    }
    case WM_EXITMENULOOP: g_trace->events.push_back("exit"); break;
    }
    return routed ? result : DefWindowProcW(hWnd, msg, wParam, lParam);
}

TEST(TrayMenu, OnlyTheTwoOwnerDrawnItemsAreMeasuredAndDrawnEachTimeItShows) {
    HWND owner = CreatePlainWindow(RECT{0, 0, 1, 1}, MenuOwnerProc, WS_POPUP);
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(showing);
        MenuTrace trace;
        g_trace = &trace;
        SetCursorPos(200, 200);
        Win32ShowTrayMenu(owner, u"Configure", u"Exit");
        PumpMessages();

        ASSERT_EQ(trace.items.size(), 3u);
        EXPECT_EQ(trace.items[0].fType, static_cast<UINT>(MFT_OWNERDRAW));
        EXPECT_EQ(trace.items[0].wID, ID_TRAY_CONFIGURE);
        EXPECT_EQ(trace.items[1].fType, static_cast<UINT>(MFT_SEPARATOR));
        EXPECT_EQ(trace.items[1].dwItemData, 0u);
        EXPECT_EQ(trace.items[2].fType, static_cast<UINT>(MFT_OWNERDRAW));
        EXPECT_EQ(trace.items[2].wID, ID_TRAY_EXIT);
        ASSERT_EQ(trace.itemData.size(), 2u);
        EXPECT_EQ(trace.itemData[0].nNormalIcon, 129);
        EXPECT_EQ(trace.itemData[0].nHighlightedIcon, 130);
        EXPECT_EQ(trace.itemData[0].strText, u"Configure");
        EXPECT_EQ(trace.itemData[1].nNormalIcon, 131);
        EXPECT_EQ(trace.itemData[1].nHighlightedIcon, 132);
        EXPECT_EQ(trace.itemData[1].strText, u"Exit");

        std::string all;
        for (const auto& e : trace.events) all += e + "; ";
        const std::vector<std::string> expected{"enter",      "measure 24576 75x22", "measure 24577 75x22",
                                                "draw 24576", "draw 24577",          "exit"};
        std::vector<std::string> seen;
        for (const auto& e : trace.events)
            if (seen.empty() || seen.back() != e) seen.push_back(e);  // repaints repeat draws
        EXPECT_EQ(seen, expected) << all;
        EXPECT_TRUE(trace.routedAll);
        g_trace = nullptr;
    }
    DestroyWindow(owner);
}

// While the tray menu is up, anyone may send its owner a WM_DRAWITEM naming the menu (a
// request from another process arrives with its fields copied, item data included).
struct ForgedDraw {
    bool tried = false;
    bool forgedRouted = true;
    bool forgedPainted = true;
    bool genuineRouted = false;
};
ForgedDraw* g_forged = nullptr;

LRESULT CALLBACK ForgingOwnerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteMenuOwnerDraw(hWnd, msg, wParam, lParam, &result)) return result;
    if (msg == WM_INITMENUPOPUP && !g_forged->tried) {
        g_forged->tried = true;
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(menu, ID_TRAY_CONFIGURE, FALSE, &info);
        Canvas canvas(140, 40, kSentinel);
        const MenuItemData forgedData{IDI_EXIT, IDI_EXIT_HOT, u"Forged"};
        DRAWITEMSTRUCT forged = DrawRequest(canvas.Dc(), 0, &forgedData);
        forged.hwndItem = reinterpret_cast<HWND>(menu);
        LRESULT r = 0;
        g_forged->forgedRouted = RouteMenuOwnerDraw(hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&forged), &r);
        g_forged->forgedPainted = canvas.At(kItem.left, kItem.top) != kSentinel;
        DRAWITEMSTRUCT genuine = forged;
        genuine.itemData = info.dwItemData;
        g_forged->genuineRouted = RouteMenuOwnerDraw(hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&genuine), &r);
        PostMessageW(hWnd, WM_CANCELMODE, 0, 0);
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

TEST(TrayMenu, DrawRequestsWithItemDataTheMenuDoesNotHoldAreNotDrawn) {
    HWND owner = CreatePlainWindow(RECT{0, 0, 1, 1}, ForgingOwnerProc, WS_POPUP);
    ForgedDraw forged;
    g_forged = &forged;
    SetCursorPos(200, 200);
    Win32ShowTrayMenu(owner, u"Configure", u"Exit");
    PumpMessages();
    g_forged = nullptr;
    DestroyWindow(owner);
    ASSERT_TRUE(forged.tried);
    // A wild pointer there would crash the agent: only the menu's own item data is drawn.
    EXPECT_FALSE(forged.forgedRouted);
    EXPECT_FALSE(forged.forgedPainted);
    EXPECT_TRUE(forged.genuineRouted);
}

TEST(TrayMenu, RoutingIgnoresRequestsWhenNoMenuIsTracked) {
    HWND owner = CreatePlainWindow(RECT{0, 0, 1, 1}, nullptr, WS_POPUP);
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, ID_TRAY_EXIT, 1, 1, 0};
    LRESULT result = 12345;
    EXPECT_FALSE(RouteMenuOwnerDraw(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), &result));
    EXPECT_EQ(measure.itemWidth, 1u);
    EXPECT_FALSE(RouteMenuOwnerDraw(owner, WM_PAINT, 0, 0, &result));
    EXPECT_EQ(result, 12345);
    DestroyWindow(owner);
}

}  // namespace
