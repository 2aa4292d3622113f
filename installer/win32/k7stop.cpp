// k7stop FOLDER TIMEOUT_MS: asks the programs of the installation in FOLDER to end, and
// waits for them, before the installer replaces or the uninstaller removes their files.
// The agent is asked with WM_CLOSE to its task window, the way every program that talks to
// it ends it; that also makes it post WM_CLOSE to the registered configuration program. A
// configuration program gets WM_CLOSE on each of its main windows as well. Nothing is ever
// terminated: a program that does not end within the limit is left running as it was.
//
// Exit codes: 0 none was running; 1 all of them ended; 2 one still runs after the limit or
// runs in another session (where no message of ours reaches it); 3 as 2, but the agent was
// among those that ended, so that the caller can start it again; 4 wrong arguments.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

enum ExitCode { ExitNoneRan = 0, ExitEnded = 1, ExitStillRunning = 2, ExitAgentEnded = 3, ExitUsage = 4 };

constexpr const wchar_t* kAgentName = L"K7_Setting.exe";
constexpr const wchar_t* kAgentTitle = L"OrvexK7_Setting";
// The installation's programs that can be running while it is replaced.
constexpr const wchar_t* kProgramNames[] = {kAgentName, L"K7_Config.exe", L"k7ctl.exe"};

struct Program {
    DWORD id;
    HANDLE process;
    bool agent;
};

bool SameText(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// A path in its long form, without a trailing separator, so that two spellings compare equal.
std::wstring Canonical(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    if (GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) == 0) return path;
    wchar_t longPath[MAX_PATH];
    std::wstring result = GetLongPathNameW(full, longPath, MAX_PATH) != 0 ? longPath : full;
    while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
    return result;
}

// The installation's programs running from `folder`, opened for waiting.
std::vector<Program> FindPrograms(const std::wstring& folder) {
    std::vector<Program> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        bool known = false;
        for (const wchar_t* name : kProgramNames) known = known || SameText(entry.szExeFile, name);
        if (!known) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        wchar_t image[MAX_PATH];
        DWORD length = MAX_PATH;
        std::wstring image_folder;
        if (QueryFullProcessImageNameW(process, 0, image, &length)) {
            image_folder.assign(image, length);
            image_folder.erase(image_folder.find_last_of(L"\\/") + 1);
        }
        if (!image_folder.empty() && SameText(Canonical(image_folder), folder.c_str()))
            found.push_back({entry.th32ProcessID, process, SameText(entry.szExeFile, kAgentName)});
        else
            CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

// The agent's task window by its title; a configuration program's main windows (visible,
// unowned), which is where a program takes WM_CLOSE as a request to end.
BOOL CALLBACK PostClose(HWND hwnd, LPARAM lParam) {
    const Program* program = reinterpret_cast<const Program*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != program->id) return TRUE;
    bool ask;
    if (program->agent) {
        wchar_t title[32] = {};
        GetWindowTextW(hwnd, title, 32);
        ask = wcscmp(title, kAgentTitle) == 0;
    } else {
        ask = IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr;
    }
    if (ask) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return ExitUsage;
    const std::wstring folder = Canonical(argv[1]);
    const DWORD timeoutMs = wcstoul(argv[2], nullptr, 10);
    std::vector<Program> programs = FindPrograms(folder);
    if (programs.empty()) return ExitNoneRan;

    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    bool elsewhere = false;
    for (const Program& p : programs) {
        DWORD theirs = 0;
        // Window messages do not cross sessions: another user's program cannot be asked, so
        // nobody is asked, and the installation stays as it is.
        elsewhere = elsewhere || (ProcessIdToSessionId(p.id, &theirs) && theirs != session);
    }
    if (!elsewhere)
        for (const Program& p : programs) EnumWindows(PostClose, reinterpret_cast<LPARAM>(&p));

    bool allEnded = !elsewhere;
    bool agentEnded = false;
    const ULONGLONG deadline = elsewhere ? 0 : GetTickCount64() + timeoutMs;
    for (const Program& p : programs) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const bool ended = WaitForSingleObject(p.process, left) == WAIT_OBJECT_0;
        allEnded = allEnded && ended;
        agentEnded = agentEnded || (ended && p.agent);
        CloseHandle(p.process);
    }
    if (allEnded) return ExitEnded;
    return agentEnded ? ExitAgentEnded : ExitStillRunning;
}
