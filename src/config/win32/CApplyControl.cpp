#include "config/win32/CApplyControl.h"

#include <commctrl.h>

#include <vector>

#include "app/Messages.h"
#include "app/ModulePath.h"
#include "config/ApplyResult.h"
#include "config/StoredKeys.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/ProgramPath.h"
#include "xml/LanguageStrings.h"

namespace {

// Until the agent's first progress: it posts 25 as soon as it takes the request, even one that
// reached it while it was starting. After 25 there is no limit: the agent's warning dialog may
// hold the apply as long as the user takes.
constexpr UINT kFirstProgressMs = 15000;
// For the window of an agent this program started.
constexpr UINT kAgentStartMs = 20000;
// For the agent's answer to a registration; only an agent that hangs takes it.
constexpr UINT kRegisterMs = 5000;
// How often a running apply looks for the agent's window: an agent that ends abnormally
// posts nothing, and the system destroys its windows without telling anyone.
constexpr UINT kAgentWatchMs = 1000;
constexpr UINT_PTR kFirstProgressTimer = 2200;
constexpr UINT_PTR kAgentStartTimer = 2201;
constexpr UINT_PTR kAgentWatchTimer = 2202;

// One main window per process, so one hook: the system's callback carries no context.
CApplyControl* g_pHooked = nullptr;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

HWND FindAgent() { return FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle)); }

}  // namespace

CApplyControl::CApplyControl(CConfigDocument& document, const ConfigTexts& texts, IRegistry& registry,
                             CKeyboardView& view)
    : m_document(document), m_texts(texts), m_registry(registry), m_view(view) {}

CApplyControl::~CApplyControl() {
    if (m_hHook != nullptr) UnhookWinEvent(m_hHook);
    if (g_pHooked == this) g_pHooked = nullptr;
}

bool CApplyControl::Create(HWND parent, HWND status, HWND after) {
    m_hParent = parent;
    m_hStatus = status;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    m_hButton =
        CreateWindowExW(0, L"BUTTON", Wide(m_texts.apply), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0,
                        0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_APPLY)), instance, nullptr);
    // A progress bar has no text of its own; its window text is its accessible name.
    m_hProgress =
        CreateWindowExW(0, PROGRESS_CLASSW, Wide(m_texts.applyProgress), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_APPLY_PROGRESS)), instance, nullptr);
    if (m_hButton == nullptr || m_hProgress == nullptr) return false;
    SetWindowPos(m_hButton, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(m_hProgress, PBM_SETRANGE32, 0, 100);
    // An agent that starts later, or again after it ended, makes a new window: told about ours
    // when it appears, so that its WM_CLOSE on a removal reaches this program. The system calls
    // back only when a window is made, so nothing runs while the desktop is idle.
    g_pHooked = this;
    m_hHook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWinEvent, 0, 0,
                              WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (HWND agent = FindAgent(); agent != nullptr) Register(agent);
    return true;
}

void CALLBACK CApplyControl::OnWinEvent(HWINEVENTHOOK, DWORD, HWND hWnd, LONG idObject, LONG idChild, DWORD, DWORD) {
    if (g_pHooked == nullptr || hWnd == nullptr || idObject != OBJID_WINDOW || idChild != CHILDID_SELF) return;
    if (GetAncestor(hWnd, GA_PARENT) != GetDesktopWindow()) return;
    // The title is the agent's name for its window; the call reads it without a message.
    wchar_t title[32] = {};
    GetWindowTextW(hWnd, title, 32);
    if (std::u16string_view(reinterpret_cast<const char16_t*>(title)) == kTaskWindowTitle)
        g_pHooked->OnAgentWindow(hWnd);
}

void CApplyControl::OnAgentWindow(HWND agent) {
    if (m_phase == Phase::StartingAgent) {
        KillTimer(m_hParent, kAgentStartTimer);
        Begin(agent);
    } else {
        Register(agent);
    }
}

void CApplyControl::Register(HWND agent) {
    if (agent == m_hAgent) return;
    // Sent, so that it has arrived before anything this program posts after it. The agent
    // answers at once, also while it is still starting or its warning dialog is open.
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(agent, WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(m_hParent), 0, SMTO_ABORTIFHUNG,
                            kRegisterMs, &result) != 0)
        m_hAgent = agent;
}

