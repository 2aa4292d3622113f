// The installer as a user and an administrator run it, silently, in one Wine prefix of its
// own: a per-user install, the log-on start from its Run value, an upgrade over the running
// agent, an upgrade that meets a file in use or a program that does not end, the uninstall
// with and without /PURGE, and an install for all users. The cases run in this order and
// each starts from what the one before left.
#include "K7Version.h"
#include "k7testbed/StartProcess.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvexK7";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"OrvexK7";
constexpr const wchar_t* kSettingsKey = L"Software\\Orvex\\K7";
constexpr const wchar_t* kAgentTitle = L"OrvexK7_Setting";
constexpr DWORD kWaitMs = 60000;

// Setup and uninstaller exit codes, as documented.
constexpr DWORD kExitRunning = 3;
constexpr DWORD kExitFiles = 4;

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

std::wstring UserFolder() { return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\K7"; }
std::wstring MachineFolder() { return KnownFolder(FOLDERID_ProgramFiles) + L"\\K7"; }

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
};

// Runs a command line as CreateProcess takes it and waits for it. With `capture`, its output
// in `out`; without, it inherits nothing, for a setup whose agent outlives it would hold
// what it inherited.
RunResult RunCommand(std::wstring commandLine, bool capture = false) {
    static int run = 0;
    const fs::path outPath = fs::temp_directory_path() / ("k7-installer-test-" + std::to_string(++run) + ".txt");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    STARTUPINFOW si{};
    si.cb = sizeof si;
    HANDLE out = INVALID_HANDLE_VALUE;
    if (capture) {
        out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out;
        si.hStdError = out;
    }
    PROCESS_INFORMATION pi{};
    RunResult r;
    if (k7testbed::StartProcess(nullptr, commandLine.data(), capture, CREATE_NO_WINDOW, &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (!capture) return r;
    CloseHandle(out);
    std::ifstream f(outPath, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    r.out = s.str();
    std::erase(r.out, '\r');
    std::error_code ignored;
    fs::remove(outPath, ignored);
    return r;
}

DWORD RunSetup(const std::wstring& switches) {
    return RunCommand(L"\"" + Widen(K7_SETUP_EXE) + L"\" " + switches).exitCode;
}

// The uninstaller run in place (_?=), so that it is waited for and gives its exit code; it
// then cannot remove itself and its folder, which the test does.
DWORD UninstallInPlace(const std::wstring& folder, const std::wstring& switches) {
    const DWORD code = RunCommand(L"\"" + folder + L"\\uninstall.exe\" " + switches + L" _?=" + folder).exitCode;
    std::error_code ignored;
    fs::remove(folder + L"\\uninstall.exe", ignored);
    fs::remove(folder, ignored);
    return code;
}

std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return L"<missing>";
    return buffer;
}

bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY h;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

bool ValueExists(HKEY root, const wchar_t* key, const wchar_t* value) {
    return RegGetValueW(root, key, value, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Every value under the settings key and its subkeys, type and bytes, by path.
using Settings = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

void ReadSettings(HKEY key, const std::wstring& path, Settings& settings) {
    std::vector<BYTE> data(256 * 1024);
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, type = 0, size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        settings[path + L"\\" + name] = {type, std::vector<BYTE>(data.begin(), data.begin() + size)};
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        ReadSettings(sub, path + L"\\" + name, settings);
        RegCloseKey(sub);
    }
}

Settings StoredSettings() {
    Settings settings;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return settings;
    ReadSettings(key, L"", settings);
    RegCloseKey(key);
    return settings;
}

std::string ReadText(const std::wstring& path) {
    std::ifstream f(fs::path(path), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteText(const std::wstring& path, const std::string& text) { std::ofstream(fs::path(path)) << text; }

// The configuration program's data folder, with a file as the program leaves one.
std::wstring ProgramData() {
    const std::wstring folder = KnownFolder(FOLDERID_RoamingAppData) + L"\\K7\\Config";
    fs::create_directories(folder);
    WriteText(folder + L"\\recent.txt", "C:\\profiles\\fps.json\r\n");
    return folder;
}

// The target of a shortcut, through the shell's own reader of .lnk files.
std::wstring ShortcutTarget(const std::wstring& link) {
    std::wstring target = L"<unreadable>";
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_PPV_ARGS(&file)))) {
        wchar_t path[MAX_PATH];
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    shellLink->Release();
    return target;
}

struct Agent {
    HWND window = nullptr;
    DWORD id = 0;
    std::wstring image;
};

// The agent's task window and the program it belongs to.
Agent FindAgent() {
    Agent agent;
    agent.window = FindWindowW(nullptr, kAgentTitle);
    if (agent.window == nullptr) return agent;
    GetWindowThreadProcessId(agent.window, &agent.id);
    if (HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, agent.id)) {
        wchar_t image[MAX_PATH];
        DWORD length = MAX_PATH;
        if (QueryFullProcessImageNameW(p, 0, image, &length)) agent.image.assign(image, length);
        CloseHandle(p);
    }
    return agent;
}

// Waits for the agent of `folder` to run (or, with `running` false, for none to run).
bool WaitForAgent(const std::wstring& folder, bool running, Agent* found = nullptr) {
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    do {
        const Agent agent = FindAgent();
        if (!running && agent.window == nullptr) return true;
        if (running && agent.window != nullptr && agent.image == folder + L"\\K7_Setting.exe") {
            if (found != nullptr) *found = agent;
            return true;
        }
        Sleep(50);
    } while (GetTickCount64() < end);
    return false;
}

// Waits until the uninstaller's copy that runs on after its starter has removed the entry.
bool WaitForUninstalled(HKEY root) {
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (KeyExists(root, kUninstallKey)) {
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
    return true;
}

// Ends the agent the way the installer does, and waits for its exit code.
DWORD EndAgent(const Agent& agent) {
    HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, agent.id);
    PostMessageW(agent.window, WM_CLOSE, 0, 0);
    DWORD code = 0xFFFFFFFF;
    if (p != nullptr && WaitForSingleObject(p, kWaitMs) == WAIT_OBJECT_0) GetExitCodeProcess(p, &code);
    if (p != nullptr) CloseHandle(p);
    return code;
}

const wchar_t* const kInstalledFiles[] = {L"K7_Setting.exe", L"k7ctl.exe",  L"language.xml",
                                          L"ButtonPos.xml",  L"README.txt", L"uninstall.exe"};

void ExpectInstalledFiles(const std::wstring& folder) {
    for (const wchar_t* f : kInstalledFiles) EXPECT_TRUE(fs::exists(folder + L"\\" + f)) << fs::path(f).string();
    // The configuration program once the build has one; never the test bed or the helper.
    EXPECT_EQ(fs::exists(folder + L"\\K7_Config.exe"), fs::exists(Widen(K7_BIN_DIR) + L"\\K7_Config.exe"));
    // The translations the configuration program offers, as the build has them.
    for (const wchar_t* f : {L"language.en.xml", L"language.de.xml", L"language.zh-CN.xml"})
        EXPECT_EQ(fs::exists(folder + L"\\" + f), fs::exists(Widen(K7_BIN_DIR) + L"\\" + f)) << fs::path(f).string();
    for (const wchar_t* f : {L"oxkbd.sys", L"oxkbdctl.exe", L"k7stop.exe", L"~k7new", L"~k7old"})
        EXPECT_FALSE(fs::exists(folder + L"\\" + f)) << fs::path(f).string();
}

void ExpectUninstallEntry(HKEY root, const std::wstring& folder) {
    EXPECT_EQ(ReadString(root, kUninstallKey, L"DisplayName"), L"Orvex K7 keyboard agent");
    EXPECT_EQ(ReadString(root, kUninstallKey, L"DisplayVersion"), Widen(K7_VERSION_STRING));
    EXPECT_EQ(ReadString(root, kUninstallKey, L"Publisher"), L"Orvex");
    EXPECT_EQ(ReadString(root, kUninstallKey, L"DisplayIcon"), folder + L"\\K7_Setting.exe,0");
    EXPECT_EQ(ReadString(root, kUninstallKey, L"InstallLocation"), folder);
    EXPECT_EQ(ReadString(root, kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\uninstall.exe\"");
    EXPECT_EQ(ReadString(root, kUninstallKey, L"QuietUninstallString"), L"\"" + folder + L"\\uninstall.exe\" /S");
    DWORD size = 0, bytes = sizeof size;
    EXPECT_EQ(RegGetValueW(root, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes),
              ERROR_SUCCESS);
    // Kilobytes: the agent and k7ctl alone take more than one megabyte.
    EXPECT_GT(size, 1024u);
    EXPECT_EQ(ReadString(root, kRunKey, kRunValue), L"\"" + folder + L"\\K7_Setting.exe\"");
}

// Removes what an earlier, interrupted run of this sequence left in the prefix.
void RemoveLeftovers() {
    if (const Agent agent = FindAgent(); agent.window != nullptr) EndAgent(agent);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteTreeW(root, kUninstallKey);
        RegDeleteKeyValueW(root, kRunKey, kRunValue);
    }
    std::error_code ignored;
    for (const std::wstring& folder : {UserFolder(), MachineFolder(), KnownFolder(FOLDERID_Programs) + L"\\Orvex K7",
                                       KnownFolder(FOLDERID_CommonPrograms) + L"\\Orvex K7"})
        fs::remove_all(folder, ignored);
}

class InstallerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    // No agent outlives the sequence: it would hold the test's output open.
    static void TearDownTestSuite() {
        RemoveLeftovers();
        CoUninitialize();
    }

    // The agent started the way a log-on starts it; ended by the upgrade.
    static HANDLE s_hLogOnAgent;
};

HANDLE InstallerTest::s_hLogOnAgent = nullptr;

TEST_F(InstallerTest, SilentInstallForTheUser) {
    RemoveLeftovers();
    const std::wstring folder = UserFolder();
    ASSERT_EQ(RunSetup(L"/S"), 0u);

    ExpectInstalledFiles(folder);
    ExpectUninstallEntry(HKEY_CURRENT_USER, folder);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunKey, kRunValue));
    EXPECT_EQ(ShortcutTarget(KnownFolder(FOLDERID_Programs) + L"\\Orvex K7\\K7 keyboard agent.lnk"),
              folder + L"\\K7_Setting.exe");

    // Started at the end, it answers an apply of the installed k7ctl.
    ASSERT_TRUE(WaitForAgent(folder, true));
    const std::wstring k7ctl = L"\"" + folder + L"\\k7ctl.exe\" ";
    EXPECT_EQ(RunCommand(k7ctl + L"--version", true).out, "k7ctl " K7_VERSION_STRING "\n");
    const RunResult apply = RunCommand(k7ctl + L"apply \"" + Widen(K7_EXAMPLE_PROFILE) + L"\"", true);
    EXPECT_EQ(apply.exitCode, 0u) << apply.out;
}

