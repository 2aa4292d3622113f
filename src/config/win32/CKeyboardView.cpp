#include "config/win32/CKeyboardView.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "config/FunctionKind.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/WindowClass.h"

namespace {

// Space around the picture, in 96-dpi pixels.
constexpr int kMargin = 10;
// Heights of the two lines of a key, in pixels of the picture (a key is about 38 high).
constexpr int kNameHeight = 10;
constexpr int kFunctionHeight = 9;
constexpr COLORREF kBoardColour = RGB(58, 60, 66);
constexpr COLORREF kEdgeColour = RGB(30, 30, 34);
constexpr COLORREF kChosenColour = RGB(0, 102, 204);
constexpr COLORREF kMarkedColour = RGB(220, 0, 0);

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

HFONT KeyFont(double factor, int pictureHeight, int weight) {
    const int height = std::max(1, static_cast<int>(std::lround(pictureHeight * factor)));
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
}

}  // namespace

CKeyboardView::CKeyboardView(const CConfigDocument& document, const IKeyFunctionText& functions)
    : m_document(document),
      m_layout(document.Layout()),
      m_functions(functions),
      m_picture(PictureBounds(m_layout)),
      m_keys(DrawnKeys(m_layout)) {}

CKeyboardView::~CKeyboardView() {
    if (m_hNameFont != nullptr) DeleteObject(m_hNameFont);
    if (m_hFunctionFont != nullptr) DeleteObject(m_hFunctionFont);
}

bool CKeyboardView::RegisterClasses(HINSTANCE instance) {
    // Double clicks open a key, as Enter does.
    return RegisterWindowClass(instance, kKeyboardViewClass, ViewProc, 0, IDC_ARROW) &&
           RegisterWindowClass(instance, kKeyClass, KeyProc, CS_DBLCLKS, IDC_HAND);
}

HWND CKeyboardView::Create(HWND parent, int id, const wchar_t* name) {
    // WS_EX_CONTROLPARENT lets the dialog navigation of the main window's loop reach the keys.
    m_hWnd = CreateWindowExW(WS_EX_CONTROLPARENT, kKeyboardViewClass, name, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                             0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), this);
    if (m_hWnd != nullptr) CreateKeys();
    return m_hWnd;
}

void CKeyboardView::CreateKeys() {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE));
    m_hTooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(m_hWnd), nullptr, instance, nullptr);
    for (std::size_t position = 0; position < m_keys.size(); ++position) {
        const ButtonPosRecord& record = m_layout[m_keys[position]];
        // The first key is the tab stop until another is chosen.
        const DWORD style = WS_CHILD | WS_VISIBLE | (position == 0 ? WS_TABSTOP : 0);
        HWND hKey = CreateWindowExW(0, kKeyClass, Wide(record.name), style, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIRST_KEY + m_keys[position])),
                                    instance, nullptr);
        SetWindowLongPtrW(hKey, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_hKeys.push_back(hKey);
        if (m_hTooltip != nullptr && !record.buttontip.empty()) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_hWnd;
            tool.uId = reinterpret_cast<UINT_PTR>(hKey);
            tool.lpszText = const_cast<wchar_t*>(Wide(record.buttontip));
            SendMessageW(m_hTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    m_boxes.assign(m_keys.size(), KeyBox{});
}

void CKeyboardView::Refresh() {
    if (m_hWnd != nullptr) InvalidateRect(m_hWnd, nullptr, TRUE);
    for (HWND hKey : m_hKeys) InvalidateRect(hKey, nullptr, FALSE);
}

void CKeyboardView::SetMarked(const std::vector<int>& records, const std::u16string& note) {
    for (int position : m_marked) {
        SetWindowTextW(m_hKeys[position], Wide(m_layout[m_keys[position]].name));
        InvalidateRect(m_hKeys[position], nullptr, FALSE);
    }
    m_marked.clear();
    for (int record : records) {
        const auto it = std::ranges::find(m_keys, record);
        if (it == m_keys.end()) continue;  // a key without a place in the picture
        const int position = static_cast<int>(it - m_keys.begin());
        m_marked.push_back(position);
        // The window's text is its accessible name: a screen reader hears the mark too.
        SetWindowTextW(m_hKeys[position], Wide(m_layout[record].name + u" (" + note + u")"));
        InvalidateRect(m_hKeys[position], nullptr, FALSE);
    }
    if (!m_marked.empty()) Choose(m_marked.front());
}

void CKeyboardView::SetDpi(UINT dpi) {
    m_nMargin = MulDiv(kMargin, static_cast<int>(dpi), 96);
    if (m_hWnd != nullptr) Layout();
}

void CKeyboardView::Layout() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const CLayoutScale scale(m_picture, {client.right, client.bottom}, m_nMargin);
    HDWP positions = BeginDeferWindowPos(static_cast<int>(m_hKeys.size()));
    for (std::size_t position = 0; position < m_hKeys.size(); ++position) {
        m_boxes[position] = scale.Map(m_layout[m_keys[position]].rect);
        const KeyBox& b = m_boxes[position];
        if (positions != nullptr)
            positions = DeferWindowPos(positions, m_hKeys[position], nullptr, b.left, b.top, b.Width(), b.Height(),
                                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions != nullptr) EndDeferWindowPos(positions);
    // The fonts follow the keys' size, which already holds the monitor's scale.
    if (m_hNameFont != nullptr) DeleteObject(m_hNameFont);
    if (m_hFunctionFont != nullptr) DeleteObject(m_hFunctionFont);
    m_hNameFont = KeyFont(scale.Factor(), kNameHeight, FW_SEMIBOLD);
    m_hFunctionFont = KeyFont(scale.Factor(), kFunctionHeight, FW_NORMAL);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CKeyboardView::Notify(int code) const {
    const int id = GetDlgCtrlID(m_hWnd);
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(m_hWnd));
}

void CKeyboardView::Choose(int position) {
    if (position == m_nChosen) return;
    // The chosen key is the keyboard's only tab stop, so Tab comes back to it.
    HWND previous = m_hKeys[m_nChosen];
    SetWindowLongPtrW(previous, GWL_STYLE, GetWindowLongPtrW(previous, GWL_STYLE) & ~WS_TABSTOP);
    SetWindowLongPtrW(m_hKeys[position], GWL_STYLE, GetWindowLongPtrW(m_hKeys[position], GWL_STYLE) | WS_TABSTOP);
    m_nChosen = position;
    InvalidateRect(previous, nullptr, FALSE);
    InvalidateRect(m_hKeys[position], nullptr, FALSE);
    Notify(KVN_SELECTED);
}

LRESULT CALLBACK CKeyboardView::ViewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CKeyboardView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CKeyboardView*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hWnd, msg, wParam, lParam);
    switch (msg) {
    case WM_SIZE: self->Layout(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd, &ps);
        self->PaintBackground(dc);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_SETFOCUS:
        // Focus given to the view itself goes on to its chosen key.
        if (!self->m_hKeys.empty()) SetFocus(self->m_hKeys[self->m_nChosen]);
        return 0;
    case WM_DESTROY:
        if (self->m_hTooltip != nullptr) DestroyWindow(self->m_hTooltip);
        self->m_hTooltip = nullptr;
        break;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CKeyboardView::KeyProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CKeyboardView*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hWnd, msg, wParam, lParam);
    for (std::size_t position = 0; position < self->m_hKeys.size(); ++position)
        if (self->m_hKeys[position] == hWnd)
            return self->OnKeyMessage(static_cast<int>(position), hWnd, msg, wParam, lParam);
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

