// One agent process per test: started from the test program's folder, found by its
// window, and killed when the test ends without having ended it.
#pragma once

#include <windows.h>

#include <string>

// A file beside the running test program.
std::wstring BesideTestProgram(const wchar_t* name);

// The top-level window titled `title` (any title when null) and of class `cls` (unless null) of
// exactly this process (not a leftover's); null if none.
HWND FindWindowOfProcess(DWORD process, const wchar_t* title, const wchar_t* cls = nullptr);

class CAgentProcess {
public:
    CAgentProcess() = default;
    // An agent started on the desktop `desktop` rather than on the test program's own.
    explicit CAgentProcess(const wchar_t* desktop) : m_strDesktop(desktop) {}
    ~CAgentProcess();
    CAgentProcess(const CAgentProcess&) = delete;
    CAgentProcess& operator=(const CAgentProcess&) = delete;

    // Starts K7_Setting.exe and, with `waitForWindow`, waits for its task window and
    // for its message loop to run.
    bool Start(bool waitForWindow = true, DWORD timeoutMs = 10000);
    // The same with the agent at `exe`, e.g. a copy in a folder of the test's own.
    bool StartAt(const std::wstring& exe, bool waitForWindow = true, DWORD timeoutMs = 10000);
    // True when the process ended within the timeout; its exit code in *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    // For a failure's message: whether the process runs, with or without its window, or how it
    // ended (an exception code says it crashed).
    std::string State() const;

    DWORD Id() const { return m_info.dwProcessId; }
    HWND Window() const { return m_hWindow; }
    HANDLE Process() const { return m_info.hProcess; }

private:
    PROCESS_INFORMATION m_info{};
    HWND m_hWindow = nullptr;
    DWORD m_dwStartError = 0;
    std::wstring m_strDesktop;
};
