// K7_Config.exe's profiles and its own data, driven as a person would: Save as through the
// file dialog gives a profile k7ctl checks, the recent files open it again and say when it is
// broken or gone; a second start brings an open dialog to the front; a removal of the keyboard
// closes the program with its unsaved edits kept, the next start says why and restores them,
// and a close by the user asks first; damaged files and stored values are named at the start.
#include "AgentPresenceSupport.h"
#include "AgentProcess.h"
#include "ConfigProcess.h"
#include "ConfigTestSupport.h"

#include "ProfileJson.h"
#include "RegistryValues.h"
#include "app/Messages.h"
#include "config/ProgramData.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/DataFolder.h"
#include "k7testbed/StartProcess.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/ButtonPositions.h"
#include "xml/Utf8Text.h"

#include <memory>
#include <string>
#include <utility>

namespace {

constexpr wchar_t kProgram[] = L" - K7 Gaming Keyboard";

// A message box's text.
std::wstring BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

std::string FileText(const std::wstring& path) {
    std::string text;
    return ReadWholeFile(path, text) == ERROR_SUCCESS ? text : "<no file>";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Esc plays media function 3, A produces B, F1 plays a macro (named as the stored values name
// it), rate code 2.
Profile Sample() {
    Profile p;
    p.keys[Record(u"Esc")] = {AssignConsumer, 3};
    p.keys[Record(u"A")] = {AssignKeyRemap, 0x42};
    p.macros.push_back({"macro1", 1, {{0x41, true, 50}, {0x41, false, 50}}});
    p.keys[Record(u"F1")] = {AssignMacro, 0};
    p.rate = 2;
    return p;
}

std::wstring DataFile(const char16_t* name) { return ProgramDataFile(ToWide(name).c_str()); }

void KeepEdits(const Profile& profile, const ClosedNote& note) {
    ASSERT_EQ(ReplaceWholeFile(DataFile(kDraftFileName), ProfileToJson(profile, Layout())), ERROR_SUCCESS);
    ASSERT_EQ(ReplaceWholeFile(DataFile(kClosedFileName), ClosedNoteText(note)), ERROR_SUCCESS);
}

// The stored values as they were before the test, written back afterwards.
class CKeptSettings {
public:
    CKeptSettings() : m_stored(ReadStoredSettings(m_registry)) {}
    ~CKeptSettings() {
        if (m_stored) WriteStoredSettings(m_registry, *m_stored);
    }
    CWin32Registry m_registry;

private:
    std::unique_ptr<StoredSettings> m_stored;
};

class ConfigFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Layout()[0].name, u"Esc") << "ButtonPos.xml is not beside the test";
        ASSERT_TRUE(WriteProfile(m_kept.m_registry, Sample(), Layout()));
        m_folder = BesideTestProgram(L"profiles");
        CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    // Other suites' programs start as at a first start.
    void TearDown() override { RemoveProgramData(); }
    std::wstring m_folder;
    CKeptSettings m_kept;
};

TEST_F(ConfigFiles, SaveAsWritesAProfileK7ctlChecksAndTheRecentFilesOpenItAgain) {
    const std::wstring path = m_folder + L"\\fps.json";
    DeleteFileW(path.c_str());
    CConfigProcess program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Activate());
    EXPECT_EQ(Text(program.Window()), std::wstring(L"Stored settings") + kProgram);

    // The stored settings have no file yet: Ctrl+S asks where.
    PressWith(VK_CONTROL, 'S');
    ASSERT_NE(program.Dialog(), nullptr) << "no Save as dialog";
    Type(path);
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Text(program.Window()) == L"fps.json" + std::wstring(kProgram); }))
        << "title " << Utf8FromUtf16(ToUtf16(Text(program.Window())));

    // k7ctl checks it, and it is the stored profile.
    const std::string saved = FileText(path);
    Profile read;
    const std::vector<std::string> errors = ReadProfile(saved, "fps.json", Layout(), read);
    ASSERT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(read == Sample()) << saved;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + BesideTestProgram(L"k7ctl.exe") + L"\" check \"" + path + L"\"";
    ASSERT_TRUE(k7testbed::StartProcess(nullptr, commandLine.data(), FALSE, CREATE_NO_WINDOW, &startup, &info));
    ASSERT_EQ(WaitForSingleObject(info.hProcess, 30000), WAIT_OBJECT_0);
    DWORD checked = 0xBAD;
    GetExitCodeProcess(info.hProcess, &checked);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_EQ(checked, 0u) << "k7ctl check refused the saved profile";

    // Wine keeps a menu's items in the process that made it, out of another's reach: the list
    // shows in its file and in what Alt+F, 1 opens.
    EXPECT_EQ(FileText(DataFile(kRecentFileName)), Utf8FromUtf16(ToUtf16(path)) + "\r\n");

    // A broken file opened from the list: the errors with line and column, the document kept.
    ASSERT_EQ(ReplaceWholeFile(path, "{\n  \"keys\": { \"Esc\": 7 }\n}\n"), ERROR_SUCCESS);
    PressWith(VK_CONTROL, 'N');
    ASSERT_TRUE(WaitUntil([&] { return Text(program.Window()) == L"New profile" + std::wstring(kProgram); }));
    PressWith(VK_MENU, 'F');
    Press('1');
    HWND box = program.Dialog();
    ASSERT_NE(box, nullptr) << "nothing said of the broken file";
    const std::wstring said = BoxText(box);
    EXPECT_TRUE(
        said.starts_with(path + L" is not a profile this program can open; nothing was changed:\r\n" + path + L":2:"))
        << Utf8FromUtf16(ToUtf16(said));
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Text(program.Window()), L"New profile" + std::wstring(kProgram)) << "the document changed";

    // A file that is gone is said so and leaves the list.
    DeleteFileW(path.c_str());
    PressWith(VK_MENU, 'F');
    Press('1');
    box = program.Dialog();
    ASSERT_NE(box, nullptr) << "nothing said of the missing file";
    EXPECT_EQ(BoxText(box), path + L" no longer exists; it was taken off the recent files");
    EXPECT_EQ(FileText(DataFile(kRecentFileName)), "") << "said before it was so";
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << program.Events();
}

