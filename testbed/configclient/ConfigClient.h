// Plays the configuration program's side of the agent's message protocol: finds the
// agent's window by its title, registers a window of its own and sends the four
// requests, and records what the agent posts back (progress, reset, close) in order.
// Every wait has a timeout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace configclient {

// One message the agent posted to one of the client's windows.
struct Received {
    HWND to;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;

    friend bool operator==(const Received&, const Received&) = default;
};

std::string Describe(const Received& r);
std::string Describe(const std::vector<Received>& sequence);

// The agent's task window, waiting up to `timeoutMs` for it to appear; null on timeout.
HWND FindAgentWindow(DWORD timeoutMs);

class CConfigClient {
public:
    CConfigClient();
    ~CConfigClient();
    CConfigClient(const CConfigClient&) = delete;
    CConfigClient& operator=(const CConfigClient&) = delete;

    // Creates the client's own hidden top-level window and finds the agent.
    bool Connect(DWORD timeoutMs);
    HWND Agent() const { return m_hAgent; }
    HWND Window() const { return m_hWnd; }
    DWORD AgentProcessId() const;

    // The four requests; each returns the agent's result, or nothing when the agent
    // did not answer within the timeout.
    bool Register(HWND window, DWORD timeoutMs, LRESULT* result = nullptr);
    bool Register(DWORD timeoutMs) { return Register(m_hWnd, timeoutMs); }
    bool Apply(DWORD timeoutMs, LRESULT* result = nullptr);
    bool SetReportRate(WPARAM code, DWORD timeoutMs);
    bool RestoreFactory(DWORD timeoutMs);
    // Any other message to the agent, sent with a timeout.
    bool Send(UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, LRESULT* result = nullptr);

    // Dispatches this thread's messages until `count` messages were received or the
    // timeout passed; true when the count was reached.
    bool WaitForReceived(std::size_t count, DWORD timeoutMs);
    // Dispatches for the whole period (to see that nothing more arrives).
    void Pump(DWORD periodMs);
    const std::vector<Received>& ReceivedMessages() const { return m_received; }
    void ClearReceived() { m_received.clear(); }
    void Record(const Received& r) { m_received.push_back(r); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hAgent = nullptr;
    std::vector<Received> m_received;
};

// A plain hidden top-level window with the given title (e.g. a stand-in for the
// warning dialog); records each WM_CLOSE it is posted in the client's sequence
// instead of closing.
class CProbeWindow {
public:
    CProbeWindow(const wchar_t* title, CConfigClient& recorder);
    ~CProbeWindow();
    CProbeWindow(const CProbeWindow&) = delete;
    CProbeWindow& operator=(const CProbeWindow&) = delete;

    HWND Window() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    CConfigClient& m_recorder;
};

}  // namespace configclient
