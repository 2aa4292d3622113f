#include "config/win32/LanguageMenu.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/ProgramPath.h"

namespace {

// The agent answers sent messages even while its warning dialog is up; it ends within moments
// of WM_CLOSE unless it hangs.
constexpr UINT kAgentAnswerMs = 5000;
constexpr DWORD kAgentEndMs = 10000;
constexpr DWORD kAgentStartMs = 10000;

std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

HWND FindAgent() { return FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle)); }

void SendRegistration(HWND agent, HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(agent, WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(window), 0, SMTO_ABORTIFHUNG,
                        kAgentAnswerMs, &result);
}

LanguageChoice Failure(const std::u16string& folder, DWORD error) {
    const std::string code = std::to_string(error);
    return {LanguageOutcome::Failed, folder + u", error " + std::u16string(code.begin(), code.end())};
}

// Written beside language.xml and moved over it, so that an agent starting meanwhile reads the
// old file or the new one, never half of one.
LanguageChoice PutInPlace(const std::u16string& folder, const std::u16string& fileName) {
    const std::wstring source = Wide(folder + u"\\" + fileName);
    const std::wstring target = Wide(folder + u"\\" + kLanguageInPlace);
    const std::wstring fresh = target + L".new";
    if (!CopyFileW(source.c_str(), fresh.c_str(), FALSE)) {
        const DWORD error = GetLastError();
        // No new file may be made there: the folder of an installation for all users, which only
        // administrators may write.
        if (error == ERROR_ACCESS_DENIED) return {LanguageOutcome::ReadOnly, folder};
        return Failure(folder, error);
    }
    // Replacing fails for a language.xml that is read-only or held open without leave to delete.
    if (!MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        DeleteFileW(fresh.c_str());
        return Failure(folder, error);
    }
    return {LanguageOutcome::Changed, {}};
}

LanguageOutcome RestartAgent() {
    HWND agent = FindAgent();
    if (agent == nullptr) return LanguageOutcome::NoAgent;
    DWORD id = 0;
    GetWindowThreadProcessId(agent, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr) return LanguageOutcome::NotEnded;
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length)) {
        CloseHandle(process);
        return LanguageOutcome::NotEnded;
    }
    path.resize(length);

    SendRegistration(agent, nullptr);
    PostMessageW(agent, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process, kAgentEndMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    if (!ended) return LanguageOutcome::NotEnded;

    // From its own folder, as the tray and the Run value start it.
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return LanguageOutcome::NotStarted;
    // Its task window exists once its message loop waits; a registration before would find none.
    WaitForInputIdle(started.hProcess, kAgentStartMs);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return LanguageOutcome::Changed;
}

}  // namespace

HMENU CreateLanguageMenu() {
    const std::vector<LanguageFile> files = FindLanguageFiles(ProgramFolder());
    if (files.empty()) return nullptr;
    HMENU menu = CreatePopupMenu();
    const int count = std::min<int>(static_cast<int>(files.size()), IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST + 1);
    for (int i = 0; i < count; ++i) {
        // Numbered as a list of files is, so that each has an access key whatever its script.
        const std::wstring text = (i < 9 ? L"&" : L"") + std::to_wstring(i + 1) + L" " + Wide(files[i].name);
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.fType = MFT_STRING | MFT_RADIOCHECK;
        item.fState = files[i].current ? MFS_CHECKED : MFS_UNCHECKED;
        item.wID = static_cast<UINT>(IDM_LANGUAGE_FIRST + i);
        item.dwTypeData = const_cast<wchar_t*>(text.c_str());
        InsertMenuItemW(menu, static_cast<UINT>(i), TRUE, &item);
    }
    return menu;
}

LanguageChoice ChooseLanguage(int index) {
    const std::u16string folder = ProgramFolder();
    // The files as they are now: the menu was made from the same listing, by file name.
    const std::vector<LanguageFile> files = FindLanguageFiles(folder);
    if (index < 0 || index >= static_cast<int>(files.size())) return {LanguageOutcome::Failed, folder};
    LanguageChoice choice = PutInPlace(folder, files[index].fileName);
    if (choice.outcome == LanguageOutcome::Changed) choice.outcome = RestartAgent();
    return choice;
}

void RegisterWithAgent(HWND window) {
    if (HWND agent = FindAgent()) SendRegistration(agent, window);
}
