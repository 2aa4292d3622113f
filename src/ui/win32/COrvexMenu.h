// The owner-drawn popup menu of the tray: each item shows an icon in a coloured
// strip and its text in the product's font and colours.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Carried by each owner-drawn item as its item data; owned by whoever builds the
// menu and alive until the menu is destroyed.
struct MenuItemData {
    std::int32_t nNormalIcon = 0;       // icon resource drawn while not highlighted
    std::int32_t nHighlightedIcon = 0;  // icon resource drawn while highlighted
    std::u16string strText;
};

class COrvexMenu {
public:
    static constexpr int kItemWidth = 75;
    static constexpr int kItemHeight = 22;
    static constexpr int kStripWidth = 25;
    static constexpr int kIconSize = 16;
    static constexpr int kTextLeft = 33;
    static constexpr COLORREF kTextAreaColour = RGB(249, 248, 247);
    static constexpr COLORREF kTextColour = RGB(0, 0, 0);
    static constexpr COLORREF kHighlightedTextColour = RGB(0, 60, 145);
    static constexpr UINT kTextFormat =
        DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS;

    COrvexMenu(COLORREF crStrip, COLORREF crHighlight) : m_crStrip(crStrip), m_crHighlight(crHighlight) {}
    ~COrvexMenu();
    COrvexMenu(const COrvexMenu&) = delete;
    COrvexMenu& operator=(const COrvexMenu&) = delete;

    void Attach(HMENU hMenu) { m_hMenu = hMenu; }
    HMENU Handle() const { return m_hMenu; }

    void MeasureItem(MEASUREITEMSTRUCT& request) const;
    void DrawItem(const DRAWITEMSTRUCT& request) const;

private:
    HMENU m_hMenu = nullptr;
    COLORREF m_crStrip;
    COLORREF m_crHighlight;
};
