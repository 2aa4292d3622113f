#include "config/win32/CAssignDialog.h"

#include <algorithm>
#include <cwctype>

#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/Controls.h"
#include "config/win32/WindowClass.h"
#include "xml/LanguageStrings.h"

namespace {

constexpr int kClientWidth = 440;  // in 96-dpi pixels
constexpr int kClientHeight = 354;
constexpr int kKeySlots = static_cast<int>(kMaxComboKeys);

// Where each control lies, in 96-dpi pixels; creation order is tab order. A drop-down list's
// height includes its open list.
struct Place {
    int id;
    const wchar_t* cls;
    DWORD style;
    int x, y, cx, cy;
};
constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kDropDown = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr Place kPlaces[] = {
    {IDC_ASSIGN_KIND_LABEL, L"STATIC", kLabel, 12, 10, 130, 24},
    {IDC_ASSIGN_KIND, L"COMBOBOX", kDropDown, 150, 10, 278, 240},
    {IDC_ASSIGN_LIST_LABEL, L"STATIC", kLabel, 12, 42, 130, 24},
    {IDC_ASSIGN_LIST, L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, 150, 42, 278,
     156},
    {IDC_ASSIGN_KEYS_LABEL, L"STATIC", kLabel | SS_NOPREFIX, 12, 42, 130, 24},
    {IDC_ASSIGN_KEY1, L"COMBOBOX", kDropDown, 150, 42, 136, 240},
    {IDC_ASSIGN_KEY1 + 1, L"COMBOBOX", kDropDown, 292, 42, 136, 240},
    {IDC_ASSIGN_KEY1 + 2, L"COMBOBOX", kDropDown, 150, 72, 136, 240},
    {IDC_ASSIGN_KEY1 + 3, L"COMBOBOX", kDropDown, 292, 72, 136, 240},
    {IDC_ASSIGN_SINGLE, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 150, 106, 136, 26},
    {IDC_ASSIGN_TOGETHER, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 292, 106, 136, 26},
    {IDC_ASSIGN_CAPTURE_LABEL, L"STATIC", kLabel, 12, 206, 130, 28},
    {IDC_ASSIGN_CAPTURE, kCaptureClass, WS_TABSTOP, 150, 206, 278, 28},
    {IDC_ASSIGN_VERDICT, L"STATIC", SS_LEFT | SS_NOPREFIX, 12, 242, 416, 66},
    {IDOK, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 246, 316, 88, 26},
    {IDCANCEL, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 340, 316, 88, 26},
};

// The agent's button texts carry no access key: one goes before the first `letter` there is.
std::u16string WithAccessKey(std::u16string text, char16_t letter) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::towlower(text[i]) == std::towlower(letter)) return text.insert(i, 1, u'&');
    return text;
}

// A label's text without its access key's mark: the name of the control it labels.
std::u16string WithoutAccessKey(std::u16string text) {
    std::erase(text, u'&');
    return text;
}

std::u16string KeyNameText(LPARAM lParam) {
    wchar_t name[64] = {};
    GetKeyNameTextW(static_cast<LONG>(lParam), name, 64);
    return reinterpret_cast<const char16_t*>(name);
}

}  // namespace

CAssignDialog::CAssignDialog(CConfigDocument& document, const ConfigTexts& texts, const IKeyFunctionText& functions)
    : m_document(document), m_texts(texts), m_functions(functions), m_keyChoices(KeyChoices()) {}

CAssignDialog::~CAssignDialog() {
    if (m_hFont != nullptr) DeleteObject(m_hFont);
}

