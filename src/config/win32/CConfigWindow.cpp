#include "config/win32/CConfigWindow.h"

#include <algorithm>

#include "app/Messages.h"
#include "config/AssignCheck.h"
#include "config/KeyDetails.h"
#include "config/KeyboardLayout.h"
#include "config/StoredKeys.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/Controls.h"
#include "config/win32/MainMenu.h"
#include "config/win32/WindowClass.h"
#include "xml/LanguageStrings.h"

namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kMargin = 10;      // around the picture, in 96-dpi pixels
constexpr int kDetailLines = 3;  // key, code, stored assignment
constexpr int kRowHeight = 26;   // the row of rate and factory controls, in 96-dpi pixels
constexpr int kStatusHeight = 20;
constexpr int kMeterHeight = 20;
// How long the agent may take for a report-rate or factory request. It answers sent messages
// even while its warning dialog is up, so only an agent that hangs runs into this.
constexpr UINT kAgentTimeoutMs = 5000;

std::u16string Utf16Text(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

CConfigWindow::CConfigWindow(CConfigDocument& document, const ConfigTexts& texts, const IKeyFunctionText& functions,
                             IRegistry& registry)
    : m_document(document),
      m_layout(document.Layout()),
      m_texts(texts),
      m_functions(functions),
      m_registry(registry),
      m_view(document, functions),
      m_files(document, texts, registry),
      m_macros(document, texts),
      m_apply(document, texts, registry, m_view),
      m_assign(document, texts, functions),
      m_nDrawn(static_cast<int>(DrawnKeys(document.Layout()).size())) {}

CConfigWindow::~CConfigWindow() {
    if (m_listener) m_document.RemoveListener(*m_listener);
    if (m_hFont != nullptr) DeleteObject(m_hFont);
}

bool CConfigWindow::RegisterClasses(HINSTANCE instance) {
    return RegisterWindowClass(instance, kConfigMainClass, WndProc, 0, IDC_ARROW,
                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadIconW(instance, MAKEINTRESOURCEW(1))) &&
           CKeyboardView::RegisterClasses(instance) && CMacrosWindow::RegisterClasses(instance) &&
           CAssignDialog::RegisterClasses(instance);
}

HWND CConfigWindow::Create(HINSTANCE instance, const wchar_t* title, int show) {
    // The window opens on the primary monitor, whose DPI the system DPI is for a per-monitor
    // aware process; WM_DPICHANGED corrects it when it lands elsewhere.
    m_nDpi = GetDpiForSystem();
    ClientSize client = NaturalSize(PictureBounds(m_layout), kMargin, static_cast<int>(m_nDpi));
    RECT frame{0, 0, client.cx, client.cy + ControlsHeight()};
    AdjustWindowRectExForDpi(&frame, kStyle, TRUE, 0, m_nDpi);
    // Never larger than the screen's work area: the keys fit any size, a window off the screen
    // does not.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int width = std::min(frame.right - frame.left, monitor.rcWork.right - monitor.rcWork.left);
    const int height = std::min(frame.bottom - frame.top, monitor.rcWork.bottom - monitor.rcWork.top);
    m_hWnd = CreateWindowExW(0, kConfigMainClass, title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr,
                             CreateMainMenu(m_texts), instance, this);
    if (m_hWnd == nullptr) return nullptr;
    ShowWindow(m_hWnd, m_files.PlaceWindow(show));
    const std::u16string notices = m_files.Start();
    if (!notices.empty()) {
        // After what the start said already (a layout with fewer keys).
        const std::u16string before = IsWindowVisible(m_hDetails) ? Utf16Text(m_hDetails) + u"\r\n" : u"";
        SetWindowTextW(m_hDetails, Wide(before + notices));
        ShowWindow(m_hDetails, SW_SHOWNA);
    }
    return m_hWnd;
}

LRESULT CALLBACK CConfigWindow::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CConfigWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CConfigWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hWnd, msg, wParam, lParam);
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT CConfigWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_apply.OnMessage(msg, wParam, lParam)) return 0;
    switch (msg) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE: Layout(); return 0;
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_ACTIVATE:
        // Back in the window, the focus returns where it was, at first to the keyboard.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            m_hFocus = focus != nullptr && IsChild(m_hWnd, focus) ? focus : nullptr;
        } else {
            SetFocus(m_hFocus != nullptr && IsWindow(m_hFocus) ? m_hFocus : m_view.Window());
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_KEYBOARD && HIWORD(wParam) == KVN_OPEN) Assign();
        if (LOWORD(wParam) == IDC_KEYBOARD && HIWORD(wParam) == KVN_SELECTED && IsWindowVisible(m_hDetails))
            ShowDetails();
        // Buttons notify BN_CLICKED (0), menu items 0 and accelerators 1: the same command.
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 1) OnCommand(LOWORD(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // The user's close (title bar, Alt+F4, taskbar) asks about unsaved edits; a bare
        // WM_CLOSE is the agent's (the keyboard was removed, or it ends) and keeps them.
        if ((wParam & 0xFFF0) != SC_CLOSE) break;
        if (m_files.QuerySave()) DestroyWindow(m_hWnd);
        return 0;
    case WM_CLOSE:
        m_files.KeepForNextStart(m_apply.ClosedDuringApply());
        DestroyWindow(m_hWnd);
        return 0;
    case WM_DESTROY:
        m_files.SavePlacement();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

bool CConfigWindow::OnCreate() {
    m_nDpi = GetDpiForWindow(m_hWnd);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hWnd, GWLP_HINSTANCE));
    m_files.Attach(m_hWnd, GetSubMenu(GetMenu(m_hWnd), 0));
    if (m_view.Create(m_hWnd, IDC_KEYBOARD, Wide(m_texts.keyboard)) == nullptr) return false;
    m_view.SetDpi(m_nDpi);
    m_hDetails = CreateWindowExW(0, L"STATIC", Wide(m_texts.details), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                 m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DETAILS)), instance, nullptr);
    const auto control = [&](const wchar_t* cls, const std::u16string& text, DWORD style, int id) {
        return CreateWindowExW(0, cls, Wide(text), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    m_hRateLabel = control(L"STATIC", m_texts.rate, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, IDC_RATE_LABEL);
    m_hRate = control(L"COMBOBOX", m_texts.rate, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, IDC_RATE);
    m_hSetRate = control(L"BUTTON", m_texts.setRate, BS_PUSHBUTTON | WS_TABSTOP, IDC_SET_RATE);
    m_hRestore = control(L"BUTTON", m_texts.restore, BS_PUSHBUTTON | WS_TABSTOP, IDC_RESTORE);
    m_hStatus = control(L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, IDC_STATUS);
    m_hMeter = control(L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, IDC_METER);
    if (m_hDetails == nullptr || m_hRateLabel == nullptr || m_hRate == nullptr || m_hSetRate == nullptr ||
        m_hRestore == nullptr || m_hStatus == nullptr || m_hMeter == nullptr ||
        !m_apply.Create(m_hWnd, m_hStatus, m_hSetRate))
        return false;
    const std::int32_t storedRate = StoredReportRate(m_registry);
    for (int i = 0; i < 3; ++i) {
        SendMessageW(m_hRate, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(m_texts.rateCodes[i])));
        if (kReportRateCodes[i] == storedRate) SendMessageW(m_hRate, CB_SETCURSEL, i, 0);
    }
    UpdateFont();
    m_listener = m_document.OnChange([this] { OnDocumentChanged(); });
    OnDocumentChanged();
    // Stored key settings that could not be read and a layout file with fewer keys are said at
    // once; the keys it has are shown.
    std::u16string problems = StoredProblem(ReadStoredKeys(m_registry), m_texts);
    if (m_nDrawn < BUTTON_COUNT) {
        const std::string count = std::to_string(m_nDrawn) + "/" + std::to_string(BUTTON_COUNT);
        problems += (problems.empty() ? u"" : u"\r\n") + m_texts.fewerKeys + u" (" +
                    std::u16string(count.begin(), count.end()) + u")";
    }
    if (!problems.empty()) {
        SetWindowTextW(m_hDetails, Wide(problems));
        ShowWindow(m_hDetails, SW_SHOWNA);
    }
    return true;
}

