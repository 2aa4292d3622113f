// k7ctl's side of the agent's message protocol, over the protocol client: finds the agent,
// registers a window, sends the requests and follows an apply to its end.
#pragma once

#include "ApplyMonitor.h"
#include "ConfigClient.h"

#include <cstdio>

class CAgentSession {
public:
    explicit CAgentSession(DWORD timeoutMs) : m_timeoutMs(timeoutMs) {}
    ~CAgentSession();

    // Finds the agent and registers k7ctl's window; prints why not and returns the exit code.
    int Connect();

    // Posts WM_APPLY_SETTINGS and shows what comes back until progress 100, WM_CLOSE, the end of
    // the agent's window, or a timeout: before the first progress, or an agent that no longer
    // answers at all; returns the exit code.
    int Apply(CApplyMonitor& monitor);

    bool SetReportRate(int rate) { return m_client.SetReportRate(static_cast<WPARAM>(rate), m_timeoutMs); }
    bool RestoreFactory() { return m_client.RestoreFactory(m_timeoutMs); }

    // Ends the agent by posting WM_CLOSE to its window; true when the
    // agent's own WM_CLOSE to our window came back, its sign that it is closing.
    bool Quit();

private:
    void Show(CApplyMonitor& monitor, const std::string& line, bool terminal);

    configclient::CConfigClient m_client;
    DWORD m_timeoutMs;
    bool m_bRegistered = false;
};

// Whether some window has the agent's title.
bool AgentRunning();