bool CAssignDialog::RegisterClasses(HINSTANCE instance) {
    return RegisterWindowClass(instance, kCaptureClass, CaptureProc, 0, IDC_IBEAM,
                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

bool CAssignDialog::Run(HWND owner, std::size_t record) {
    if (record >= m_document.Layout().size() || m_hDlg != nullptr) return false;
    m_nRecord = record;
    m_bEnded = m_bTaken = false;
    m_capture = Capture::Off;
    m_chord.reset();
    // An empty template: the controls are made in WM_INITDIALOG at the owner's DPI.
    struct alignas(DWORD) {
        DLGTEMPLATE dialog;
        WORD menu, cls, title;
    } tmpl{};
    tmpl.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    m_nDpi = GetDpiForWindow(owner);
    if (CreateDialogIndirectParamW(instance, &tmpl.dialog, owner, DialogProc, reinterpret_cast<LPARAM>(this)) ==
        nullptr)
        return false;
    // The loop of a modal dialog of our own: while the capture field waits for a key, the key
    // goes to it as it is, without the dialog navigation that would take Tab, Enter, Esc or an
    // access key for itself, and without a character made of it.
    EnableWindow(owner, FALSE);
    ShowWindow(m_hDlg, SW_SHOW);
    MSG msg;
    bool quit = false;
    while (!m_bEnded) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (m_capture != Capture::Off && msg.hwnd == m_hCapture) {
            DispatchMessageW(&msg);
            continue;
        }
        if (IsDialogMessageW(m_hDlg, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The owner is enabled before the dialog goes, so that the activation returns to it.
    EnableWindow(owner, TRUE);
    DestroyWindow(m_hDlg);
    m_hDlg = m_hCapture = nullptr;
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    return m_bTaken;
}

INT_PTR CALLBACK CAssignDialog::DialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CAssignDialog*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
        self->m_hDlg = hDlg;
        return self->OnInit() ? FALSE : TRUE;
    }
    auto* self = reinterpret_cast<CAssignDialog*>(GetWindowLongPtrW(hDlg, DWLP_USER));
    return self == nullptr ? FALSE : self->OnMessage(msg, wParam, lParam);
}

INT_PTR CAssignDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_CLOSE: End(false); return TRUE;
    case WM_DPICHANGED: {
        m_nDpi = HIWORD(wParam);
        UpdateFont();
        MoveToSuggested(m_hDlg, lParam);
        Layout();
        return TRUE;
    }
    }
    return FALSE;
}

int CAssignDialog::Scaled(int pixels96) const { return MulDiv(pixels96, static_cast<int>(m_nDpi), 96); }

bool CAssignDialog::OnInit() {
    m_nDpi = GetDpiForWindow(m_hDlg);
    const std::u16string& name = m_document.Layout()[m_nRecord].name;
    SetWindowTextW(m_hDlg, Wide(m_texts.assignTitle + u": " + name));
    CreateControls();
    UpdateFont();
    // At the owner's DPI, centred over it.
    RECT frame{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_hDlg, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(m_hDlg, GWL_EXSTYLE)), m_nDpi);
    RECT owner;
    GetWindowRect(GetWindow(m_hDlg, GW_OWNER), &owner);
    const int cx = frame.right - frame.left, cy = frame.bottom - frame.top;
    SetWindowPos(m_hDlg, nullptr, std::max(0L, (owner.left + owner.right - cx) / 2),
                 std::max(0L, (owner.top + owner.bottom - cy) / 2), cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();

    const KeyFunction current = m_document.Current().keys[m_nRecord];
    FunctionKind kind = KindOf(current.type);
    if (kind == FunctionKind::Unknown) kind = FunctionKind::Factory;
    HWND kinds = GetDlgItem(m_hDlg, IDC_ASSIGN_KIND);
    for (FunctionKind k : kAssignKinds) {
        SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(KindLabel(k, m_texts))));
        if (k == kind) SendMessageW(kinds, CB_SETCURSEL, SendMessageW(kinds, CB_GETCOUNT, 0, 0) - 1, 0);
    }
    for (int slot = 0; slot < kKeySlots; ++slot) {
        HWND keys = GetDlgItem(m_hDlg, IDC_ASSIGN_KEY1 + slot);
        SendMessageW(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(m_texts.noKey)));
        for (const KeyChoice& key : m_keyChoices)
            SendMessageW(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(key.text)));
        SendMessageW(keys, CB_SETCURSEL, 0, 0);
    }
    ShowKind(kind, current);
    SetFocus(kinds);
    return true;
}

