#include "ConfigClient.h"

#include "app/Messages.h"

#include <cstdio>

namespace configclient {

namespace {

const wchar_t kClientClass[] = L"K7ConfigClient";
const wchar_t kProbeClass[] = L"K7ProbeWindow";

bool RegisterOnce(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateHidden(const wchar_t* className, const wchar_t* title, void* self) {
    return CreateWindowExW(0, className, title, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr),
                           self);
}

template <class T> T* Bind(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Dispatches this thread's messages until `done` holds or the timeout passes.
template <class Done> bool PumpUntil(DWORD timeoutMs, Done done) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

}  // namespace

std::string Describe(const Received& r) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "to=%p msg=%#x wParam=%#llx lParam=%#llx", static_cast<void*>(r.to), r.msg,
                  static_cast<unsigned long long>(r.wParam), static_cast<unsigned long long>(r.lParam));
    return buf;
}

std::string Describe(const std::vector<Received>& sequence) {
    std::string out;
    for (std::size_t i = 0; i < sequence.size(); ++i)
        out += "  " + std::to_string(i) + ": " + Describe(sequence[i]) + "\n";
    return out.empty() ? "  (nothing)\n" : out;
}

HWND FindAgentWindow(DWORD timeoutMs) {
    HWND agent = nullptr;
    PumpUntil(timeoutMs, [&] {
        agent = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
        return agent != nullptr;
    });
    return agent;
}

CConfigClient::CConfigClient() = default;

CConfigClient::~CConfigClient() {
    if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
}

bool CConfigClient::Connect(DWORD timeoutMs) {
    if (m_hWnd == nullptr) {
        if (!RegisterOnce(kClientClass, WindowProc)) return false;
        m_hWnd = CreateHidden(kClientClass, L"K7 config client", this);
        if (m_hWnd == nullptr) return false;
    }
    m_hAgent = FindAgentWindow(timeoutMs);
    return m_hAgent != nullptr;
}

DWORD CConfigClient::AgentProcessId() const {
    DWORD process = 0;
    if (m_hAgent != nullptr) GetWindowThreadProcessId(m_hAgent, &process);
    return process;
}

bool CConfigClient::Send(UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, LRESULT* result) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(m_hAgent, msg, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) == 0) return false;
    if (result != nullptr) *result = static_cast<LRESULT>(answer);
    return true;
}

bool CConfigClient::Register(HWND window, DWORD timeoutMs, LRESULT* result) {
    return Send(WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(window), 0, timeoutMs, result);
}

bool CConfigClient::Apply(DWORD timeoutMs, LRESULT* result) { return Send(WM_APPLY_SETTINGS, 0, 0, timeoutMs, result); }

bool CConfigClient::SetReportRate(WPARAM code, DWORD timeoutMs) { return Send(WM_SET_REPORT_RATE, code, 0, timeoutMs); }

bool CConfigClient::RestoreFactory(DWORD timeoutMs) { return Send(WM_RESTORE_FACTORY, 0, 0, timeoutMs); }

bool CConfigClient::WaitForReceived(std::size_t count, DWORD timeoutMs) {
    return PumpUntil(timeoutMs, [&] { return m_received.size() >= count; });
}

void CConfigClient::Pump(DWORD periodMs) {
    PumpUntil(periodMs, [] { return false; });
}

LRESULT CALLBACK CConfigClient::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CConfigClient* self = Bind<CConfigClient>(hwnd, msg, lParam);
    if (self != nullptr && (msg == WM_APPLY_PROGRESS || msg == WM_ASSIGNMENT_RESET || msg == WM_CLOSE)) {
        self->Record({hwnd, msg, wParam, lParam});
        return 0;  // a recorded WM_CLOSE leaves the window open for what follows
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

CProbeWindow::CProbeWindow(const wchar_t* title, CConfigClient& recorder) : m_recorder(recorder) {
    if (RegisterOnce(kProbeClass, WindowProc)) m_hWnd = CreateHidden(kProbeClass, title, this);
}

CProbeWindow::~CProbeWindow() {
    if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CProbeWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CProbeWindow* self = Bind<CProbeWindow>(hwnd, msg, lParam);
    if (self != nullptr && msg == WM_CLOSE) {
        self->m_recorder.Record({hwnd, msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace configclient