LRESULT CKeyboardView::OnKeyMessage(int position, HWND hKey, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        // Arrows and Enter belong to the keyboard; Tab still leaves it.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool enter = key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN: {
        Direction direction;
        switch (wParam) {
        case VK_LEFT: direction = Direction::Left; break;
        case VK_RIGHT: direction = Direction::Right; break;
        case VK_UP: direction = Direction::Up; break;
        case VK_DOWN: direction = Direction::Down; break;
        case VK_RETURN: Notify(KVN_OPEN); return 0;
        default: return DefWindowProcW(hKey, msg, wParam, lParam);
        }
        SetFocus(m_hKeys[NearestKey(m_boxes, position, direction)]);
        return 0;
    }
    case WM_LBUTTONDOWN: SetFocus(hKey); return 0;
    case WM_LBUTTONDBLCLK:
        SetFocus(hKey);
        Notify(KVN_OPEN);
        return 0;
    case WM_SETFOCUS:
        Choose(position);
        InvalidateRect(hKey, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS: InvalidateRect(hKey, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hKey, &ps);
        PaintKey(position, hKey, dc);
        EndPaint(hKey, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hKey, msg, wParam, lParam);
}

void CKeyboardView::PaintBackground(HDC dc) const {
    RECT client;
    GetClientRect(m_hWnd, &client);
    HBRUSH board = CreateSolidBrush(kBoardColour);
    FillRect(dc, &client, board);
    DeleteObject(board);
}

void CKeyboardView::PaintKey(int position, HWND hKey, HDC dc) const {
    RECT client;
    GetClientRect(hKey, &client);
    const int height = static_cast<int>(client.bottom);
    const RECT r = client;
    const ButtonPosRecord& record = m_layout[m_keys[position]];
    const Profile& profile = m_document.Current();
    const KeyFunction& function = profile.keys[m_keys[position]];
    const FunctionKind kind = KindOf(function.type);
    const KindColour face = FaceColour(kind);

    HBRUSH board = CreateSolidBrush(kBoardColour);
    FillRect(dc, &r, board);
    DeleteObject(board);
    const bool chosen = position == m_nChosen;
    const bool marked = std::ranges::find(m_marked, position) != m_marked.end();
    const int edge = std::max(1, height / (chosen || marked ? 12 : 38));
    HPEN pen = CreatePen(PS_SOLID, edge, marked ? kMarkedColour : chosen ? kChosenColour : kEdgeColour);
    HBRUSH brush = CreateSolidBrush(RGB(face.r, face.g, face.b));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const int round = std::max(2, height / 6);
    RoundRect(dc, r.left + edge / 2, r.top + edge / 2, r.right - edge / 2 + 1, r.bottom - edge / 2 + 1, round, round);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT bounds = r;
    InflateRect(&bounds, -std::max(2, height / 10), -std::max(1, height / 12));
    const std::u16string text = m_functions.ShortText(profile, function);
    HGDIOBJ oldFont = SelectObject(dc, m_hFunctionFont);
    RECT name = bounds;
    if (!text.empty()) {
        // The function's line at the bottom; the name wraps in what is left above it.
        RECT line = bounds;
        DrawTextW(dc, Wide(text), -1, &line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        name.bottom -= line.bottom - line.top;
        DrawTextW(dc, Wide(text), -1, &bounds, DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, m_hNameFont);
    // Long names ("Num Enter", "Right Shift") wrap at their spaces on narrow keys.
    DrawTextW(dc, Wide(record.name), -1, &name, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if (GetFocus() == hKey) {
        RECT focus = r;
        InflateRect(&focus, -edge - 1, -edge - 1);
        DrawFocusRect(dc, &focus);
    }
}
