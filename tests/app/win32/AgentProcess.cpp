#include "AgentProcess.h"

#include "app/Messages.h"
#include "k7testbed/StartProcess.h"

#include <tlhelp32.h>

namespace {

struct WindowSearch {
    DWORD process;
    const wchar_t* title;
    const wchar_t* cls;  // null: any class
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD process = 0;
    wchar_t title[64] = {}, cls[64] = {};
    GetWindowThreadProcessId(hwnd, &process);
    GetWindowTextW(hwnd, title, 64);
    GetClassNameW(hwnd, cls, 64);
    if (process == search->process && (search->title == nullptr || wcscmp(title, search->title) == 0) &&
        (search->cls == nullptr || wcscmp(cls, search->cls) == 0)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindWindowOfProcess(DWORD process, const wchar_t* title, const wchar_t* cls) {
    WindowSearch search{process, title, cls, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring BesideTestProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length);
    result.erase(result.find_last_of(L"\\/") + 1);
    return result + name;
}

CAgentProcess::~CAgentProcess() {
    if (m_info.hProcess == nullptr) return;
    if (Running()) {
        TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 10000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool CAgentProcess::Start(bool waitForWindow, DWORD timeoutMs) {
    return StartAt(BesideTestProgram(L"K7_Setting.exe"), waitForWindow, timeoutMs);
}

bool CAgentProcess::StartAt(const std::wstring& exe, bool waitForWindow, DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!m_strDesktop.empty()) startup.lpDesktop = m_strDesktop.data();
    if (!k7testbed::StartProcess(exe.c_str(), commandLine.data(), FALSE, 0, &startup, &m_info)) {
        m_dwStartError = GetLastError();
        return false;
    }
    if (!waitForWindow) return true;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        m_hWindow = FindWindowOfProcess(m_info.dwProcessId, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
        if (m_hWindow != nullptr) {
            // The window shows up before its creation sequence has ended; wait for the loop.
            return WaitForInputIdle(m_info.hProcess, timeoutMs) == 0;
        }
        if (!Running()) return false;
        Sleep(20);
    } while (GetTickCount64() < end);
    return false;
}

bool CAgentProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

bool CAgentProcess::Running() const {
    return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::string CAgentProcess::State() const {
    if (m_info.hProcess == nullptr) return "not started: error " + std::to_string(m_dwStartError);
    if (Running()) return m_hWindow != nullptr ? "running" : "running without its task window";
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    char text[40];
    wsprintfA(text, "ended with exit code 0x%lX", code);
    std::string state = text;
    // An agent ends at once when another runs in the session: name any, on any desktop.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, L"K7_Setting.exe") == 0 && entry.th32ProcessID != m_info.dwProcessId)
            state += "; another agent runs as process " + std::to_string(entry.th32ProcessID);
    CloseHandle(snapshot);
    return state;
}
