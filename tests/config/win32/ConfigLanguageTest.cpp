// The Language menu of K7_Config.exe, beside the real agent and the virtual keyboard, in a
// folder of the test's own (so that no other test finds its language.xml changed): the chosen
// file is put in place, the agent is restarted from its folder without closing the program,
// the program speaks the new language in a new window registered with the new agent; the
// legacy-code-page translation reads right through the system's conversion. The tray's menu is
// owner-drawn, so what it says is seen in the screenshots (testbed/ui), not read back here.
#include "AgentOnKeyboard.h"
#include "ConfigProcess.h"
#include "ConfigTestSupport.h"

#include "app/Messages.h"
#include "config/win32/ConfigWindowClasses.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kFiles[] = {L"K7_Setting.exe",  L"K7_Config.exe",   L"ButtonPos.xml",     L"language.xml",
                                     L"language.en.xml", L"language.de.xml", L"language.zh-CN.xml"};

std::vector<char> Bytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

DWORD ProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

HWND Agent() { return FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle)); }

// Alt+key, as a person opens a menu by its access key, then the item's access key.
void ChooseFromMenu(WORD menuKey, WORD itemKey) {
    PressWith(VK_MENU, menuKey);
    Press(itemKey);
}

class ConfigLanguage : public AgentOnKeyboard {
protected:
    void SetUp() override {
        AgentOnKeyboard::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"k7-languages-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_folder.c_str(), nullptr);
        for (const wchar_t* file : kFiles)
            ASSERT_TRUE(CopyFileW(BesideTestProgram(file).c_str(), At(file).c_str(), FALSE)) << "cannot copy";
    }
    void TearDown() override {
        // The agent the program started is no process of the test's: ended as the installer ends one.
        if (HWND agent = Agent()) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(agent));
            PostMessageW(agent, WM_CLOSE, 0, 0);
            if (process != nullptr) {
                WaitForSingleObject(process, 10000);
                CloseHandle(process);
            }
        }
        program.reset();
        for (const wchar_t* file : kFiles) DeleteFileW(At(file).c_str());
        RemoveDirectoryW(m_folder.c_str());
        AgentOnKeyboard::TearDown();
    }
    std::wstring At(const wchar_t* file) const { return m_folder + L"\\" + file; }

    void StartProgram() {
        program = std::make_unique<CConfigProcess>();
        ASSERT_TRUE(program->Start(true, At(L"K7_Config.exe")));
        ASSERT_TRUE(program->Activate());
    }
    // The program's main window once it has the title `title`: the window that replaced the first.
    HWND WindowTitled(const std::wstring& title) const {
        HWND found = nullptr;
        WaitUntil([&] {
            found = FindWindowW(kConfigMainClass, nullptr);
            return found != nullptr && ProcessOf(found) == program->Id() && Text(found) == title &&
                   IsWindowVisible(found);
        });
        return found != nullptr && Text(found) == title ? found : nullptr;
    }
    std::wstring Status(HWND window) const { return Text(GetDlgItem(window, IDC_STATUS)); }

    std::unique_ptr<CConfigProcess> program;
    std::wstring m_folder;
};