TEST_F(InstallerTest, TheRunValueStartsTheAgentAsALogOnDoes) {
    const std::wstring folder = UserFolder();
    Agent agent = FindAgent();
    ASSERT_NE(agent.window, nullptr);
    EXPECT_EQ(EndAgent(agent), 0u);

    // At log-on each Run value is a command line of its own, quotes and all.
    std::wstring commandLine = ReadString(HKEY_CURRENT_USER, kRunKey, kRunValue);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(k7testbed::StartProcess(nullptr, commandLine.data(), FALSE, 0, &si, &pi));
    CloseHandle(pi.hThread);
    s_hLogOnAgent = pi.hProcess;
    ASSERT_TRUE(WaitForAgent(folder, true, &agent));
    EXPECT_EQ(agent.id, pi.dwProcessId);
}

TEST_F(InstallerTest, UpgradeOverTheRunningAgent) {
    ASSERT_NE(s_hLogOnAgent, nullptr);
    const std::wstring folder = UserFolder();
    const Settings before = StoredSettings();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(before.count(L"\\Backup\\KeySetting"), 1u);  // k7ctl's apply kept one
    // Marks of the installation being replaced.
    WriteText(folder + L"\\README.txt", "the previous version's readme");
    RegSetKeyValueW(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion", REG_SZ, L"0.9.0", 12);

    ASSERT_EQ(RunSetup(L"/S"), 0u);

    DWORD code = 0xFFFFFFFF;
    ASSERT_EQ(WaitForSingleObject(s_hLogOnAgent, 0), WAIT_OBJECT_0);
    GetExitCodeProcess(s_hLogOnAgent, &code);
    EXPECT_EQ(code, 0u);
    const DWORD oldId = GetProcessId(s_hLogOnAgent);
    CloseHandle(s_hLogOnAgent);
    s_hLogOnAgent = nullptr;
    Agent agent;
    ASSERT_TRUE(WaitForAgent(folder, true, &agent));
    EXPECT_NE(agent.id, oldId);

    EXPECT_NE(ReadText(folder + L"\\README.txt"), "the previous version's readme");
    ExpectInstalledFiles(folder);
    ExpectUninstallEntry(HKEY_CURRENT_USER, folder);
    EXPECT_EQ(StoredSettings(), before);
}

TEST_F(InstallerTest, AFileInUseLeavesThePreviousVersion) {
    const std::wstring folder = UserFolder();
    WriteText(folder + L"\\README.txt", "the previous version's readme");
    // Late in the swap, so that the files moved before it must go back.
    HANDLE held =
        CreateFileW((folder + L"\\ButtonPos.xml").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string agentBefore = ReadText(folder + L"\\K7_Setting.exe");

    EXPECT_EQ(RunSetup(L"/S"), kExitFiles);
    CloseHandle(held);

    EXPECT_EQ(ReadText(folder + L"\\README.txt"), "the previous version's readme");
    EXPECT_EQ(ReadText(folder + L"\\K7_Setting.exe"), agentBefore);
    ExpectInstalledFiles(folder);
    // The agent it ended runs again.
    EXPECT_TRUE(WaitForAgent(folder, true));
}

TEST_F(InstallerTest, AProgramThatDoesNotEndChangesNothing) {
    const std::wstring folder = UserFolder();
    const std::wstring stubborn = folder + L"\\K7_Config.exe";
    // The installed configuration program, if the build has one, waits outside the folder meanwhile.
    const std::wstring kept = folder + L"-K7_Config.exe.kept";
    const bool installed = fs::exists(stubborn);
    if (installed) fs::rename(stubborn, kept);
    ASSERT_TRUE(CopyFileW((Widen(K7_BIN_DIR) + L"\\k7_stubborn_program.exe").c_str(), stubborn.c_str(), TRUE));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + stubborn + L"\"";
    ASSERT_TRUE(k7testbed::StartProcess(nullptr, commandLine.data(), FALSE, 0, &si, &pi));
    WaitForInputIdle(pi.hProcess, kWaitMs);
    WriteText(folder + L"\\README.txt", "the previous version's readme");

    const DWORD setup = RunSetup(L"/S");
    const DWORD uninstall = RunCommand(L"\"" + folder + L"\\uninstall.exe\" /S _?=" + folder).exitCode;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, kWaitMs);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    fs::remove(stubborn);
    if (installed) fs::rename(kept, stubborn);

    EXPECT_EQ(setup, kExitRunning);
    EXPECT_EQ(uninstall, kExitRunning);
    EXPECT_EQ(ReadText(folder + L"\\README.txt"), "the previous version's readme");
    ExpectInstalledFiles(folder);
    ExpectUninstallEntry(HKEY_CURRENT_USER, folder);
    // The agent, which did end, was started again.
    EXPECT_TRUE(WaitForAgent(folder, true));
}

TEST_F(InstallerTest, SilentUninstallKeepsTheStoredSettings) {
    const std::wstring folder = UserFolder();
    const Settings before = StoredSettings();
    const std::wstring data = ProgramData();
    // As a deployment tool runs it: the entry's own command line.
    EXPECT_EQ(RunCommand(ReadString(HKEY_CURRENT_USER, kUninstallKey, L"QuietUninstallString")).exitCode, 0u);
    ASSERT_TRUE(WaitForUninstalled(HKEY_CURRENT_USER));

    EXPECT_TRUE(WaitForAgent(folder, false));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(KnownFolder(FOLDERID_Programs) + L"\\Orvex K7"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, kRunValue));
    EXPECT_EQ(StoredSettings(), before);
    EXPECT_TRUE(fs::exists(data)) << "the configuration program's data went without a /PURGE";
}

