#include "config/win32/CMacrosWindow.h"

#include <algorithm>
#include <iterator>

#include "KeyNames.h"
#include "ProfileCheck.h"
#include "config/KeyDetails.h"
#include "config/MacroEvents.h"
#include "config/MacroList.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/Controls.h"
#include "config/win32/WindowClass.h"
#include "xml/LanguageStrings.h"
#include "xml/Utf8Text.h"

namespace {

constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr SIZE kClient{780, 456};  // in 96-dpi pixels
constexpr UINT WM_APP_RECORDED = WM_APP + 1;
constexpr UINT WM_APP_REFUSED = WM_APP + 2;  // wParam: the macro code, lParam: as GetKeyNameTextW takes it
constexpr UINT WM_APP_STOP = WM_APP + 3;

// The one window that records: a low-level hook has no argument of its own.
CMacrosWindow* s_pRecording = nullptr;

struct ControlSpec {
    int id;
    const wchar_t* cls;
    std::u16string ConfigTexts::*text;  // or nullptr for an agent text or none
    const std::u16string* agentText;
    DWORD style;
    RECT place;  // left, top, width, height in 96-dpi pixels; a drop-down list's height holds its list
};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kList = LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDropDown = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kInfo = SS_LEFT | SS_NOPREFIX;

// In tab order. Labels come right before their fields, so that their access keys reach them
// and accessibility names the fields by them.
const ControlSpec kControls[] = {
    {IDC_MACRO_LIST, L"LISTBOX", &ConfigTexts::macros, nullptr, kList, {10, 10, 300, 230}},
    {IDC_MACRO_NAME_LABEL, L"STATIC", &ConfigTexts::macroName, nullptr, kLabel, {10, 248, 60, 22}},
    {IDC_MACRO_NAME, L"EDIT", nullptr, nullptr, kEdit, {72, 248, 238, 22}},
    {IDC_MACRO_NEW, L"BUTTON", nullptr, &str_macronew, kButton, {10, 276, 96, 26}},
    {IDC_MACRO_RENAME, L"BUTTON", &ConfigTexts::rename, nullptr, kButton, {112, 276, 96, 26}},
    {IDC_MACRO_DUPLICATE, L"BUTTON", &ConfigTexts::duplicate, nullptr, kButton, {214, 276, 96, 26}},
    {IDC_MACRO_DELETE, L"BUTTON", nullptr, &str_del, kButton, {10, 306, 96, 26}},
    {IDC_MACRO_UP, L"BUTTON", nullptr, &str_move_up, kButton, {112, 306, 96, 26}},
    {IDC_MACRO_DOWN, L"BUTTON", nullptr, &str_move_on, kButton, {214, 306, 96, 26}},
    {IDC_MACRO_COUNT, L"STATIC", nullptr, nullptr, kInfo, {10, 338, 300, 40}},
    {IDC_EVENT_LIST, L"LISTBOX", &ConfigTexts::events, nullptr, kList, {330, 10, 440, 200}},
    {IDC_EVENT_KIND_LABEL, L"STATIC", &ConfigTexts::eventKind, nullptr, kLabel, {330, 218, 110, 22}},
    {IDC_EVENT_KIND, L"COMBOBOX", &ConfigTexts::eventKind, nullptr, kDropDown, {442, 218, 140, 100}},
    {IDC_EVENT_KEY_LABEL, L"STATIC", &ConfigTexts::eventKey, nullptr, kLabel, {330, 246, 110, 22}},
    {IDC_EVENT_KEY, L"COMBOBOX", &ConfigTexts::eventKey, nullptr, kDropDown, {442, 246, 140, 300}},
    {IDC_EVENT_DELAY_LABEL, L"STATIC", &ConfigTexts::eventDelay, nullptr, kLabel, {330, 274, 110, 22}},
    {IDC_EVENT_DELAY, L"EDIT", nullptr, nullptr, kEdit | ES_NUMBER, {442, 274, 80, 22}},
    {IDC_EVENT_ADD, L"BUTTON", &ConfigTexts::addEvent, nullptr, kButton, {600, 218, 82, 26}},
    {IDC_EVENT_CHANGE, L"BUTTON", &ConfigTexts::changeEvent, nullptr, kButton, {688, 218, 82, 26}},
    {IDC_EVENT_DELETE, L"BUTTON", &ConfigTexts::deleteEvent, nullptr, kButton, {600, 248, 82, 26}},
    {IDC_EVENT_UP, L"BUTTON", &ConfigTexts::eventUp, nullptr, kButton, {688, 248, 82, 26}},
    {IDC_EVENT_DOWN, L"BUTTON", &ConfigTexts::eventDown, nullptr, kButton, {600, 278, 82, 26}},
    {IDC_REPEAT_LABEL, L"STATIC", nullptr, &str_looptime, kLabel, {330, 306, 110, 22}},
    {IDC_REPEAT, L"EDIT", nullptr, nullptr, kEdit | ES_NUMBER, {442, 306, 80, 22}},
    {IDC_FIXED, L"BUTTON", nullptr, &str_autodelay, BS_AUTOCHECKBOX | WS_TABSTOP, {330, 334, 440, 22}},
    {IDC_FIXED_DELAY_LABEL, L"STATIC", &ConfigTexts::fixedDelay, nullptr, kLabel, {350, 360, 110, 22}},
    {IDC_FIXED_DELAY, L"EDIT", nullptr, nullptr, kEdit | ES_NUMBER, {462, 360, 80, 22}},
    {IDC_RECORD, L"BUTTON", nullptr, &str_startrecord, kButton, {560, 306, 210, 26}},
    {IDC_MACRO_STATUS, L"STATIC", nullptr, nullptr, kInfo, {10, 388, 760, 22}},
    {IDC_MACRO_LIMITS, L"STATIC", nullptr, nullptr, kInfo, {10, 410, 760, 40}},
};

std::u16string Number(std::uint64_t n) {
    const std::string s = std::to_string(n);
    return {s.begin(), s.end()};
}

// A row without its tab stops, for the one-line status.
std::u16string Spaced(std::u16string row) {
    std::ranges::replace(row, u'\t', u' ');
    return row;
}

}  // namespace