void CAssignDialog::CreateControls() {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hDlg, GWLP_HINSTANCE));
    const auto text = [&](int id) -> std::u16string {
        switch (id) {
        case IDC_ASSIGN_KIND_LABEL: return m_texts.assignKind;
        case IDC_ASSIGN_KIND: return WithoutAccessKey(m_texts.assignKind);
        case IDC_ASSIGN_LIST_LABEL: return m_texts.assignFunction;
        case IDC_ASSIGN_LIST: return WithoutAccessKey(m_texts.assignFunction);
        case IDC_ASSIGN_KEYS_LABEL: return m_texts.assignKeys;
        case IDC_ASSIGN_SINGLE: return WithAccessKey(str_newsingle, u's');
        case IDC_ASSIGN_TOGETHER: return WithAccessKey(str_newcombo, u'c');
        case IDC_ASSIGN_CAPTURE_LABEL: return m_texts.capture;
        case IDC_ASSIGN_CAPTURE: return m_texts.captureArm;
        case IDOK: return m_texts.ok;
        case IDCANCEL: return m_texts.cancel;
        }
        if (id >= IDC_ASSIGN_KEY1 && id < IDC_ASSIGN_KEY1 + kKeySlots) {
            const std::string n = std::to_string(id - IDC_ASSIGN_KEY1 + 1);
            return m_texts.assignKey + u" " + std::u16string(n.begin(), n.end());
        }
        return {};
    };
    for (const Place& p : kPlaces) {
        HWND control = CreateWindowExW(0, p.cls, Wide(text(p.id)), WS_CHILD | WS_VISIBLE | p.style, 0, 0, 0, 0, m_hDlg,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)), instance, nullptr);
        if (p.id == IDC_ASSIGN_CAPTURE) {
            m_hCapture = control;
            SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }
}

void CAssignDialog::UpdateFont() {
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    m_hFont = CreateUiFont(m_nDpi);
    for (const Place& p : kPlaces)
        SendDlgItemMessageW(m_hDlg, p.id, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
}

void CAssignDialog::Layout() {
    for (const Place& p : kPlaces)
        MoveWindow(GetDlgItem(m_hDlg, p.id), Scaled(p.x), Scaled(p.y), Scaled(p.cx), Scaled(p.cy), TRUE);
}

FunctionKind CAssignDialog::Kind() const {
    const LRESULT i = SendDlgItemMessageW(m_hDlg, IDC_ASSIGN_KIND, CB_GETCURSEL, 0, 0);
    return i >= 0 && i < static_cast<LRESULT>(std::size(kAssignKinds)) ? kAssignKinds[i] : FunctionKind::Factory;
}

void CAssignDialog::ShowKind(FunctionKind kind, const KeyFunction& current) {
    const bool combination = kind == FunctionKind::Combination;
    const bool capture = combination || kind == FunctionKind::Remap;
    for (int id : {IDC_ASSIGN_LIST_LABEL, IDC_ASSIGN_LIST})
        ShowWindow(GetDlgItem(m_hDlg, id), combination ? SW_HIDE : SW_SHOWNA);
    for (int id : {IDC_ASSIGN_KEYS_LABEL, IDC_ASSIGN_KEY1, IDC_ASSIGN_KEY1 + 1, IDC_ASSIGN_KEY1 + 2,
                   IDC_ASSIGN_KEY1 + 3, IDC_ASSIGN_SINGLE, IDC_ASSIGN_TOGETHER})
        ShowWindow(GetDlgItem(m_hDlg, id), combination ? SW_SHOWNA : SW_HIDE);
    for (int id : {IDC_ASSIGN_CAPTURE_LABEL, IDC_ASSIGN_CAPTURE})
        ShowWindow(GetDlgItem(m_hDlg, id), capture ? SW_SHOWNA : SW_HIDE);
    Arm(Capture::Off);

    HWND list = GetDlgItem(m_hDlg, IDC_ASSIGN_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    m_choices = FunctionChoices(kind, m_document.Current(), m_texts, m_functions);
    for (const FunctionChoice& choice : m_choices)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(choice.text)));
    // The key's own function when it is of this kind, else the kind's first.
    const std::optional<std::size_t> at = ChoiceOf(m_choices, current);
    if (!m_choices.empty()) SendMessageW(list, LB_SETCURSEL, at.value_or(0), 0);
    if (combination && current.type == AssignCombination) {
        const auto index = static_cast<std::size_t>(current.parameter);
        if (index < m_document.Current().combinations.size()) SetComboKeys(m_document.Current().combinations[index]);
    }
    Recheck();
}