TEST_F(ConfigFiles, ASecondStartBringsTheOpenDialogToTheFront) {
    CConfigProcess first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.Activate());
    PressWith(VK_CONTROL, 'O');
    HWND dialog = first.Dialog();
    ASSERT_NE(dialog, nullptr) << "no Open dialog";
    // Another program's window in front meanwhile.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));

    CConfigProcess second;
    ASSERT_TRUE(second.Start(false, {}, true));
    ASSERT_TRUE(second.WaitForExit(10000)) << "the second start stayed";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; })) << "the dialog is not in front";
    DestroyWindow(other);
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

TEST_F(ConfigFiles, DamagedFilesAndStoredValuesAreNamedAtTheStart) {
    KeepEdits(Sample(), {CloseReason::AgentEnded, true, {}});
    ASSERT_EQ(ReplaceWholeFile(DataFile(kDraftFileName), "{ \"rate\": 3 }"), ERROR_SUCCESS);
    ASSERT_EQ(ReplaceWholeFile(DataFile(kRecentFileName), "C:\\a.json\r\nprofiles\\b.json\r\n"), ERROR_SUCCESS);
    const std::uint8_t shortMacros[10] = {};
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Orvex\\K7", L"MacroSetting", REG_BINARY, shortMacros,
                              sizeof shortMacros),
              ERROR_SUCCESS);

    CConfigProcess program;
    ASSERT_TRUE(program.Start(true, {}, true));
    HWND box = program.Dialog();
    ASSERT_NE(box, nullptr) << "nothing said of the damaged draft";
    const std::wstring draft = DataFile(kDraftFileName), aside = DataFile(u"draft.damaged.json");
    const std::wstring said = BoxText(box);
    EXPECT_TRUE(said.starts_with(L"The program was closed last time because the K7 agent ended.\r\nThe kept edits in " +
                                 draft + L" cannot be read; the file was moved to " + aside + L":\r\n" + draft +
                                 L":1:"))
        << Utf8FromUtf16(ToUtf16(said));
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_FALSE(Exists(draft));
    EXPECT_EQ(FileText(aside), "{ \"rate\": 3 }");
    EXPECT_FALSE(Exists(DataFile(kClosedFileName))) << "the next start would tell it again";

    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Details()) != FALSE; }));
    EXPECT_EQ(Text(program.Details()),
              L"The program's file " + DataFile(kRecentFileName) +
                  L" is damaged (line 2: not the full path of a file); what could be read of it is used\r\n"
                  L"The stored value \u201cMacroSetting\u201d is 10 bytes long instead of " +
                  std::to_wstring(sizeof(MacroSetting)) +
                  L": its missing bytes are read as zeros, as the agent reads them; an apply from this program writes "
                  L"a correct value\r\n"
                  // Without its macro F1 has a function no profile can name.
                  L"A profile cannot express all of the stored settings; saved as a profile, these are left out:\r\n"
                  L"key \"F1\": type 4 with parameter 0 cannot be written in a profile; it is left as default");
    EXPECT_EQ(FileText(DataFile(kRecentFileName)), "C:\\a.json\r\n") << "what was read is written back";
}

TEST_F(ConfigFiles, AnAgentCloseDuringTheOfferKeepsTheEditsForTheStartAfter) {
    KeepEdits(Sample(), {CloseReason::KeyboardRemoved, true, u"C:\\profiles\\fps.json"});
    const std::string note = FileText(DataFile(kClosedFileName)), draft = FileText(DataFile(kDraftFileName));
    CConfigProcess program;
    ASSERT_TRUE(program.Start(true, {}, true));
    ASSERT_NE(program.Dialog(), nullptr) << "the kept edits were not offered";
    // As the agent closes it: a bare WM_CLOSE to the main window.
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000)) << "the program did not close";
    EXPECT_EQ(FileText(DataFile(kClosedFileName)), note);
    EXPECT_EQ(FileText(DataFile(kDraftFileName)), draft);
}