TEST_F(ConfigLanguage, TheAgentIsRestartedAndTheProgramSpeaksTheChosenLanguage) {
    ASSERT_TRUE(agent.StartAt(At(L"K7_Setting.exe")));
    StartProgram();
    // Registered, as a program that takes the agent's answers is: its WM_CLOSE on ending would
    // close the program unless the registration is withdrawn first.
    SendMessageW(agent.Window(), WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(program->Window()), 0);

    ChooseFromMenu('L', '1');  // Language, 1 Deutsch (the files by name: de, en, zh-CN)
    ASSERT_TRUE(agent.WaitForExit(15000)) << "the agent was not ended";
    HWND german = WindowTitled(L"Gespeicherte Einstellungen - K7 Gaming-Tastatur");
    ASSERT_NE(german, nullptr) << "no German window";
    EXPECT_FALSE(program->WaitForExit(0)) << "the agent's WM_CLOSE closed the program";
    EXPECT_EQ(Bytes(At(L"language.xml")), Bytes(At(L"language.de.xml")));
    EXPECT_EQ(AccessibleName(german), L"Gespeicherte Einstellungen - K7 Gaming-Tastatur");
    EXPECT_EQ(AccessibleName(GetDlgItem(german, IDC_RATE_LABEL)), L"Berichtsrate");
    EXPECT_EQ(AccessibleName(GetDlgItem(german, IDC_RESTORE)), L"Werkszustand herstellen");
    EXPECT_EQ(Status(german), L"Das Programm und der Agent sprechen jetzt diese Sprache");

    // A new agent, from the same folder.
    HWND restarted = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (restarted = Agent()) != nullptr; })) << "the agent was not started again";
    EXPECT_NE(ProcessOf(restarted), agent.Id());
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(restarted));
    ASSERT_NE(process, nullptr);
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    EXPECT_TRUE(QueryFullProcessImageNameW(process, 0, image, &length));
    CloseHandle(process);
    EXPECT_EQ(CompareStringOrdinal(image, -1, At(L"K7_Setting.exe").c_str(), -1, TRUE), CSTR_EQUAL);

    // From the German menu (Sprache), 3: the Chinese file, declared as GB2312, converted by the
    // system from code page 936.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == german; }));
    ChooseFromMenu('S', '3');
    HWND chinese = WindowTitled(L"\u5df2\u4fdd\u5b58\u7684\u8bbe\u7f6e - K7 \u6e38\u620f\u952e\u76d8");
    ASSERT_NE(chinese, nullptr) << "no Chinese window";
    EXPECT_EQ(AccessibleName(GetDlgItem(chinese, IDC_RATE_LABEL)), L"\u56de\u62a5\u7387");
    EXPECT_EQ(Status(chinese), L"\u7a0b\u5e8f\u548c\u4ee3\u7406\u7a0b\u5e8f\u73b0\u5728\u4f7f\u7528\u6b64\u8bed\u8a00");
    EXPECT_EQ(Bytes(At(L"language.xml")), Bytes(At(L"language.zh-CN.xml")));

    // The newest window is the one registered: the agent, as it ends, closes it.
    ASSERT_NE(Agent(), nullptr);
    PostMessageW(Agent(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program->WaitForExit(15000)) << "the agent did not post its WM_CLOSE to the program's new window";
}

TEST_F(ConfigLanguage, WithoutTheAgentTheLanguageIsInPlaceForItsNextStart) {
    StartProgram();
    ChooseFromMenu('L', '1');
    HWND german = WindowTitled(L"Gespeicherte Einstellungen - K7 Gaming-Tastatur");
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(
        Status(german),
        L"Der K7-Agent (K7_Setting.exe) l\u00e4uft nicht; er spricht diese Sprache ab seinem n\u00e4chsten Start");
    EXPECT_EQ(Bytes(At(L"language.xml")), Bytes(At(L"language.de.xml")));
    EXPECT_EQ(Agent(), nullptr) << "an agent was started";
}

TEST_F(ConfigLanguage, ALanguageFileThatCannotBeReplacedStaysAndTheAgentRunsOn) {
    // Held open without leave to delete it, as another program reading it might.
    const std::vector<char> before = Bytes(At(L"language.xml"));
    HANDLE held =
        CreateFileW(At(L"language.xml").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(agent.StartAt(At(L"K7_Setting.exe")));
    StartProgram();
    ChooseFromMenu('L', '1');
    ASSERT_TRUE(WaitUntil([&] { return !Status(program->Window()).empty(); }));
    CloseHandle(held);
    EXPECT_EQ(Status(program->Window()), L"The language was not changed: language.xml could not be replaced (" +
                                             m_folder + L", error " + std::to_wstring(ERROR_ACCESS_DENIED) + L")");
    EXPECT_EQ(Text(program->Window()), L"Stored settings - K7 Gaming Keyboard");
    EXPECT_EQ(Bytes(At(L"language.xml")), before);
    EXPECT_TRUE(agent.Running()) << "the agent was ended although nothing changed";
    EXPECT_EQ(GetFileAttributesW(At(L"language.xml.new").c_str()), INVALID_FILE_ATTRIBUTES) << "a copy was left";
}

}  // namespace
