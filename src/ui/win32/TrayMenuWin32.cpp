#include "ui/win32/TrayMenuWin32.h"

#include "ui/TrayHost.h"
#include "res/resource.h"
#include "ui/win32/COrvexMenu.h"

namespace {

// The menu being tracked and its owner; one at a time, restored when a nested
// showing ends.
struct TrackedMenu {
    HWND owner = nullptr;
    const COrvexMenu* menu = nullptr;
};
TrackedMenu g_tracked;

// A draw request may come from another process with any item data: draw only with the
// data the menu's own item holds.
bool HoldsItemData(HMENU menu, const DRAWITEMSTRUCT& request) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    return GetMenuItemInfoW(menu, request.itemID, FALSE, &info) && info.dwItemData == request.itemData;
}

}  // namespace

void Win32ShowTrayMenu(HWND owner, std::u16string_view configText, std::u16string_view exitText) {
    SetForegroundWindow(owner);
    const MenuItemData config{IDI_CONFIG, IDI_CONFIG_HOT, std::u16string(configText)};
    const MenuItemData exit{IDI_EXIT, IDI_EXIT_HOT, std::u16string(exitText)};
    COrvexMenu menu(kTrayMenuStripColour, kTrayMenuHighlightColour);
    menu.Attach(CreatePopupMenu());
    if (!menu.Handle()) return;
    AppendMenuW(menu.Handle(), MF_OWNERDRAW, ID_TRAY_CONFIGURE, reinterpret_cast<LPCWSTR>(&config));
    AppendMenuW(menu.Handle(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Handle(), MF_OWNERDRAW, ID_TRAY_EXIT, reinterpret_cast<LPCWSTR>(&exit));

    POINT cursor{};
    GetCursorPos(&cursor);
    const TrackedMenu previous = g_tracked;
    g_tracked = {owner, &menu};
    TrackPopupMenu(menu.Handle(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    g_tracked = previous;
    // A menu of a background window needs a message after tracking, or the next one
    // may close as soon as it opens.
    PostMessageW(owner, WM_NULL, 0, 0);
}

bool RouteMenuOwnerDraw(HWND owner, UINT msg, WPARAM, LPARAM lParam, LRESULT* result) {
    if (!g_tracked.menu || owner != g_tracked.owner) return false;
    if (msg == WM_MEASUREITEM) {
        auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (request->CtlType != ODT_MENU) return false;
        g_tracked.menu->MeasureItem(*request);
    } else if (msg == WM_DRAWITEM) {
        const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (request->CtlType != ODT_MENU || reinterpret_cast<HMENU>(request->hwndItem) != g_tracked.menu->Handle() ||
            !HoldsItemData(g_tracked.menu->Handle(), *request))
            return false;
        g_tracked.menu->DrawItem(*request);
    } else {
        return false;
    }
    *result = TRUE;
    return true;
}