std::optional<Assignment> CAssignDialog::Chosen() const {
    if (Kind() == FunctionKind::Combination) {
        // The keys picked, gaps closed.
        ComboKeys keys{};
        std::size_t count = 0;
        for (int slot = 0; slot < kKeySlots; ++slot) {
            const LRESULT i = SendDlgItemMessageW(m_hDlg, IDC_ASSIGN_KEY1 + slot, CB_GETCURSEL, 0, 0);
            if (i > 0 && static_cast<std::size_t>(i) <= m_keyChoices.size()) keys[count++] = m_keyChoices[i - 1].vk;
        }
        return keys;
    }
    const LRESULT i = SendDlgItemMessageW(m_hDlg, IDC_ASSIGN_LIST, LB_GETCURSEL, 0, 0);
    if (i < 0 || static_cast<std::size_t>(i) >= m_choices.size()) return std::nullopt;
    return m_choices[i].function;
}

void CAssignDialog::Recheck() {
    const std::optional<Assignment> chosen = Chosen();
    std::u16string text;
    bool refused = true;
    if (!chosen) {
        text = Kind() == FunctionKind::Macro ? m_texts.noMacros : std::u16string();
    } else {
        const AssignVerdict verdict = CheckAssignment(m_document.Current(), m_document.Layout(), m_nRecord, *chosen,
                                                      m_document.Applied(), m_texts);
        refused = verdict.refused;
        for (const std::u16string& line : verdict.lines) text += (text.empty() ? u"" : u"\r\n") + line;
        if (text.empty()) text = m_texts.fits;
    }
    SetDlgItemTextW(m_hDlg, IDC_ASSIGN_VERDICT, Wide(text));
    EnableWindow(GetDlgItem(m_hDlg, IDOK), refused ? FALSE : TRUE);
}

void CAssignDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
        // Enter in the dialog comes here even while OK is disabled.
        if (IsWindowEnabled(GetDlgItem(m_hDlg, IDOK))) End(true);
        return;
    case IDCANCEL: End(false); return;
    case IDC_ASSIGN_KIND:
        if (code == CBN_SELCHANGE) ShowKind(Kind(), m_document.Current().keys[m_nRecord]);
        return;
    case IDC_ASSIGN_LIST:
        if (code == LBN_SELCHANGE) Recheck();
        if (code == LBN_DBLCLK && IsWindowEnabled(GetDlgItem(m_hDlg, IDOK))) End(true);
        return;
    case IDC_ASSIGN_SINGLE:
    case IDC_ASSIGN_TOGETHER:
        if (code != BN_CLICKED) return;
        SetFocus(m_hCapture);
        Arm(id == IDC_ASSIGN_SINGLE ? Capture::Single : Capture::Together);
        return;
    }
    if (id >= IDC_ASSIGN_KEY1 && id < IDC_ASSIGN_KEY1 + kKeySlots && code == CBN_SELCHANGE) Recheck();
}

void CAssignDialog::Arm(Capture mode) {
    m_capture = mode;
    m_chord.reset();
    if (mode == Capture::Single || mode == Capture::Together)
        m_chord.emplace(mode == Capture::Single ? CKeyChord::Mode::Single : CKeyChord::Mode::Together);
    const std::u16string& prompt = mode == Capture::Off     ? m_texts.captureArm
                                   : mode == Capture::Remap ? m_texts.captureWaiting
                                                            : m_texts.captureChord;
    SetWindowTextW(m_hCapture, Wide(prompt));
    InvalidateRect(m_hCapture, nullptr, TRUE);
}