CMacrosWindow::CMacrosWindow(CConfigDocument& document, const ConfigTexts& texts)
    : m_document(document), m_texts(texts), m_nListener(m_document.OnChange([this] {
          if (m_hWnd != nullptr) Refresh();
      })) {}

CMacrosWindow::~CMacrosWindow() {
    m_document.RemoveListener(m_nListener);
    Unhook();
    if (m_hFont != nullptr) DeleteObject(m_hFont);
}

bool CMacrosWindow::RegisterClasses(HINSTANCE instance) {
    return RegisterWindowClass(instance, kMacrosClass, WndProc, 0, IDC_ARROW,
                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadIconW(instance, MAKEINTRESOURCEW(1)));
}

void CMacrosWindow::Show(HWND owner) {
    if (m_hWnd == nullptr) {
        const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
        // Opens on the owner's monitor, at that monitor's DPI.
        const UINT dpi = GetDpiForWindow(owner);
        RECT frame{0, 0, MulDiv(kClient.cx, static_cast<int>(dpi), 96), MulDiv(kClient.cy, static_cast<int>(dpi), 96)};
        AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi);
        // On the owner's screen and never larger than its work area: a window off the screen
        // cannot be used.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        const int width = std::min(frame.right - frame.left, work.right - work.left);
        const int height = std::min(frame.bottom - frame.top, work.bottom - work.top);
        RECT ownerRect;
        GetWindowRect(owner, &ownerRect);
        const int left = std::clamp(ownerRect.left + 40, work.left, work.right - width);
        const int top = std::clamp(ownerRect.top + 40, work.top, work.bottom - height);
        CreateWindowExW(0, kMacrosClass, Wide(m_texts.macros), kStyle, left, top, width, height, owner, nullptr,
                        instance, this);
        if (m_hWnd == nullptr) return;
    }
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    SetForegroundWindow(m_hWnd);
}

LRESULT CALLBACK CMacrosWindow::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CMacrosWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CMacrosWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hWnd, msg, wParam, lParam);
    const LRESULT result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) self->m_hWnd = nullptr;
    return result;
}

