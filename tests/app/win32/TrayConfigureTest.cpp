// The tray's configuration command on a copy of the agent in a folder whose name has a
// space, beside a stand-in K7_Config.exe that counts its starts on a named semaphore.
#include "AgentPresenceSupport.h"
#include "keyconfig/SettingRecords.h"
#include "xml/ButtonPositions.h"

#include <string>

namespace {

constexpr wchar_t kAgentName[] = L"K7_Setting.exe";
constexpr wchar_t kStandInName[] = L"k7_config_standin.exe";
constexpr const wchar_t* kAgentFiles[] = {kAgentName, L"ButtonPos.xml", L"language.xml"};

// The agent, its two files and the stand-in in a fresh temporary folder, removed at the end.
class CAgentFolder {
public:
    CAgentFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"K7 tray " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        m_ok = CreateDirectoryW(m_folder.c_str(), nullptr) != FALSE;
        for (const wchar_t* name : kAgentFiles) m_ok = m_ok && Copy(BesideTestProgram(name), name);
        m_ok = m_ok && Copy(BesideTestProgram(kStandInName), L"K7_Config.exe");
    }
    ~CAgentFolder() {
        for (const wchar_t* name : kAgentFiles) DeleteFileW((m_folder + name).c_str());
        DeleteFileW((m_folder + L"K7_Config.exe").c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    bool Ok() const { return m_ok; }
    std::wstring Agent() const { return m_folder + kAgentName; }
    std::wstring File(const wchar_t* name) const { return m_folder + name; }

private:
    bool Copy(const std::wstring& from, const wchar_t* to) {
        return CopyFileW(from.c_str(), (m_folder + to).c_str(), FALSE) != FALSE;
    }
    std::wstring m_folder;
    bool m_ok = false;
};

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD process = 0;
    wchar_t title[32] = {}, cls[16] = {};
    GetWindowThreadProcessId(hwnd, &process);
    GetWindowTextW(hwnd, title, 32);
    GetClassNameW(hwnd, cls, 16);
    if (process == search->process && wcscmp(title, L"K7_Setting") == 0 && wcscmp(cls, L"#32770") == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

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
            BoxSearch search{process, nullptr};
            EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) return search.found;
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
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Orvex\\K7", L"KeySetting", RRF_RT_REG_BINARY, nullptr,
                           keys, &size),
              ERROR_SUCCESS);
    for (int i = 0; i < kKeyAssignmentCount; ++i)
        EXPECT_EQ(keys[12 * i], layout[i].vkcode) << "key " << i;
}

}  // namespace
