#include "ui/win32/COrvexMenu.h"

namespace {

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// Shared icons from the program's own resources, scaled to 16 x 16.
void DrawResourceIcon(HDC dc, int x, int y, std::int32_t id) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    DrawIconEx(dc, x, y, icon, COrvexMenu::kIconSize, COrvexMenu::kIconSize, 0, nullptr, DI_NORMAL);
}

}  // namespace

COrvexMenu::~COrvexMenu() {
    if (m_hMenu) DestroyMenu(m_hMenu);
}

void COrvexMenu::MeasureItem(MEASUREITEMSTRUCT& request) const {
    request.itemWidth = kItemWidth;
    request.itemHeight = kItemHeight;
}

void COrvexMenu::DrawItem(const DRAWITEMSTRUCT& request) const {
    HDC dc = request.hDC;
    const RECT& r = request.rcItem;
    SetBkMode(dc, TRANSPARENT);
    const auto* item = reinterpret_cast<const MenuItemData*>(request.itemData);
    if (!item) return;

    if (request.itemState & ODS_SELECTED) {
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        Fill(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, m_crHighlight);
        DrawResourceIcon(dc, r.left + 2, r.top + 2, item->nHighlightedIcon);
        SetTextColor(dc, kHighlightedTextColour);
    } else {
        Fill(dc, RECT{r.left, r.top, r.left + kStripWidth, r.bottom}, m_crStrip);
        Fill(dc, RECT{r.left + kStripWidth, r.top, r.right, r.bottom}, kTextAreaColour);
        DrawResourceIcon(dc, r.left + 3, r.top + 3, item->nNormalIcon);
        SetTextColor(dc, kTextColour);
    }

    HFONT font = CreateFontW(14, 0, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, L"Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT text{r.left + kTextLeft, r.top, r.right, r.bottom};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(item->strText.c_str()), static_cast<int>(item->strText.size()),
              &text, kTextFormat);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}