LRESULT CMacrosWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DPICHANGED: {
        m_nDpi = LOWORD(wParam);
        UpdateFont();
        MoveToSuggested(m_hWnd, lParam);
        Layout();
        return 0;
    }
    case WM_ACTIVATE:
        // Back in the window, the focus returns to the control that had it, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            m_hFocus = focus != nullptr && IsChild(m_hWnd, focus) ? focus : nullptr;
        } else {
            SetFocus(m_hFocus != nullptr && IsWindow(m_hFocus) ? m_hFocus : GetDlgItem(m_hWnd, IDC_MACRO_LIST));
        }
        return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_APP_RECORDED: OnRecorded(); return 0;
    case WM_APP_REFUSED: {
        wchar_t name[64] = {};
        // The system's own name of the key, in the user's language; its code when it has none.
        const std::u16string text = GetKeyNameTextW(static_cast<LONG>(lParam), name, 64) > 0
                                        ? std::u16string(name, name + wcslen(name))
                                        : HexCode(static_cast<unsigned>(wParam), 2);
        SetStatus(m_texts.refusedKey + u": " + text);
        return 0;
    }
    case WM_APP_STOP: StopRecording(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

bool CMacrosWindow::OnCreate() {
    m_nDpi = GetDpiForWindow(m_hWnd);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE));
    for (const ControlSpec& c : kControls) {
        const std::u16string text = c.text != nullptr ? m_texts.*c.text : c.agentText != nullptr ? *c.agentText : u"";
        if (CreateWindowExW(0, c.cls, Wide(text), WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0, m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr) == nullptr)
            return false;
    }
    HWND kind = GetDlgItem(m_hWnd, IDC_EVENT_KIND);
    SendMessageW(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(m_texts.keyDown)));
    SendMessageW(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(m_texts.keyUp)));
    SendMessageW(kind, CB_SETCURSEL, 0, 0);
    HWND key = GetDlgItem(m_hWnd, IDC_EVENT_KEY);
    for (const NamedCode& named : VirtualKeyNames()) {
        const LRESULT at =
            SendMessageW(key, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(Utf16FromUtf8(named.name))));
        SendMessageW(key, CB_SETITEMDATA, static_cast<WPARAM>(at), named.code);
    }
    SendMessageW(key, CB_SETCURSEL, 0, 0);
    SetDlgItemTextW(m_hWnd, IDC_EVENT_DELAY, L"0");
    SetDlgItemTextW(m_hWnd, IDC_FIXED_DELAY, L"50");
    // Columns in dialog units: number, then the macro's name or the event's kind, key and delay.
    const int macroTabs[] = {16, 120};
    SendDlgItemMessageW(m_hWnd, IDC_MACRO_LIST, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(macroTabs));
    const int eventTabs[] = {20, 70, 140};
    SendDlgItemMessageW(m_hWnd, IDC_EVENT_LIST, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(eventTabs));
    UpdateFont();
    Layout();
    m_nMacro = m_document.Current().macros.empty() ? -1 : 0;
    m_nEvent = -1;
    m_bFixed = Chosen() && FixedDelay(Macro()).has_value();
    Refresh();
    return true;
}

void CMacrosWindow::OnDestroy() {
    StopRecording();
    if (!m_recorder.Holding()) Unhook();
}