int CConfigWindow::DetailsHeight() const {
    // Lines of the details font plus a margin above and below.
    const int line = MulDiv(kUiFontPoints, static_cast<int>(m_nDpi), 72) * 4 / 3;
    return kDetailLines * line + 2 * MulDiv(kMargin, static_cast<int>(m_nDpi), 96);
}

void CConfigWindow::UpdateFont() {
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    m_hFont = CreateUiFont(m_nDpi);
    for (HWND control :
         {m_hDetails, m_hRateLabel, m_hRate, m_hSetRate, m_hRestore, m_hStatus, m_hMeter, m_apply.Button()})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
}

int CConfigWindow::Scaled(int pixels96) const { return MulDiv(pixels96, static_cast<int>(m_nDpi), 96); }

int CConfigWindow::ControlsHeight() const {
    return Scaled(kRowHeight) + DetailsHeight() + Scaled(kMeterHeight) + Scaled(kStatusHeight);
}

void CConfigWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    m_nDpi = dpi;
    UpdateFont();
    m_view.SetDpi(dpi);
    // The keys follow in WM_SIZE.
    MoveToSuggested(m_hWnd, reinterpret_cast<LPARAM>(&suggested));
    Layout();
}

void CConfigWindow::Layout() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int width = static_cast<int>(client.right);
    const int margin = Scaled(kMargin);
    const int keyboardHeight = std::max(0, static_cast<int>(client.bottom) - ControlsHeight());
    MoveWindow(m_view.Window(), 0, 0, width, keyboardHeight, TRUE);
    // The row: label, codes and their button on the left, the factory restore on the right.
    const int row = keyboardHeight, rowHeight = Scaled(kRowHeight) - Scaled(4);
    MoveWindow(m_hRateLabel, margin, row, Scaled(80), rowHeight, TRUE);
    // A drop-down list's height includes its open list.
    MoveWindow(m_hRate, margin + Scaled(84), row, Scaled(170), rowHeight * 5, TRUE);
    MoveWindow(m_hSetRate, margin + Scaled(258), row, Scaled(80), rowHeight, TRUE);
    MoveWindow(m_hRestore, std::max(0, width - margin - Scaled(160)), row, Scaled(160), rowHeight, TRUE);
    // Apply before the factory restore, its progress between it and the rate.
    const int apply = std::max(0, width - margin - Scaled(248));
    MoveWindow(m_apply.Button(), apply, row, Scaled(80), rowHeight, TRUE);
    const int bar = margin + Scaled(346);
    MoveWindow(m_apply.Progress(), bar, row + Scaled(4), std::max(0, apply - Scaled(8) - bar), rowHeight - Scaled(8),
               TRUE);
    const int details = row + Scaled(kRowHeight);
    MoveWindow(m_hDetails, margin, details + margin, std::max(0, width - 2 * margin),
               std::max(0, DetailsHeight() - 2 * margin), TRUE);
    MoveWindow(m_hMeter, margin, details + DetailsHeight(), std::max(0, width - 2 * margin), Scaled(kMeterHeight),
               TRUE);
    MoveWindow(m_hStatus, margin, details + DetailsHeight() + Scaled(kMeterHeight), std::max(0, width - 2 * margin),
               Scaled(kStatusHeight), TRUE);
}