TEST_F(ConfigFiles, TheWindowOpensWhereItWasClosed) {
    RECT placed{};
    {
        CConfigProcess program;
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(SetWindowPos(program.Window(), nullptr, 40, 30, 700, 420, SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(WaitUntil([&] {
            GetWindowRect(program.Window(), &placed);
            return placed.left == 40 && placed.right - placed.left == 700;
        }));
        // Closed as by the title bar; nothing unsaved, so nothing is asked.
        PostMessageW(program.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program.WaitForExit(10000));
    }
    CConfigProcess again;
    ASSERT_TRUE(again.Start(true, {}, true));
    RECT r{};
    GetWindowRect(again.Window(), &r);
    EXPECT_EQ((std::pair{r.left, r.top}), (std::pair{placed.left, placed.top}));
    EXPECT_EQ((std::pair{r.right, r.bottom}), (std::pair{placed.right, placed.bottom}));
}

// The keyboard plugged in and pulled out as a device, so that the agent hears of its removal.
class ConfigFilesWithAgent : public PresenceFixture {
protected:
    void SetUp() override {
        PresenceFixture::SetUp();
        ASSERT_TRUE(WriteProfile(m_kept.m_registry, Sample(), Layout()));
    }
    void TearDown() override { RemoveProgramData(); }
    CKeptSettings m_kept;
};

TEST_F(ConfigFilesWithAgent, ARemovalKeepsTheEditsAndTheNextStartSaysWhyAndRestoresThem) {
    Profile edited = Sample();
    edited.keys[Record(u"F2")] = {AssignConsumer, 5};
    KeepEdits(edited, {CloseReason::AgentEnded, true, {}});
    StartAgent();
    ASSERT_TRUE(Plug());

    // Kept edits, restored: the document holds unsaved edits.
    auto program = std::make_unique<CConfigProcess>();
    ASSERT_TRUE(program->Start(true, {}, true));
    HWND box = program->Dialog();
    ASSERT_NE(box, nullptr) << "the kept edits were not offered";
    EXPECT_EQ(BoxText(box),
              L"The program was closed last time because the K7 agent ended.\r\n"
              L"Its unsaved edits were kept. Restore them?");
    Click(GetDlgItem(box, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return Text(program->Window()) == L"*Kept edits" + std::wstring(kProgram); }));
    EXPECT_FALSE(Exists(DataFile(kDraftFileName))) << "offered once";

    // The keyboard goes while the edits are unsaved: the agent closes the program, which asks
    // nothing and keeps them.
    SendMessageW(agent.Window(), WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(program->Window()), 0);
    ASSERT_TRUE(Unplug());
    DWORD exitCode = 0xBAD;
    // The platform's broadcasts reach this thread's client window too: dispatch meanwhile.
    ASSERT_TRUE(WaitUntil([&] { return program->WaitForExit(0, &exitCode); }, 30000)) << "the program did not close";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(FileText(DataFile(kClosedFileName)), "reason: keyboard removed\r\ndraft: \r\n");
    Profile kept;
    EXPECT_TRUE(ReadProfile(FileText(DataFile(kDraftFileName)), "draft.json", Layout(), kept).empty());
    EXPECT_TRUE(kept == edited) << FileText(DataFile(kDraftFileName));

    // The next start says why and restores them; the user's close asks, Cancel stays.
    program = std::make_unique<CConfigProcess>();
    ASSERT_TRUE(program->Start(true, {}, true));
    box = program->Dialog();
    ASSERT_NE(box, nullptr) << "the kept edits were not offered after the removal";
    EXPECT_EQ(BoxText(box),
              L"The program was closed last time because the keyboard was removed.\r\n"
              L"Its unsaved edits were kept. Restore them?");
    Press(VK_RETURN);  // Yes is the default
    ASSERT_TRUE(WaitUntil([&] { return Text(program->Window()) == L"*Kept edits" + std::wstring(kProgram); }));

    ASSERT_TRUE(program->Activate());
    PressWith(VK_MENU, VK_F4);
    box = program->Dialog();
    ASSERT_NE(box, nullptr) << "closed without asking";
    EXPECT_EQ(BoxText(box), L"Save the changes to Kept edits?");
    Press(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindow(program->Window())) << "Cancel closed the program";

    ASSERT_TRUE(program->Activate());
    PressWith(VK_MENU, VK_F4);
    box = program->Dialog();
    ASSERT_NE(box, nullptr) << "closed without asking the second time";
    Click(GetDlgItem(box, IDNO));
    ASSERT_TRUE(program->WaitForExit(10000)) << "Don't save did not close";
    EXPECT_FALSE(Exists(DataFile(kDraftFileName))) << "edits dropped on the user's word were kept";
    EXPECT_FALSE(Exists(DataFile(kClosedFileName)));
}

}  // namespace