void CMacrosWindow::UpdateFont() {
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    m_hFont = CreateUiFont(m_nDpi);
    for (const ControlSpec& c : kControls)
        SendDlgItemMessageW(m_hWnd, c.id, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
}

void CMacrosWindow::Layout() {
    const auto scaled = [&](LONG v) { return MulDiv(v, static_cast<int>(m_nDpi), 96); };
    for (const ControlSpec& c : kControls)
        MoveWindow(GetDlgItem(m_hWnd, c.id), scaled(c.place.left), scaled(c.place.top), scaled(c.place.right),
                   scaled(c.place.bottom), TRUE);
}

bool CMacrosWindow::Chosen() const {
    return m_nMacro >= 0 && static_cast<std::size_t>(m_nMacro) < m_document.Current().macros.size();
}

const ProfileMacro& CMacrosWindow::Macro() const {
    return m_document.Current().macros[static_cast<std::size_t>(m_nMacro)];
}

std::u16string CMacrosWindow::Text(int id) const {
    HWND control = GetDlgItem(m_hWnd, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

int CMacrosWindow::Selection(int id) const {
    const bool combo = id == IDC_EVENT_KIND || id == IDC_EVENT_KEY;
    return static_cast<int>(SendDlgItemMessageW(m_hWnd, id, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

void CMacrosWindow::SetStatus(const std::u16string& text) { SetDlgItemTextW(m_hWnd, IDC_MACRO_STATUS, Wide(text)); }

template <typename T> std::optional<T> CMacrosWindow::Typed(int id, std::optional<T> (*parse)(std::u16string_view)) {
    const std::optional<T> value = parse(Text(id));
    SetStatus(value ? u"" : m_texts.badNumber);
    return value;
}

void CMacrosWindow::Refresh() {
    m_bUpdating = true;
    const Profile& profile = m_document.Current();
    const int count = static_cast<int>(profile.macros.size());
    m_nMacro = std::min(m_nMacro, count - 1);
    HWND list = GetDlgItem(m_hWnd, IDC_MACRO_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < profile.macros.size(); ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(MacroRowText(profile, i, m_texts))));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(m_nMacro), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextW(m_hWnd, IDC_MACRO_COUNT, Wide(MacroCountText(profile, m_texts)));

    const bool chosen = Chosen();
    HWND events = GetDlgItem(m_hWnd, IDC_EVENT_LIST);
    SendMessageW(events, WM_SETREDRAW, FALSE, 0);
    SendMessageW(events, LB_RESETCONTENT, 0, 0);
    const std::size_t eventCount = chosen ? Macro().events.size() : 0;
    for (std::size_t j = 0; j < eventCount; ++j)
        SendMessageW(events, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(Number(j + 1) + u"\t" + EventRowText(Macro().events[j], m_texts))));
    m_nEvent = std::min(m_nEvent, static_cast<int>(eventCount) - 1);
    SendMessageW(events, LB_SETCURSEL, static_cast<WPARAM>(m_nEvent), 0);
    // While recording the newest event stays in sight.
    if (m_nRecording >= 0 && eventCount > 0) SendMessageW(events, LB_SETTOPINDEX, eventCount - 1, 0);
    SendMessageW(events, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(events, nullptr, TRUE);

    if (chosen) {
        SetDlgItemTextW(m_hWnd, IDC_MACRO_NAME, Wide(Utf16FromUtf8(Macro().name)));
        // The field the user types in keeps its text (and caret) while it says the same count.
        const std::optional<std::uint16_t> typed = ParseRepeat(Text(IDC_REPEAT));
        if (!typed || *typed != Macro().repeat) SetDlgItemTextW(m_hWnd, IDC_REPEAT, Wide(Number(Macro().repeat)));
        SetDlgItemTextW(m_hWnd, IDC_MACRO_LIMITS,
                        Wide(MacroLimitText(profile, static_cast<std::size_t>(m_nMacro), m_texts)));
    } else {
        SetDlgItemTextW(m_hWnd, IDC_MACRO_LIMITS, Wide(m_texts.noMacro));
    }
    CheckDlgButton(m_hWnd, IDC_FIXED, m_bFixed ? BST_CHECKED : BST_UNCHECKED);
    const bool recording = m_nRecording >= 0;
    const bool event = chosen && m_nEvent >= 0;
    const std::pair<int, bool> enabled[] = {
        {IDC_MACRO_RENAME, chosen},
        {IDC_MACRO_DUPLICATE, chosen},
        {IDC_MACRO_DELETE, chosen},
        {IDC_MACRO_UP, chosen && m_nMacro > 0},
        {IDC_MACRO_DOWN, chosen && m_nMacro + 1 < count},
        {IDC_EVENT_ADD, chosen},
        {IDC_EVENT_CHANGE, event},
        {IDC_EVENT_DELETE, event},
        {IDC_EVENT_UP, event && m_nEvent > 0},
        {IDC_EVENT_DOWN, event && m_nEvent + 1 < static_cast<int>(eventCount)},
        {IDC_EVENT_DELAY, !m_bFixed},
        {IDC_REPEAT, chosen},
        {IDC_FIXED, chosen},
        {IDC_FIXED_DELAY, chosen && m_bFixed},
        {IDC_RECORD, chosen || recording},
    };
    for (const auto& [id, on] : enabled) {
        HWND control = GetDlgItem(m_hWnd, id);
        // A control about to be disabled gives the focus on first, or the keyboard would lose it.
        if (!on && GetFocus() == control) SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(control, on);
    }
    SetDlgItemTextW(m_hWnd, IDC_RECORD, Wide(recording ? str_stoprecord : str_startrecord));
    m_bUpdating = false;
}

void CMacrosWindow::ShowEvent() {
    if (!Chosen() || m_nEvent < 0) return;
    const MacroStep& step = Macro().events[static_cast<std::size_t>(m_nEvent)];
    SendDlgItemMessageW(m_hWnd, IDC_EVENT_KIND, CB_SETCURSEL, step.down ? 0 : 1, 0);
    HWND key = GetDlgItem(m_hWnd, IDC_EVENT_KEY);
    const int keys = static_cast<int>(SendMessageW(key, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < keys; ++i)
        if (SendMessageW(key, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == step.vk)
            SendMessageW(key, CB_SETCURSEL, i, 0);
    SetDlgItemTextW(m_hWnd, IDC_EVENT_DELAY, Wide(Number(step.delayMs)));
}

void CMacrosWindow::OnCommand(int id, int notification) {
    if (m_bUpdating) return;
    // While recording every key goes to the recording; only the mouse can click, and only Stop counts.
    if (m_nRecording >= 0 && id != IDC_RECORD) return;
    switch (id) {
    case IDC_MACRO_LIST:
        if (notification == LBN_SELCHANGE) {
            m_nMacro = Selection(IDC_MACRO_LIST);
            m_nEvent = -1;
            m_bFixed = Chosen() && FixedDelay(Macro()).has_value();
            if (m_bFixed) SetDlgItemTextW(m_hWnd, IDC_FIXED_DELAY, Wide(Number(*FixedDelay(Macro()))));
            SetStatus(u"");
            Refresh();
        }
        return;
    case IDC_EVENT_LIST:
        if (notification == LBN_SELCHANGE) {
            m_nEvent = Selection(IDC_EVENT_LIST);
            ShowEvent();
            Refresh();
        }
        return;
    case IDC_REPEAT:
        if (notification == EN_CHANGE) OnRepeat();
        return;
    case IDC_FIXED_DELAY:
        if (notification == EN_CHANGE && m_bFixed) OnFixedDelay();
        return;
    }
    if (notification != BN_CLICKED) return;
    switch (id) {
    case IDC_MACRO_NEW: NewMacro(); break;
    case IDC_MACRO_RENAME: RenameMacro(); break;
    case IDC_MACRO_DUPLICATE: DuplicateMacro(); break;
    case IDC_MACRO_DELETE: DeleteMacro(); break;
    case IDC_MACRO_UP: MoveMacro(-1); break;
    case IDC_MACRO_DOWN: MoveMacro(1); break;
    case IDC_EVENT_ADD:
    case IDC_EVENT_CHANGE:
    case IDC_EVENT_DELETE:
    case IDC_EVENT_UP:
    case IDC_EVENT_DOWN: EditEvents(id); break;
    case IDC_FIXED:
        m_bFixed = IsDlgButtonChecked(m_hWnd, IDC_FIXED) == BST_CHECKED;
        if (m_bFixed) OnFixedDelay();
        Refresh();
        break;
    case IDC_RECORD: ToggleRecording(); break;
    case IDOK: {
        // Enter carries out what the field with the focus is for.
        const int focus = GetDlgCtrlID(GetFocus());
        if (focus == IDC_MACRO_NAME) RenameMacro();
        if (focus == IDC_EVENT_KIND || focus == IDC_EVENT_KEY || focus == IDC_EVENT_DELAY)
            EditEvents(m_nEvent >= 0 ? IDC_EVENT_CHANGE : IDC_EVENT_ADD);
        break;
    }
    case IDCANCEL: DestroyWindow(m_hWnd); break;
    }
}

void CMacrosWindow::NewMacro() {
    if (m_document.Current().macros.size() >= kMaxProfileMacros) {
        SetStatus(m_texts.macroListFull);
        return;
    }
    ProfileMacro macro;
    macro.name = FreeMacroName(m_document.Current(), Utf8FromUtf16(str_new_macro));
    m_nMacro = static_cast<int>(m_document.Current().macros.size());
    m_nEvent = -1;
    m_bFixed = false;
    m_document.AddMacro(std::move(macro));
    SetStatus(u"");
    SetFocus(GetDlgItem(m_hWnd, IDC_MACRO_NAME));
    SendDlgItemMessageW(m_hWnd, IDC_MACRO_NAME, EM_SETSEL, 0, -1);
}

void CMacrosWindow::RenameMacro() {
    if (!Chosen()) return;
    ProfileMacro macro = Macro();
    macro.name = Utf8FromUtf16(Text(IDC_MACRO_NAME));
    // The checker's word on the name (empty, or another macro's) before the list takes it.
    Profile trial = m_document.Current();
    trial.macros[static_cast<std::size_t>(m_nMacro)] = macro;
    for (const Finding& f : CheckMacro(trial, static_cast<std::size_t>(m_nMacro))) {
        if (f.of != Finding::Of::Macro || f.rule.find("name") == std::string::npos) continue;
        SetStatus(Utf16FromUtf8(f.subject + ": " + f.rule));
        return;
    }
    SetStatus(u"");
    m_document.SetMacro(static_cast<std::size_t>(m_nMacro), std::move(macro));
}

void CMacrosWindow::DuplicateMacro() {
    if (!Chosen()) return;
    if (m_document.Current().macros.size() >= kMaxProfileMacros) {
        SetStatus(m_texts.macroListFull);
        return;
    }
    ProfileMacro copy = Macro();
    copy.name = CopyName(m_document.Current(), copy.name);
    // Right below the original; the macros after it move down with their keys.
    const std::size_t at = m_document.AddMacro(std::move(copy));
    m_nMacro += 1;
    m_document.MoveMacro(at, static_cast<std::size_t>(m_nMacro));
}

void CMacrosWindow::DeleteMacro() {
    if (!Chosen()) return;
    const std::u16string keys =
        KeyNamesUsingMacro(m_document.Current(), m_document.Layout(), static_cast<std::size_t>(m_nMacro));
    // The keys that play it lose it: named first, and No is the default.
    if (!keys.empty() && MessageBoxW(m_hWnd, Wide(m_texts.deleteAsk + u":\r\n" + keys), Wide(str_title),
                                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    m_nEvent = -1;
    m_document.RemoveMacro(static_cast<std::size_t>(m_nMacro));
}

void CMacrosWindow::MoveMacro(int by) {
    if (!Chosen()) return;
    const int to = m_nMacro + by;
    if (to < 0 || static_cast<std::size_t>(to) >= m_document.Current().macros.size()) return;
    const int from = m_nMacro;
    m_nMacro = to;
    m_document.MoveMacro(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
}

std::optional<MacroStep> CMacrosWindow::FieldEvent() {
    const int key = Selection(IDC_EVENT_KEY);
    MacroStep step;
    step.down = Selection(IDC_EVENT_KIND) != 1;
    step.vk = static_cast<std::uint8_t>(
        SendDlgItemMessageW(m_hWnd, IDC_EVENT_KEY, CB_GETITEMDATA, static_cast<WPARAM>(std::max(key, 0)), 0));
    const std::optional<std::uint32_t> delay = Typed(m_bFixed ? IDC_FIXED_DELAY : IDC_EVENT_DELAY, ParseDelay);
    if (!delay) return std::nullopt;
    step.delayMs = *delay;
    return step;
}

void CMacrosWindow::EditEvents(int id) {
    if (!Chosen()) return;
    ProfileMacro macro = Macro();
    auto& events = macro.events;
    const auto at = [&](int j) { return events.begin() + j; };
    const bool event = m_nEvent >= 0 && static_cast<std::size_t>(m_nEvent) < events.size();
    switch (id) {
    case IDC_EVENT_ADD:
    case IDC_EVENT_CHANGE: {
        const std::optional<MacroStep> step = FieldEvent();
        if (!step) return;
        if (id == IDC_EVENT_CHANGE && event) {
            events[static_cast<std::size_t>(m_nEvent)] = *step;
        } else {
            // After the chosen event, else at the end; the new one is chosen.
            m_nEvent = event ? m_nEvent + 1 : static_cast<int>(events.size());
            events.insert(at(m_nEvent), *step);
        }
        break;
    }
    case IDC_EVENT_DELETE:
        if (!event) return;
        events.erase(at(m_nEvent));
        break;
    case IDC_EVENT_UP:
    case IDC_EVENT_DOWN: {
        const int to = m_nEvent + (id == IDC_EVENT_UP ? -1 : 1);
        if (!event || to < 0 || static_cast<std::size_t>(to) >= events.size()) return;
        std::iter_swap(at(m_nEvent), at(to));
        m_nEvent = to;
        break;
    }
    }
    SetStatus(u"");
    m_document.SetMacro(static_cast<std::size_t>(m_nMacro), std::move(macro));
    Refresh();
}

void CMacrosWindow::OnRepeat() {
    if (!Chosen()) return;
    const std::optional<std::uint16_t> repeat = Typed(IDC_REPEAT, ParseRepeat);
    if (!repeat) return;
    ProfileMacro macro = Macro();
    macro.repeat = *repeat;
    m_document.SetMacro(static_cast<std::size_t>(m_nMacro), std::move(macro));
}

void CMacrosWindow::OnFixedDelay() {
    if (!Chosen()) return;
    const std::optional<std::uint32_t> ms = Typed(IDC_FIXED_DELAY, ParseDelay);
    if (ms) m_document.SetMacro(static_cast<std::size_t>(m_nMacro), WithFixedDelay(Macro(), *ms));
}

void CMacrosWindow::ToggleRecording() {
    if (m_nRecording >= 0) {
        StopRecording();
        return;
    }
    if (!Chosen() || s_pRecording != nullptr) return;
    std::optional<std::uint32_t> fixed;
    if (m_bFixed && !(fixed = Typed(IDC_FIXED_DELAY, ParseDelay))) return;
    // The hook sees every key before any window does, and can keep it from them all.
    m_hHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
    if (m_hHook == nullptr) {
        SetStatus(m_texts.recordFailed);
        return;
    }
    s_pRecording = this;
    m_nRecording = m_nMacro;
    m_nEvent = -1;
    m_recorder.Start(fixed);
    SetStatus(m_texts.recording);
    Refresh();
}

void CMacrosWindow::StopRecording() {
    // The recorder stops itself at Ctrl+Break; the window follows when it hears of it.
    if (m_nRecording < 0) return;
    m_recorder.Stop();
    OnRecorded();
    m_nRecording = -1;
    // Presses swallowed while recording still have their releases to swallow.
    if (!m_recorder.Holding()) Unhook();
    if (m_hWnd != nullptr) Refresh();
}

void CMacrosWindow::OnRecorded() {
    const std::vector<MacroStep>& steps = m_recorder.Steps();
    if (m_nRecording < 0 || static_cast<std::size_t>(m_nRecording) >= m_document.Current().macros.size() ||
        steps.empty())
        return;
    ProfileMacro macro = m_document.Current().macros[static_cast<std::size_t>(m_nRecording)];
    macro.events = steps;
    m_document.SetMacro(static_cast<std::size_t>(m_nRecording), std::move(macro));
    if (m_recorder.Recording())
        SetStatus(m_texts.recording + u" (" + Number(steps.size()) + u"): " +
                  Spaced(EventRowText(steps.back(), m_texts)));
}

void CMacrosWindow::Unhook() {
    if (m_hHook != nullptr) UnhookWindowsHookEx(m_hHook);
    m_hHook = nullptr;
    if (s_pRecording == this) s_pRecording = nullptr;
}

LRESULT CALLBACK CMacrosWindow::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    CMacrosWindow* self = s_pRecording;
    if (code != HC_ACTION || self == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
    const auto& k = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    // The event's own time stamp, not the time the hook runs: the gaps the user left between keys.
    const KeyInput key{k.vkCode, k.scanCode, (k.flags & LLKHF_EXTENDED) != 0, (k.flags & LLKHF_UP) != 0, k.time};
    const CMacroRecorder::Result result = self->m_recorder.Feed(key);
    // The document and the window change in the window's own turn, outside the hook.
    switch (result.outcome) {
    case CMacroRecorder::Outcome::Recorded: PostMessageW(self->m_hWnd, WM_APP_RECORDED, 0, 0); break;
    case CMacroRecorder::Outcome::Refused:
        PostMessageW(self->m_hWnd, WM_APP_REFUSED, self->m_recorder.RefusedCode(),
                     static_cast<LPARAM>((k.scanCode << 16) | (key.extended ? 1u << 24 : 0u)));
        break;
    case CMacroRecorder::Outcome::Stop: PostMessageW(self->m_hWnd, WM_APP_STOP, 0, 0); break;
    default: break;
    }
    if (!self->m_recorder.Recording() && !self->m_recorder.Holding()) self->Unhook();
    return result.swallow ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}
