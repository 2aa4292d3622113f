// Apply from K7_Config.exe's window, against the real agent and the virtual keyboard: what the
// keyboard then holds is what k7ctl plan works out for the same profile; a key the agent resets
// is marked and named; without the agent the program offers to start it; a removal after the
// agent restarted still closes the program. Against a stand-in for the agent's window, the
// messages the program sends and its answers to each of the agent's.
#include "ConfigWithAgent.h"
#include "SavedSettings.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "Plan.h"
#include "ProfileCheck.h"
#include "ProfileEdit.h"
#include "RegistryValues.h"
#include "app/Messages.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/win32/Win32Registry.h"

namespace {

constexpr wchar_t kApplied[] = L"The settings were saved to the keyboard.";
constexpr wchar_t kApplying[] = L"Applying: the agent is writing the settings to the keyboard";
constexpr wchar_t kBusy[] = L"An apply is in progress; wait until it has ended";

std::size_t Key(std::u16string_view name) { return static_cast<std::size_t>(Record(name)); }

// One key of each kind the key table carries, a macro and a combination.
Profile EveryKind() {
    Profile p;
    p.keys[Key(u"A")] = {AssignKeyRemap, 0x42};
    p.keys[Key(u"F9")] = {AssignConsumer, 3};
    p.keys[Key(u"F3")] = {AssignMouseButton, 1};
    p.keys[Key(u"F4")] = {AssignEditShortcut, 2};
    AddMacro(p, {"burst", 2, {{0x41, true, 50}, {0x41, false, 50}}});
    p.keys[Key(u"F5")] = {AssignMacro, 0};
    EXPECT_TRUE(SetKeyCombination(p, Key(u"F2"), ComboKeys{0xA2, 0x43, 0, 0}));
    return p;
}

// Keys A to H each with a one-key combination of their own (Left Control + B .. I): the eight
// slots full.
Profile EightCombinations() {
    Profile p;
    const std::u16string_view keys[] = {u"A", u"B", u"C", u"D", u"E", u"F", u"G", u"H"};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(SetKeyCombination(p, Key(keys[i]), ComboKeys{0xA2, static_cast<std::uint8_t>(0x42 + i), 0, 0}));
    return p;
}

std::unique_ptr<StoredSettings> Stored() {
    CWin32Registry registry;
    return ReadStoredSettings(registry);
}

class ConfigApply : public ConfigWithAgent {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }

    void Store(const Profile& profile) {
        CWin32Registry registry;
        ASSERT_TRUE(WriteProfile(registry, profile, Layout()));
    }
    // What the window shows while it applies, and its result once the status line has one
    // other than `before`.
    int Percent() const { return static_cast<int>(SendMessageW(Control(IDC_APPLY_PROGRESS), PBM_GETPOS, 0, 0)); }
    std::wstring Result(const std::wstring& before = L"") const {
        std::wstring status;
        WaitUntil(
            [&] {
                status = Text(Status());
                return !status.empty() && status != kApplying && status != kBusy && status != before;
            },
            30000);
        return status;
    }
    // The agent's warning, once it shows.
    static HWND Warning() {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = FindWindowW(nullptr, L"CCombWarnDlg");
            return dialog != nullptr && IsWindowVisible(dialog);
        });
        return dialog;
    }
    void ExpectKeyboardHolds(const ApplyPlan& plan) {
        const auto state = State();
        for (int s = 0; s < kSlotCount; ++s) EXPECT_EQ(state->table.slots[s], plan.table.slots[s]) << "slot " << s;
    }

    CSavedSettings m_saved;
};