void CConfigWindow::OnCommand(int id) {
    // The agent takes one request after another: these wait until the apply has its result.
    if (m_apply.Applying() && (id == IDC_SET_RATE || id == IDM_SET_RATE || id == IDC_RESTORE || id == IDM_RESTORE)) {
        SetWindowTextW(m_hStatus, Wide(m_texts.applyBusy));
        return;
    }
    switch (id) {
    case IDC_APPLY:
    case IDM_APPLY: m_apply.Start(); break;
    case IDC_SET_RATE:
    case IDM_SET_RATE: OnSetRate(); break;
    case IDC_RESTORE:
    case IDM_RESTORE: OnRestore(); break;
    case IDM_EXIT:
        if (m_files.QuerySave()) DestroyWindow(m_hWnd);
        break;
    case IDM_MACROS: m_macros.Show(m_hWnd); break;
    case IDM_ASSIGN: Assign(); break;
    default: m_files.OnCommand(id);
    }
    if (id >= IDM_LANGUAGE_FIRST && id <= IDM_LANGUAGE_LAST) OnLanguage(id - IDM_LANGUAGE_FIRST);
}

void CConfigWindow::OnLanguage(int index) {
    m_language = ChooseLanguage(index);
    if (!LanguageReplaced(m_language.outcome)) {
        SetStatus(LanguageOutcomeText(m_texts, m_language.outcome) + u" (" + m_language.where + u")");
        return;
    }
    // Its texts are fixed at creation: the program re-makes the window in the new language.
    m_bLanguageChosen = true;
    m_placement.length = sizeof m_placement;
    GetWindowPlacement(m_hWnd, &m_placement);
    DestroyWindow(m_hWnd);
}