void CAssignDialog::SetComboKeys(const ComboKeys& keys) {
    for (int slot = 0; slot < kKeySlots; ++slot) {
        const auto it = std::ranges::find(m_keyChoices, keys[slot], &KeyChoice::vk);
        const LRESULT i = keys[slot] != 0 && it != m_keyChoices.end() ? (it - m_keyChoices.begin()) + 1 : 0;
        SendDlgItemMessageW(m_hDlg, IDC_ASSIGN_KEY1 + slot, CB_SETCURSEL, i, 0);
    }
}

void CAssignDialog::OnKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    const bool repeat = down && (lParam & (1 << 30)) != 0;
    const std::uint8_t code =
        KeyboardCode(static_cast<unsigned>(wParam), (lParam >> 16) & 0xFF, (lParam & (1 << 24)) != 0);
    if (down && !repeat && code == 0) {
        // Said with the system's name of the key: the keyboard has none for it.
        SetWindowTextW(m_hCapture, Wide(m_texts.cannotProduce + u": " + KeyNameText(lParam)));
        InvalidateRect(m_hCapture, nullptr, TRUE);
        return;
    }
    if (m_capture == Capture::Remap) {
        if (!down || repeat) return;
        const std::optional<std::size_t> at = ChoiceOf(m_choices, {AssignKeyRemap, code});
        if (!at) return;
        // Checked before the field says what it took, so that what it says holds once it says it.
        SendDlgItemMessageW(m_hDlg, IDC_ASSIGN_LIST, LB_SETCURSEL, *at, 0);
        Recheck();
        Arm(Capture::Off);
        SetWindowTextW(m_hCapture, Wide(m_choices[*at].text));
        return;
    }
    if (!m_chord) return;
    const bool done = down ? m_chord->Down(code) : m_chord->Up(code);
    SetComboKeys(m_chord->Keys());
    if (!done) return;
    Recheck();
    Arm(Capture::Off);
}

LRESULT CALLBACK CAssignDialog::CaptureProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CAssignDialog*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hWnd, msg, wParam, lParam);
    return self->OnCaptureMessage(msg, wParam, lParam);
}

LRESULT CAssignDialog::OnCaptureMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: {
        // Waiting, it wants every key; otherwise Enter, which arms it, and Space, as a button.
        if (m_capture != Capture::Off) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        return key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // A combination half pressed when the focus goes is dropped, not taken.
        if (msg == WM_KILLFOCUS && m_capture != Capture::Off) Arm(Capture::Off);
        InvalidateRect(m_hCapture, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(m_hCapture);
        if (m_capture == Capture::Off) Arm(Kind() == FunctionKind::Remap ? Capture::Remap : Capture::Together);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // Alt and F10 would open the system menu through DefWindowProc: taken here instead.
        if (m_capture != Capture::Off) {
            OnKey(msg, wParam, lParam);
            return 0;
        }
        // Tabbing through arms nothing: Enter or Space does, as a click does.
        if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_SPACE)) {
            Arm(Kind() == FunctionKind::Remap ? Capture::Remap : Capture::Together);
            return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hCapture, &ps);
        RECT r;
        GetClientRect(m_hCapture, &r);
        FillRect(dc, &r, GetSysColorBrush(m_capture != Capture::Off ? COLOR_INFOBK : COLOR_WINDOW));
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        InflateRect(&r, -Scaled(6), -Scaled(2));
        wchar_t text[256] = {};
        GetWindowTextW(m_hCapture, text, 256);
        HGDIOBJ old = SelectObject(dc, m_hFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(dc, text, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        if (GetFocus() == m_hCapture) DrawFocusRect(dc, &r);
        EndPaint(m_hCapture, &ps);
        return 0;
    }
    }
    return DefWindowProcW(m_hCapture, msg, wParam, lParam);
}

void CAssignDialog::End(bool ok) {
    if (ok) {
        if (const std::optional<Assignment> chosen = Chosen()) {
            m_bTaken = std::holds_alternative<ComboKeys>(*chosen)
                           ? m_document.SetKeyCombination(m_nRecord, std::get<ComboKeys>(*chosen))
                           : m_document.SetKeyFunction(m_nRecord, std::get<KeyFunction>(*chosen));
        }
    }
    m_bEnded = true;
}