TEST_F(ConfigApply, TheKeyboardHoldsWhatK7ctlPlansForTheProfileApplied) {
    const Profile profile = EveryKind();
    Store(profile);
    StartAgent();
    StartProgram();
    EXPECT_EQ(AccessibleName(Control(IDC_APPLY)), L"Apply");
    EXPECT_EQ(AccessibleName(Control(IDC_APPLY_PROGRESS)), L"Apply progress");
    // The window shows the profile stored at its start; the apply writes that profile, not
    // what is stored by then.
    Store(Profile{});

    Click(Control(IDC_APPLY));
    EXPECT_EQ(Result(), kApplied);
    EXPECT_EQ(Percent(), 100);
    const ApplyPlan plan = PlanApply(profile, Layout());
    EXPECT_TRUE(plan.resets.empty());
    ExpectKeyboardHolds(plan);
    // Stored as k7ctl stores it: what was stored before is the backup, and the profile is
    // written over it.
    CWin32Registry registry;
    const std::unique_ptr<StoredSettings> backup = ReadStoredSettings(registry, kBackupKeyPath);
    ASSERT_NE(backup, nullptr);
    std::vector<std::string> warnings;
    EXPECT_TRUE(ProfileFromStored(*backup, Layout(), warnings) == Profile{});
    StoredSettings expected = *backup;
    EncodeProfile(profile, Layout(), expected);
    const std::unique_ptr<StoredSettings> stored = Stored();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::memcmp(&stored->buffers, &expected.buffers, sizeof expected.buffers), 0);
    EXPECT_EQ(stored->rate, expected.rate);
}

