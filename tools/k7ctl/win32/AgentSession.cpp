#include "AgentSession.h"

#include "app/Messages.h"

namespace {

bool StdoutIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace

bool AgentRunning() { return configclient::FindAgentWindow(0) != nullptr; }

CAgentSession::~CAgentSession() {
    // Unregister, so that the agent does not keep posting to a window that is gone.
    if (m_bRegistered) m_client.Register(nullptr, m_timeoutMs);
}

int CAgentSession::Connect() {
    if (!m_client.Connect(0)) {
        std::fprintf(stderr, "k7ctl: the agent is not running (no window titled \"OrvexK7_Setting\")\n");
        return ExitNoAgent;
    }
    if (!m_client.Register(m_timeoutMs)) {
        std::fprintf(stderr, "k7ctl: the agent did not answer within %lu s\n", m_timeoutMs / 1000);
        return ExitTimeout;
    }
    m_bRegistered = true;
    return ExitOk;
}

void CAgentSession::Show(CApplyMonitor& monitor, const std::string& line, bool terminal) {
    if (line.empty()) return;
    if (terminal && line.starts_with("progress ")) {
        std::printf("\rapplying %s", ProgressBar(monitor.Percent()).c_str());
        if (monitor.Percent() == 100) std::printf("\n");
    } else if (line.starts_with("progress ")) {
        std::printf("%s\n", line.c_str());
    } else {
        if (terminal && monitor.Percent() > 0 && monitor.Percent() < 100) std::printf("\n");
        std::fprintf(stderr, "k7ctl: %s\n", line.c_str());
    }
    std::fflush(stdout);
}

int CAgentSession::Apply(CApplyMonitor& monitor) {
    const bool terminal = StdoutIsTerminal();
    m_client.ClearReceived();
    if (!PostMessageW(m_client.Agent(), WM_APPLY_SETTINGS, 0, 0)) {
        std::fprintf(stderr, "k7ctl: the agent's window is gone\n");
        return ExitNoAgent;
    }
    ULONGLONG end = GetTickCount64() + m_timeoutMs;
    std::size_t seen = 0;
    while (!monitor.Finished()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end || !m_client.WaitForReceived(seen + 1, static_cast<DWORD>(end - now))) {
            // Once the agent has begun, its warning dialog may hold the apply as long as its user
            // takes: a silence is waited out while the agent's window still answers.
            if (!IsWindow(m_client.Agent())) {
                Show(monitor, monitor.OnAgentGone(), terminal);
                break;
            }
            if (monitor.Percent() > 0 && m_client.Send(WM_NULL, 0, 0, m_timeoutMs)) {
                end = GetTickCount64() + m_timeoutMs;
                continue;
            }
            Show(monitor, monitor.OnTimeout(m_timeoutMs / 1000), terminal);
            break;
        }
        for (; seen < m_client.ReceivedMessages().size() && !monitor.Finished(); ++seen) {
            const configclient::Received& r = m_client.ReceivedMessages()[seen];
            if (r.msg == WM_APPLY_PROGRESS)
                Show(monitor, monitor.OnProgress(r.lParam), terminal);
            else if (r.msg == WM_ASSIGNMENT_RESET)
                Show(monitor, monitor.OnReset(static_cast<std::uintptr_t>(r.lParam)), terminal);
            else if (r.msg == WM_CLOSE)
                Show(monitor, monitor.OnClose(), terminal);
        }
    }
    return monitor.Result();
}

bool CAgentSession::Quit() {
    m_client.ClearReceived();
    if (!PostMessageW(m_client.Agent(), WM_CLOSE, 0, 0)) return false;
    const ULONGLONG end = GetTickCount64() + m_timeoutMs;
    for (std::size_t seen = 0;; ++seen) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end || !m_client.WaitForReceived(seen + 1, static_cast<DWORD>(end - now))) return false;
        if (m_client.ReceivedMessages()[seen].msg == WM_CLOSE) {
            m_bRegistered = false;  // the agent and its registration are gone
            return true;
        }
    }
}
