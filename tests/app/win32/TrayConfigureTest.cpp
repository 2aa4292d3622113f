// The tray's configuration command on a copy of the agent in a folder whose name has a
// space, beside a stand-in K7_Config.exe that counts its starts on a named semaphore, and
// beside the real configuration program.
#include "AgentPresenceSupport.h"
#include "keyconfig/SettingRecords.h"
#include "xml/ButtonPositions.h"

#include <string>
#include <utility>
#include <vector>

#include "config/win32/ConfigWindowClasses.h"

namespace {

constexpr wchar_t kAgentName[] = L"K7_Setting.exe";
constexpr wchar_t kStandInName[] = L"k7_config_standin.exe";
constexpr const wchar_t* kAgentFiles[] = {kAgentName, L"ButtonPos.xml", L"language.xml"};

// The agent, its two files and `configProgram` as K7_Config.exe in a fresh temporary folder,
// removed at the end.
class CAgentFolder {
public:
    explicit CAgentFolder(const wchar_t* configProgram = kStandInName) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"K7 tray " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        m_ok = CreateDirectoryW(m_folder.c_str(), nullptr) != FALSE;
        for (const wchar_t* name : kAgentFiles) m_ok = m_ok && Copy(BesideTestProgram(name), name);
        m_ok = m_ok && Copy(BesideTestProgram(configProgram), L"K7_Config.exe");
    }
    ~CAgentFolder() {
        for (const wchar_t* name : kAgentFiles) DeleteFileW((m_folder + name).c_str());
        DeleteFileW((m_folder + L"K7_Config.exe").c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    bool Ok() const { return m_ok; }
    std::wstring Agent() const { return m_folder + kAgentName; }
    std::wstring File(const wchar_t* name) const { return m_folder + name; }
    std::wstring Folder() const { return m_folder; }

private:
    bool Copy(const std::wstring& from, const wchar_t* to) {
        return CopyFileW(from.c_str(), (m_folder + to).c_str(), FALSE) != FALSE;
    }
    std::wstring m_folder;
    bool m_ok = false;
};

// The text of a message box's message.
std::wstring BoxText(HWND box) {
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    return text;
}

void CloseBox(HWND box, configclient::CConfigClient& client) {
    ASSERT_TRUE(PostMessageW(box, WM_COMMAND, IDOK, 0));
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (IsWindow(box) && GetTickCount64() < end) client.Pump(20);
    EXPECT_FALSE(IsWindow(box)) << "the box did not take the answer";
}

class TrayConfigure : public PresenceFixture {
protected:
    void SetUp() override {
        PresenceFixture::SetUp();
        m_hStarted = CreateSemaphoreW(nullptr, 0, 100, L"K7ConfigStandInStarted");
        ASSERT_NE(m_hStarted, nullptr) << GetLastError();
    }
    void TearDown() override { CloseHandle(m_hStarted); }

    HWND WaitForMessageBox(DWORD process) {
        const ULONGLONG end = GetTickCount64() + kWaitMs;
        do {
            if (HWND box = FindWindowOfProcess(process, L"K7_Setting", L"#32770")) return box;
            client.Pump(20);
        } while (GetTickCount64() < end);
        return nullptr;
    }
    bool StandInStarted(DWORD timeoutMs) { return WaitForSingleObject(m_hStarted, timeoutMs) == WAIT_OBJECT_0; }

    HANDLE m_hStarted = nullptr;
};

TEST_F(TrayConfigure, StartsTheConfigProgramBesideTheAgentOnlyWhileTheKeyboardIsPresent) {
    CAgentFolder folder;
    ASSERT_TRUE(folder.Ok()) << GetLastError();
    CAgentProcess copy;  // ends before the folder goes
    ASSERT_TRUE(copy.StartAt(folder.Agent())) << "the copied agent did not show its window";
    ASSERT_TRUE(Plug());

    // The menu command and a double click on the icon each start it once.
    ASSERT_TRUE(PostMessageW(copy.Window(), WM_COMMAND, ID_TRAY_CONFIGURE, 0));
    EXPECT_TRUE(StandInStarted(kWaitMs)) << "the menu command started nothing";
    ASSERT_TRUE(PostMessageW(copy.Window(), WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(StandInStarted(kWaitMs)) << "the double click started nothing";
    EXPECT_FALSE(StandInStarted(kQuietMs)) << "a request started the program twice";

    // Absent, the command explains itself in a box titled with the agent's name.
    ASSERT_TRUE(Unplug());
    ASSERT_TRUE(PostMessageW(copy.Window(), WM_COMMAND, ID_TRAY_CONFIGURE, 0));
    const HWND box = WaitForMessageBox(copy.Id());
    ASSERT_NE(box, nullptr) << "no message box titled K7_Setting";
    ASSERT_NO_FATAL_FAILURE(CloseBox(box, client));
    EXPECT_FALSE(StandInStarted(kQuietMs)) << "started with the keyboard absent";

    // The agent is still at work after the box.
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(copy.Window(), WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &result), 0);
}

TEST_F(TrayConfigure, FilesAnEditorHoldsOpenForWritingAreStillRead) {
    CAgentFolder folder;
    ASSERT_TRUE(folder.Ok()) << GetLastError();
    ButtonPosTable layout;
    LoadButtonPositions(reinterpret_cast<const char16_t*>(folder.File(L"ButtonPos.xml").c_str()), layout);
    ASSERT_NE(layout[0].vkcode, 0) << "the shipped layout names its keys";
    // As an editor holds them: open for writing, sharing only reading.
    HANDLE held[2];
    for (int i = 0; i < 2; ++i) {
        held[i] = CreateFileW(folder.File(kAgentFiles[i + 1]).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held[i], INVALID_HANDLE_VALUE) << GetLastError();
    }
    // Without a stored "KeySetting" the agent writes its defaults from the layout it read.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Orvex\\K7", L"KeySetting");
    {
        CAgentProcess copy;
        ASSERT_TRUE(copy.StartAt(folder.Agent())) << "the copied agent did not show its window";
        ASSERT_TRUE(PostMessageW(copy.Window(), WM_COMMAND, ID_TRAY_CONFIGURE, 0));
        const HWND box = WaitForMessageBox(copy.Id());
        ASSERT_NE(box, nullptr) << "no message box titled K7_Setting";
        EXPECT_EQ(BoxText(box), L"The K7 keyboard is not connected. Connect it and try again.");
        ASSERT_NO_FATAL_FAILURE(CloseBox(box, client));
    }
    for (HANDLE h : held) CloseHandle(h);

    BYTE keys[sizeof(KeySetting)] = {};
    DWORD size = sizeof keys;
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\Orvex\\K7", L"KeySetting", RRF_RT_REG_BINARY, nullptr, keys, &size),
        ERROR_SUCCESS);
    for (int i = 0; i < kKeyAssignmentCount; ++i) EXPECT_EQ(keys[12 * i], layout[i].vkcode) << "key " << i;
}

// The configuration program's main windows, with the path of the program each belongs to.
std::vector<std::pair<HWND, std::wstring>> ConfigWindows() {
    std::vector<std::pair<HWND, std::wstring>> windows;
    for (HWND w = FindWindowW(kConfigMainClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, kConfigMainClass, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
        if (h != nullptr) {
            QueryFullProcessImageNameW(h, 0, path, &length);
            CloseHandle(h);
        }
        windows.emplace_back(w, path);
    }
    return windows;
}

TEST_F(TrayConfigure, TwoDoubleClicksStartTheRealProgramBesideTheAgentWithOneWindow) {
    CAgentFolder folder(L"K7_Config.exe");
    ASSERT_TRUE(folder.Ok()) << GetLastError();
    CAgentProcess copy;
    ASSERT_TRUE(copy.StartAt(folder.Agent())) << "the copied agent did not show its window";
    ASSERT_TRUE(Plug());
    ASSERT_TRUE(ConfigWindows().empty()) << "a configuration program runs already";

    ASSERT_TRUE(PostMessageW(copy.Window(), WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK));
    ASSERT_TRUE(PostMessageW(copy.Window(), WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK));
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (ConfigWindows().empty() && GetTickCount64() < end) client.Pump(20);
    client.Pump(kQuietMs);  // time for a second window, were there one
    const auto windows = ConfigWindows();
    ASSERT_EQ(windows.size(), 1u) << "the second start opened a window of its own";
    EXPECT_EQ(_wcsicmp(windows[0].second.c_str(), (folder.Folder() + L"K7_Config.exe").c_str()), 0)
        << "started from elsewhere: " << std::string(windows[0].second.begin(), windows[0].second.end());

    // Closed before its folder goes.
    DWORD process = 0;
    GetWindowThreadProcessId(windows[0].first, &process);
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, process);
    ASSERT_TRUE(PostMessageW(windows[0].first, WM_CLOSE, 0, 0));
    EXPECT_EQ(WaitForSingleObject(h, kWaitMs), WAIT_OBJECT_0) << "the program did not end on WM_CLOSE";
    CloseHandle(h);
}

}  // namespace