void CConfigWindow::SetStatus(const std::u16string& text) { SetWindowTextW(m_hStatus, Wide(text)); }

void CConfigWindow::OnSetRate() {
    const LRESULT choice = SendMessageW(m_hRate, CB_GETCURSEL, 0, 0);
    if (choice < 0 || choice >= 3) return;
    AskAgent(WM_SET_REPORT_RATE, static_cast<WPARAM>(kReportRateCodes[choice]),
             m_texts.rateAsked + u": " + m_texts.rateCodes[choice]);
}

void CConfigWindow::OnRestore() {
    // The restore overwrites the keyboard's whole table: only after a yes, and No is the default.
    if (MessageBoxW(m_hWnd, Wide(m_texts.restoreAsk), Wide(str_title), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
        IDYES)
        return;
    AskAgent(WM_RESTORE_FACTORY, 0, m_texts.restoreAsked);
}

void CConfigWindow::AskAgent(UINT msg, WPARAM wParam, const std::u16string& asked) {
    HWND agent = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
    DWORD_PTR result = 0;
    const std::u16string& status =
        agent == nullptr ? m_texts.noAgent
        : SendMessageTimeoutW(agent, msg, wParam, 0, SMTO_ABORTIFHUNG, kAgentTimeoutMs, &result) != 0
            ? asked
            : m_texts.noAnswer;
    SetWindowTextW(m_hStatus, Wide(status));
}

void CConfigWindow::ShowDetails() {
    const int record = m_view.Chosen();
    if (record < 0) return;
    SetWindowTextW(m_hDetails, Wide(KeyDetailsText(m_layout[record], m_document.Current(),
                                                   static_cast<std::size_t>(record), m_texts, m_functions)));
    ShowWindow(m_hDetails, SW_SHOWNA);
}

void CConfigWindow::Assign() {
    const int record = m_view.Chosen();
    if (record < 0) return;
    ShowDetails();
    m_assign.Run(m_hWnd, static_cast<std::size_t>(record));
}

void CConfigWindow::OnDocumentChanged() {
    m_view.Refresh();
    if (IsWindowVisible(m_hDetails)) ShowDetails();
    SetWindowTextW(m_hMeter,
                   Wide(MeterText(MeasureSlots(m_document.Current(), m_layout, m_document.Applied()), m_texts)));
}