void CApplyControl::Start() {
    if (Applying()) {
        Show(m_texts.applyBusy);
        return;
    }
    if (const std::u16string refusal = ApplyRefusal(m_document.Current(), m_document.Layout(), m_texts);
        !refusal.empty()) {
        Show(refusal);
        return;
    }
    HWND agent = FindAgent();
    if (agent != nullptr) {
        Begin(agent);
        return;
    }
    if (MessageBoxW(m_hParent, Wide(m_texts.startAgentAsk), Wide(str_title), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        Show(m_texts.noAgent);
        return;
    }
    StartAgent();
}

void CApplyControl::StartAgent() {
    const std::u16string path = SiblingFilePath(ProgramPath(), u"K7_Setting", u"exe");
    std::wstring commandLine = L"\"" + std::wstring(path.begin(), path.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(Wide(path), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Show(m_texts.agentNotStarted);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    m_phase = Phase::StartingAgent;
    SendMessageW(m_hProgress, PBM_SETPOS, 0, 0);
    Show(m_texts.applying);
    SetTimer(m_hParent, kAgentStartTimer, kAgentStartMs, nullptr);
    // The window may have come before the hook was told about it.
    if (HWND agent = FindAgent(); agent != nullptr) OnAgentWindow(agent);
}

void CApplyControl::Begin(HWND agent) {
    m_phase = Phase::Idle;
    m_bClosedDuringApply = false;
    m_written = m_document.Current();
    const std::optional<KeyboardState> after = StoreForApply(m_registry, m_written, m_document.Layout());
    if (!after) {
        Show(m_texts.applyNotStored);
        return;
    }
    m_after = *after;
    m_view.SetMarked({}, {});
    // Always again: k7ctl, or another program, may have registered a window of its own since.
    m_hAgent = nullptr;
    Register(agent);
    m_monitor.emplace(m_written, m_document.Layout());
    SendMessageW(m_hProgress, PBM_SETPOS, 0, 0);
    // Posted, never sent: the agent may hold the apply behind its modal warning, and a sent
    // message would hold this window with it.
    if (!PostMessageW(agent, WM_APPLY_SETTINGS, 0, 0)) {
        Show(m_texts.noAgent);
        return;
    }
    m_phase = Phase::Waiting;
    m_hApplying = agent;
    Show(m_texts.applying);
    SetTimer(m_hParent, kFirstProgressTimer, kFirstProgressMs, nullptr);
    SetTimer(m_hParent, kAgentWatchTimer, kAgentWatchMs, nullptr);
}

void CApplyControl::End() {
    Stop();
    if (m_monitor->Result() == ExitOk) m_document.SetApplied(m_after);
    std::vector<int> records;
    for (const ResetKey& reset : m_monitor->Resets())
        if (reset.record >= 0) records.push_back(reset.record);
    m_view.SetMarked(records, m_texts.keyReset);
    Show(ApplyResultText(*m_monitor, m_document.Layout(), m_texts));
}

void CApplyControl::Stop() {
    KillTimer(m_hParent, kFirstProgressTimer);
    KillTimer(m_hParent, kAgentStartTimer);
    KillTimer(m_hParent, kAgentWatchTimer);
    m_phase = Phase::Idle;
}

void CApplyControl::Show(const std::u16string& text) const { SetWindowTextW(m_hStatus, Wide(text)); }

bool CApplyControl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_APPLY_PROGRESS:
        // Progress of an apply this window did not ask for (none is running) says nothing.
        if (m_phase != Phase::Waiting && m_phase != Phase::Running) return true;
        m_monitor->OnProgress(lParam);
        if (m_monitor->Percent() > 0) {
            KillTimer(m_hParent, kFirstProgressTimer);
            m_phase = Phase::Running;
        }
        SendMessageW(m_hProgress, PBM_SETPOS, static_cast<WPARAM>(m_monitor->Percent()), 0);
        if (m_monitor->Finished()) End();
        return true;
    case WM_ASSIGNMENT_RESET:
        if (m_phase == Phase::Waiting || m_phase == Phase::Running)
            m_monitor->OnReset(static_cast<std::uintptr_t>(lParam));
        return true;
    case WM_TIMER:
        if (wParam == kFirstProgressTimer && m_phase == Phase::Waiting) {
            m_monitor->OnTimeout(kFirstProgressMs / 1000);
            End();
            return true;
        }
        if (wParam == kAgentStartTimer && m_phase == Phase::StartingAgent) {
            Stop();
            Show(m_texts.agentNoWindow);
            return true;
        }
        if (wParam == kAgentWatchTimer && (m_phase == Phase::Waiting || m_phase == Phase::Running) &&
            !IsWindow(m_hApplying)) {
            m_monitor->OnAgentGone();
            End();
            return true;
        }
        return wParam == kFirstProgressTimer || wParam == kAgentStartTimer || wParam == kAgentWatchTimer;
    case WM_CLOSE:
        // The window closes all the same; an apply in flight ends first, with its reason kept.
        if (!Applying()) return false;
        m_bClosedDuringApply = true;
        if (m_phase == Phase::StartingAgent) {
            Stop();
        } else {
            m_monitor->OnClose();
            End();
        }
        return false;
    case WM_DESTROY: Stop(); return false;
    }
    return false;
}