TEST_F(ConfigApply, AKeyTheAgentResetsIsMarkedAndNamed) {
    const Profile full = EightCombinations();
    Store(full);
    StartAgent();
    {
        CConfigProcess first;
        ASSERT_TRUE(first.Start());
        ASSERT_TRUE(first.Activate());
        // Keyboard > Apply from the keyboard alone.
        Press(VK_MENU);
        Press('K');
        Press('A');
        HWND status = GetDlgItem(first.Window(), IDC_STATUS);
        ASSERT_TRUE(WaitUntil([&] { return Text(status) == kApplied; })) << "the status says " << Text(status).c_str();
        PostMessageW(first.Window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(first.WaitForExit(kWaitMs));
    }
    const KeyboardState before = KeyboardAfter(*Stored());

    // A ninth combination on Esc, the other keys back to their own functions: the agent frees a
    // key's slot only when it comes to the key, and Esc comes first, while the keyboard still
    // holds the eight; so it warns and resets Esc.
    Profile ninth;
    ASSERT_TRUE(SetKeyCombination(ninth, Key(u"Esc"), ComboKeys{0xA2, 0x4A, 0, 0}));
    Store(ninth);
    StartProgram();
    Click(Control(IDC_APPLY));
    HWND warning = Warning();
    ASSERT_NE(warning, nullptr) << "no warning";
    // After the first progress no time limit runs: the warning holds the apply.
    EXPECT_TRUE(WaitUntil([&] { return Percent() == 25; }));
    EXPECT_EQ(Text(Status()), kApplying);
    ASSERT_TRUE(PostMessageW(warning, WM_CLOSE, 0, 0));

    EXPECT_EQ(Result(),
              L"The agent reset a key to its factory function: Esc (no combination slot was free; the keys after it "
              L"were not applied)");
    EXPECT_EQ(AccessibleName(program.Key(Record(u"Esc"))), L"Esc (reset by the agent)");
    EXPECT_EQ(AccessibleName(program.Key(Record(u"H"))), L"H");
    const ApplyPlan plan = PlanApply(ninth, Layout(), before);
    ASSERT_EQ(plan.resets.size(), 1u);
    EXPECT_EQ(plan.resets[0].vk, VK_ESCAPE);
    ExpectKeyboardHolds(plan);
}

TEST_F(ConfigApply, WithoutTheAgentItOffersToStartItAndThenApplies) {
    const Profile profile = EveryKind();
    Store(profile);
    StartProgram();
    Click(Control(IDC_APPLY));
    HWND box = Box();
    ASSERT_NE(box, nullptr) << "no offer to start the agent";
    Click(GetDlgItem(box, IDNO));
    const std::wstring refused = Result();
    EXPECT_EQ(refused, L"The K7 agent (K7_Setting.exe) is not running; nothing was sent");

    // The window in front again once the box has gone, so that the click reaches it.
    ASSERT_TRUE(program.Activate());
    Click(Control(IDC_APPLY));
    box = Box();
    ASSERT_NE(box, nullptr) << "no offer the second time";
    Click(GetDlgItem(box, IDYES));
    EXPECT_EQ(Result(refused), kApplied);
    ExpectKeyboardHolds(PlanApply(profile, Layout()));

    // The agent the program started, from its own folder, ends as a person would end it.
    HWND agentWindow = configclient::FindAgentWindow(kWaitMs);
    ASSERT_NE(agentWindow, nullptr);
    DWORD id = 0;
    GetWindowThreadProcessId(agentWindow, &id);
    HANDLE started = OpenProcess(SYNCHRONIZE, FALSE, id);
    ASSERT_NE(started, nullptr);
    PostMessageW(agentWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(started, kWaitMs), WAIT_OBJECT_0);
    CloseHandle(started);
    // The agent's WM_CLOSE on its way out closes the program too.
    EXPECT_TRUE(program.WaitForExit(kWaitMs));
}

TEST_F(ConfigApply, ARemovalClosesTheProgramAlsoAfterTheAgentRestarted) {
    StartAgent();
    StartProgram();
    // The agent ends (its WM_CLOSE closes the program), and the program starts again.
    ASSERT_TRUE(PostMessageW(agent.Window(), WM_CLOSE, 0, 0));
    ASSERT_TRUE(agent.WaitForExit(kWaitMs));
    ASSERT_TRUE(program.WaitForExit(kWaitMs)) << "the agent's close did not close the program";
    CConfigProcess second;
    ASSERT_TRUE(second.Start());

    // A new agent: the program tells it about its window as soon as the window appears. The
    // system's notice of the window reached the program before the agent's start returned, so
    // once the program has answered a message sent after it, its registration has arrived.
    CAgentProcess again;
    ASSERT_TRUE(again.Start());
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(second.Window(), WM_NULL, 0, 0, SMTO_BLOCK, kWaitMs, &answer), 0);
    ASSERT_TRUE(SendDeviceChange(again.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    EXPECT_TRUE(second.WaitForExit(kWaitMs)) << "the removal did not close the program";
    PostMessageW(again.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitForExit(kWaitMs));
}

// A window of the test's own with the agent's title: records what the program sends it, and
// whether it was sent or posted; answers nothing unless the test posts the agent's messages.
class CAgentStandIn {
public:
    struct Message {
        UINT msg;
        WPARAM wParam;
        bool sent;
        friend bool operator==(const Message&, const Message&) = default;
    };

    CAgentStandIn() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"K7AgentStandIn";
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"OrvexK7_Setting", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CAgentStandIn() { DestroyWindow(m_hWnd); }
    HWND Window() const { return m_hWnd; }
    std::vector<Message> received;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CAgentStandIn*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self != nullptr && msg >= WM_APPLY_SETTINGS && msg <= WM_RESTORE_FACTORY) {
            self->received.push_back({msg, wParam, InSendMessage() != FALSE});
            return 1;
        }
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
};

class ConfigApplyProtocol : public ConfigApply {
protected:
    void ExpectReceived(const std::vector<CAgentStandIn::Message>& expected, const char* context) {
        WaitUntil([&] { return standIn.received.size() >= expected.size(); });
        EXPECT_TRUE(standIn.received == expected) << context << ": " << standIn.received.size() << " messages\n"
                                                  << program.Events();
        standIn.received.clear();
    }
    WPARAM Program() const { return reinterpret_cast<WPARAM>(program.Window()); }
    // The program started, Apply pressed, and the stand-in's first progress shown.
    void StartAnApplyTheAgentBegins() {
        StartProgram();
        Click(Control(IDC_APPLY));
        ExpectReceived({{WM_REGISTER_CONFIG_WINDOW, Program(), true},
                        {WM_REGISTER_CONFIG_WINDOW, Program(), true},
                        {WM_APPLY_SETTINGS, 0, false}},
                       "at start and on Apply");
        PostMessageW(program.Window(), WM_APPLY_PROGRESS, 0, 25);
        ASSERT_TRUE(WaitUntil([&] { return Percent() == 25; }));
    }

    CAgentStandIn standIn;
};

TEST_F(ConfigApplyProtocol, RegistersAtStartPostsTheApplyAndEndsIt) {
    StartProgram();
    ExpectReceived({{WM_REGISTER_CONFIG_WINDOW, Program(), true}}, "at start");
    Click(Control(IDC_APPLY));
    ExpectReceived({{WM_REGISTER_CONFIG_WINDOW, Program(), true}, {WM_APPLY_SETTINGS, 0, false}}, "on Apply");
    ASSERT_TRUE(WaitUntil([&] { return Text(Status()) == kApplying; }));

    // While it runs the other requests wait, and a second apply is refused.
    PostMessageW(program.Window(), WM_APPLY_PROGRESS, 0, 25);
    ASSERT_TRUE(WaitUntil([&] { return Percent() == 25; }));
    Click(Control(IDC_SET_RATE));
    ASSERT_TRUE(WaitUntil([&] { return Text(Status()) == kBusy; }));
    // Each refusal is waited for: the program takes posted messages before clicks, so the end
    // posted below could otherwise overtake a click still queued and let it start a request.
    for (const int id : {IDC_APPLY, IDC_RESTORE}) {
        SendMessageW(Status(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        Click(Control(id));
        ASSERT_TRUE(WaitUntil([&] { return Text(Status()) == kBusy; })) << "control " << id;
    }
    EXPECT_EQ(Percent(), 25);

    // A reset named by its code only, then the end.
    PostMessageW(program.Window(), WM_ASSIGNMENT_RESET, reinterpret_cast<WPARAM>(standIn.Window()), 0xE8);
    PostMessageW(program.Window(), WM_APPLY_PROGRESS, 0, 50);
    PostMessageW(program.Window(), WM_APPLY_PROGRESS, 0, 100);
    EXPECT_EQ(Result(), L"The agent reset a key to its factory function: the key with code 232");
    EXPECT_TRUE(standIn.received.empty()) << "a request went out during the apply";

    // Progress of nothing this program asked for changes nothing; the rate goes out again.
    PostMessageW(program.Window(), WM_APPLY_PROGRESS, 0, 50);
    ASSERT_TRUE(program.Activate());
    Click(Control(IDC_SET_RATE));
    ASSERT_TRUE(WaitUntil([&] { return Text(Status()).starts_with(L"The agent was asked to set the report rate"); }));
    EXPECT_EQ(Percent(), 100);
    ASSERT_EQ(standIn.received.size(), 1u);
    EXPECT_EQ(standIn.received[0].msg, WM_SET_REPORT_RATE);
    EXPECT_TRUE(standIn.received[0].sent);
}

TEST_F(ConfigApplyProtocol, TheAgentsCloseDuringAnApplyEndsItAndTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAnApplyTheAgentBegins());
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(kWaitMs, &code));
    EXPECT_EQ(code, 0u);
    // Without edits to keep, the next start is still told that the apply was cut short (the
    // stand-in runs on after the close: the keyboard was removed).
    char note[128] = {};
    if (FILE* file = _wfopen(ProgramDataFile(L"closed.txt").c_str(), L"rb")) {
        fread(note, 1, sizeof note - 1, file);
        fclose(file);
    }
    EXPECT_STREQ(note, "reason: keyboard removed during an apply\r\n");
}

TEST_F(ConfigApplyProtocol, NoFirstProgressInTimeIsSaid) {
    StartProgram();
    Click(Control(IDC_APPLY));
    EXPECT_EQ(Result(),
              L"The K7 agent did not begin the apply in time; the settings are stored, but the keyboard "
              L"may not hold them");
    EXPECT_EQ(Percent(), 0);
}

// An agent that ends abnormally posts nothing: the apply ends when its window is gone, and the
// program runs on.
TEST_F(ConfigApplyProtocol, AnAgentWindowGoneWithoutAWordEndsTheApply) {
    ASSERT_NO_FATAL_FAILURE(StartAnApplyTheAgentBegins());
    DestroyWindow(standIn.Window());
    EXPECT_EQ(Result(), L"The apply ended: the keyboard was removed or the agent is ending");
    EXPECT_TRUE(IsWindow(program.Window()));
}

}  // namespace