TEST_F(InstallerTest, UninstallWithPurgeRemovesTheStoredSettings) {
    const std::wstring folder = UserFolder();
    ASSERT_EQ(RunSetup(L"/S /NOSTART"), 0u);
    ExpectInstalledFiles(folder);
    EXPECT_EQ(FindAgent().window, nullptr);
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    const std::wstring data = ProgramData();

    EXPECT_EQ(UninstallInPlace(folder, L"/S /PURGE"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(fs::exists(data)) << "the configuration program's data stayed";
    EXPECT_FALSE(fs::exists(KnownFolder(FOLDERID_RoamingAppData) + L"\\K7"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, kRunValue));
    EXPECT_FALSE(fs::exists(folder));
}

// Wine runs every program as an administrator, so the elevated case runs here.
TEST_F(InstallerTest, SilentInstallForAllUsers) {
    const std::wstring folder = MachineFolder();
    ASSERT_EQ(RunSetup(L"/S /ALLUSERS"), 0u);
    ExpectInstalledFiles(folder);
    ExpectUninstallEntry(HKEY_LOCAL_MACHINE, folder);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_EQ(ShortcutTarget(KnownFolder(FOLDERID_CommonPrograms) + L"\\Orvex K7\\K7 keyboard agent.lnk"),
              folder + L"\\K7_Setting.exe");
    // An elevated setup leaves the start to each log-on.
    EXPECT_EQ(FindAgent().window, nullptr);

    // The uninstaller's copy in the temporary folder must still find the machine's entry.
    EXPECT_EQ(RunCommand(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString")).exitCode, 0u);
    ASSERT_TRUE(WaitForUninstalled(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunKey, kRunValue));
    EXPECT_FALSE(fs::exists(KnownFolder(FOLDERID_CommonPrograms) + L"\\Orvex K7"));
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
