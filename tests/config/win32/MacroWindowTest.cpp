// The macros window of K7_Config.exe under Wine, driven as a person does: opened from the menu
// with the keyboard, macros created, renamed, duplicated, moved and deleted with the keys that
// play them named first; a macro recorded from real key events whose own time stamps carry
// known gaps, its events edited and moved; and the recorded macro, applied by the real agent,
// on the virtual keyboard.
#include "AgentOnKeyboard.h"
#include "ConfigProcess.h"
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KeyNames.h"
#include "ProfileEdit.h"
#include "RegistryValues.h"
#include "config/win32/ConfigWindowClasses.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/Utf8Text.h"

namespace {

// By WM_GETTEXT: GetWindowTextW reads another process's edit field as empty, since the field
// keeps its text itself.
// A list box's rows, read from the other process (the system carries LB_GETTEXT across).
std::vector<std::wstring> Rows(HWND list) {
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        // The list was refilled meanwhile: no rows this time, the caller looks again.
        if (length < 0) return {};
        std::wstring row(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        if (got < 0 || got > length) return {};
        row.resize(static_cast<std::size_t>(got));
        rows.push_back(row);
    }
    return rows;
}

std::string Dump(const std::vector<std::wstring>& rows) {
    std::string out;
    for (const std::wstring& r : rows) out += "\n  " + Utf8FromUtf16(std::u16string(r.begin(), r.end()));
    return out;
}

INPUT Key(WORD vk, bool up, DWORD time = 0, DWORD flags = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags | (up ? KEYEVENTF_KEYUP : 0);
    input.ki.time = time;
    return input;
}

void Send(std::vector<INPUT> inputs) { SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)); }

void Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text)
        for (const bool up : {false, true}) {
            INPUT input = Key(0, up, 0, KEYEVENTF_UNICODE);
            input.ki.wScan = c;
            inputs.push_back(input);
        }
    Send(inputs);
}

// With Ctrl, as a person selects a field's whole text.
void SelectAll() { Send({Key(VK_CONTROL, false), Key('A', false), Key('A', true), Key(VK_CONTROL, true)}); }

class MacroWindow : public AgentOnKeyboard {
protected:
    void SetUp() override {
        AgentOnKeyboard::SetUp();
        // A user for whom nothing is stored: the program starts with the factory profile.
        for (const wchar_t* name : kStoredValues) {
            m_kept.emplace_back(std::make_unique<CKeptValue>(kSettingsKey, name));
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
        }
    }

    // Alt+M opens the Macros menu, E its item.
    void OpenMacros() {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.Activate());
        Send({Key(VK_MENU, false), Key('M', false), Key('M', true), Key(VK_MENU, true)});
        Press('E');
        ASSERT_TRUE(WaitUntil([&] {
            macros = FindWindowOfProcess(program.Id(), L"Macros", kMacrosClass);
            return macros != nullptr && GetForegroundWindow() == macros;
        })) << "the macros window did not open";
    }
    HWND Control(int id) const { return GetDlgItem(macros, id); }
    std::vector<std::wstring> MacroRows() const { return Rows(Control(IDC_MACRO_LIST)); }
    std::vector<std::wstring> EventRows() const { return Rows(Control(IDC_EVENT_LIST)); }
    // Once the control is enabled: the system gives a click on a disabled control to the window
    // under it, so a click queued while the program is still updating its buttons is lost.
    void ClickButton(int id) {
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(id)) != FALSE; }))
            << "control " << id << " stays disabled\n"
            << program.Events();
        Click(Control(id));
    }
    // Clicks into a field or list and waits until it has the focus.
    void ClickInto(int id) {
        Click(Control(id));
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == Control(id); })) << "control " << id << " has no focus\n"
                                                                               << program.Events();
    }
    // Chooses row `row` of a list from the keyboard: the list's first row, then Down.
    void ChooseRow(int id, int row) {
        ClickInto(id);
        Press(VK_HOME);
        for (int i = 0; i < row; ++i) Press(VK_DOWN);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(Control(id), LB_GETCURSEL, 0, 0) == row; }));
    }

    static constexpr const wchar_t* kStoredValues[] = {L"KeySetting", L"MacroSetting", L"CombSetting", L"RateSetting"};
    std::vector<std::unique_ptr<CKeptValue>> m_kept;
    CConfigProcess program;
    HWND macros = nullptr;
};

TEST_F(MacroWindow, TheListIsEditedByNameAndMovingOrDeletingKeepsEachKeysMacro) {
    OpenMacros();
    EXPECT_EQ(AccessibleName(macros), L"Macros");
    for (auto [id, name] : std::initializer_list<std::pair<int, const wchar_t*>>{
             {IDC_MACRO_LIST, L"Macros"},
             {IDC_MACRO_NEW, L"New macro"},
             {IDC_MACRO_RENAME, L"Rename"},
             {IDC_MACRO_DUPLICATE, L"Duplicate"},
             {IDC_MACRO_DELETE, L"Delete"},
             {IDC_MACRO_UP, L"Move up"},
             {IDC_MACRO_DOWN, L"Move down"},
             {IDC_EVENT_LIST, L"Events"},
             {IDC_EVENT_ADD, L"Add event"},
             {IDC_EVENT_CHANGE, L"Change event"},
             {IDC_EVENT_DELETE, L"Delete event"},
             {IDC_EVENT_UP, L"Event up"},
             {IDC_EVENT_DOWN, L"Event down"},
             {IDC_RECORD, L"Start recording"},
             {IDC_FIXED, L"One fixed delay for every event (off: the recorded delays)"}})
        EXPECT_EQ(AccessibleName(Control(id)), name) << id;
    EXPECT_EQ(Text(Control(IDC_MACRO_COUNT)), L"Macro numbers left on the keyboard: 11/11; macros stored: 0/100");

    // Alt+N makes a macro, the name field takes the focus, Enter renames it.
    Send({Key(VK_MENU, false), Key('N', false), Key('N', true), Key(VK_MENU, true)});
    ASSERT_TRUE(WaitUntil([&] { return MacroRows().size() == 1; }));
    EXPECT_EQ(MacroRows()[0], L"1\tNew macro\ton the keyboard");
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_MACRO_NAME); }));
    Type(L"burst");
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return MacroRows()[0] == L"1\tburst\ton the keyboard"; })) << Dump(MacroRows());
    // Twelve in all, the copies right below the original.
    for (int i = 0; i < 11; ++i) ClickButton(IDC_MACRO_DUPLICATE);
    ASSERT_TRUE(WaitUntil([&] { return MacroRows().size() == 12; })) << Dump(MacroRows());
    EXPECT_EQ(MacroRows()[1], L"2\tburst 2\ton the keyboard") << Dump(MacroRows());
    EXPECT_EQ(MacroRows()[10], L"11\tburst 11\ton the keyboard");
    EXPECT_EQ(MacroRows()[11], L"12\tburst 12\tstored only: the keyboard holds macros 1 to 11");
    EXPECT_EQ(Text(Control(IDC_MACRO_COUNT)), L"Macro numbers left on the keyboard: 0/11; macros stored: 12/100");
    // A name the list has is refused with the checker's words.
    ClickInto(IDC_MACRO_NAME);
    SelectAll();
    Type(L"burst");
    ClickButton(IDC_MACRO_RENAME);
    EXPECT_TRUE(WaitUntil([&] {
        return Text(Control(IDC_MACRO_STATUS)) == L"macro \"burst\": the name is used twice";
    })) << Dump({Text(Control(IDC_MACRO_STATUS))});

    // Move up puts the twelfth on the keyboard and the eleventh off it.
    ClickButton(IDC_MACRO_UP);
    ASSERT_TRUE(WaitUntil([&] { return MacroRows()[10] == L"11\tburst 12\ton the keyboard"; })) << Dump(MacroRows());
    EXPECT_EQ(MacroRows()[11], L"12\tburst 11\tstored only: the keyboard holds macros 1 to 11");
    EXPECT_EQ(SendMessageW(Control(IDC_MACRO_LIST), LB_GETCURSEL, 0, 0), 10) << "the moved macro stays chosen";
}

TEST_F(MacroWindow, TheWindowIsSizedForTheScreensDpi) {
    // 144 dots per inch, as Wine takes it from the user's LogPixels at a program's start.
    CKeptValue keptDpi(L"Control Panel\\Desktop", L"LogPixels");
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi),
              ERROR_SUCCESS);
    OpenMacros();
    RECT client{}, record{};
    GetClientRect(macros, &client);
    GetWindowRect(Control(IDC_RECORD), &record);
    // The controls grow by half; the window does too, up to the screen's size (Wine's desktop
    // is 1024 pixels wide).
    RECT frame{};
    GetWindowRect(macros, &frame);
    EXPECT_LE(frame.right - frame.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(frame.bottom - frame.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.top, 0);
    EXPECT_EQ(client.bottom, 456 * 3 / 2);
    EXPECT_EQ(record.right - record.left, 210 * 3 / 2);
    EXPECT_EQ(record.bottom - record.top, 26 * 3 / 2);
}

TEST_F(MacroWindow, MovedMacrosStayOnTheirKeysAndADeletionNamesThemFirst) {
    // Stored: three macros, F1 to F3 playing them in order.
    Profile stored;
    for (const char* name : {"one", "two", "three"}) AddMacro(stored, {name, 1, {{0x41, true, 0}, {0x41, false, 50}}});
    const ButtonPosTable& layout = Layout();
    const auto key = [&](std::u16string_view name) {
        for (std::size_t i = 0; i < layout.size(); ++i)
            if (layout[i].name == name) return i;
        ADD_FAILURE() << "no key of that name";
        return std::size_t{0};
    };
    for (std::int32_t i = 0; i < 3; ++i) {
        const std::u16string name = u"F" + std::u16string(1, static_cast<char16_t>(u'1' + i));
        ASSERT_TRUE(SetKeyFunction(stored, key(name), {AssignMacro, i}));
    }
    CWin32Registry registry;
    ASSERT_TRUE(WriteProfile(registry, stored, layout));

    OpenMacros();
    ASSERT_TRUE(WaitUntil([&] { return MacroRows().size() == 3; })) << Dump(MacroRows());
    // Stored values name their macros by number: the program reads them as macro1 to macro3.
    EXPECT_EQ(MacroRows()[0], L"1\tmacro1\ton the keyboard") << Dump(MacroRows());
    // The first down twice, from the keyboard: Alt+W is Move down.
    ChooseRow(IDC_MACRO_LIST, 0);
    for (int i = 0; i < 2; ++i) Send({Key(VK_MENU, false), Key('W', false), Key('W', true), Key(VK_MENU, true)});
    ASSERT_TRUE(WaitUntil([&] { return MacroRows()[2] == L"3\tmacro1\ton the keyboard"; })) << Dump(MacroRows());
    EXPECT_EQ(MacroRows()[0], L"1\tmacro2\ton the keyboard");

    // Deleting it names F1 first; No keeps it.
    ClickButton(IDC_MACRO_DELETE);
    HWND box = program.Dialog();
    ASSERT_NE(box, nullptr) << "no question before the deletion";
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)),
              L"Delete the macro? These keys play it and get their factory function back:\r\nF1");
    Click(GetDlgItem(box, IDNO));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    // Back in front, the focus where it was.
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_MACRO_DELETE); }));
    EXPECT_EQ(MacroRows().size(), 3u);
    // The first row now is F2's.
    ChooseRow(IDC_MACRO_LIST, 0);
    ClickButton(IDC_MACRO_DELETE);
    box = program.Dialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)),
              L"Delete the macro? These keys play it and get their factory function back:\r\nF2");
    Click(GetDlgItem(box, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return MacroRows().size() == 2; }));
    EXPECT_EQ(MacroRows()[0], L"1\tmacro3\ton the keyboard") << Dump(MacroRows());
    EXPECT_EQ(MacroRows()[1], L"2\tmacro1\ton the keyboard");
}

}  // namespace

namespace {

// The device macro bytes a row list gives: number, repeat count (big-endian), then per event
// its delay in 50 ms steps with bit 7 for a press, and its HID usage.
struct DeviceEvent {
    std::uint8_t first, usage;
};

TEST_F(MacroWindow, ARecordingKeepsTheEventsOwnGapsAndReachesTheKeyboardAsEdited) {
    StartAgent();
    OpenMacros();
    ClickButton(IDC_MACRO_NEW);
    ASSERT_TRUE(WaitUntil([&] { return MacroRows().size() == 1 && program.Focus() == Control(IDC_MACRO_NAME); }));
    ClickButton(IDC_RECORD);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(WaitUntil([&] { return Text(Control(IDC_RECORD)) == L"Stop &recording (Ctrl+Break)"; }))
        << "thread flags " << (GetGUIThreadInfo(GetWindowThreadProcessId(macros, nullptr), &info) ? info.flags : ~0u);
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_RECORD); }));

    // Real key events in one batch, their own time stamps apart by known gaps: Tab, Alt, Esc
    // and Win would act on the windows if the recording let them through. Volume Up is no key
    // the keyboard can produce.
    const DWORD t0 = GetTickCount();
    const auto at = [&](DWORD ms) { return t0 + ms; };
    Send({Key(VK_TAB, false, at(0)), Key(VK_TAB, true, at(120)), Key(VK_LSHIFT, false, at(350)),
          Key('A', false, at(425)), Key('A', true, at(500)), Key(VK_LSHIFT, true, at(560)),
          Key(VK_RETURN, false, at(1000), KEYEVENTF_EXTENDEDKEY), Key(VK_RETURN, true, at(1049), KEYEVENTF_EXTENDEDKEY),
          Key(VK_LMENU, false, at(1300)), Key(VK_LMENU, true, at(1400)), Key(VK_ESCAPE, false, at(1500)),
          Key(VK_ESCAPE, true, at(1560)), Key(VK_LWIN, false, at(2000)), Key(VK_LWIN, true, at(2100)),
          Key(VK_VOLUME_UP, false, at(2200)), Key(VK_VOLUME_UP, true, at(2250)),
          Key(VK_RCONTROL, false, at(2300), KEYEVENTF_EXTENDEDKEY),
          Key(VK_RCONTROL, true, at(2350), KEYEVENTF_EXTENDEDKEY)});
    const std::vector<std::wstring> recorded = {
        L"1\tKey down\tTab\t0 ms",        L"2\tKey up\tTab\t100 ms",      L"3\tKey down\tLeftShift\t200 ms",
        L"4\tKey down\tA\t50 ms",         L"5\tKey up\tA\t50 ms",         L"6\tKey up\tLeftShift\t50 ms",
        L"7\tKey down\tNumEnter\t400 ms", L"8\tKey up\tNumEnter\t0 ms",   L"9\tKey down\tLeftAlt\t250 ms",
        L"10\tKey up\tLeftAlt\t100 ms",   L"11\tKey down\tEsc\t100 ms",   L"12\tKey up\tEsc\t50 ms",
        L"13\tKey down\tLeftWin\t400 ms", L"14\tKey up\tLeftWin\t100 ms", L"15\tKey down\tRightCtrl\t200 ms",
        L"16\tKey up\tRightCtrl\t50 ms",
    };
    // Shown as it is captured: the rows, and the last one in the status line.
    ASSERT_TRUE(WaitUntil([&] { return EventRows().size() == recorded.size(); })) << Dump(EventRows());
    EXPECT_EQ(EventRows(), recorded) << Dump(EventRows());
    EXPECT_EQ(Text(Control(IDC_MACRO_STATUS)), L"Recording (16): Key up RightCtrl 50 ms");
    EXPECT_EQ(program.Focus(), Control(IDC_RECORD)) << "Tab reached the window";
    EXPECT_TRUE(IsWindow(macros) && GetForegroundWindow() == macros) << "Esc or Win reached a window";
    for (const int vk : {VK_TAB, VK_LSHIFT, VK_LMENU, VK_LWIN, VK_RCONTROL, VK_VOLUME_UP})
        EXPECT_EQ(GetAsyncKeyState(vk) & 0x8000, 0) << "key " << vk << " is held down in the system";

    ClickButton(IDC_RECORD);
    ASSERT_TRUE(WaitUntil([&] { return Text(Control(IDC_RECORD)) == L"Start &recording"; }));
    EXPECT_EQ(EventRows(), recorded) << "the stop changed the recording";

    // Tab up moves below the Shift press and waits 275 ms, as typed: the keyboard's 250.
    ChooseRow(IDC_EVENT_LIST, 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(Control(IDC_EVENT_DELAY)) == L"100"; })) << "the chosen event's fields";
    EXPECT_EQ(Text(Control(IDC_EVENT_KEY)), L"Tab");
    EXPECT_EQ(Text(Control(IDC_EVENT_KIND)), L"Key up");
    ClickButton(IDC_EVENT_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return EventRows()[2] == L"3\tKey up\tTab\t100 ms"; })) << Dump(EventRows());
    EXPECT_EQ(EventRows()[1], L"2\tKey down\tLeftShift\t200 ms");
    ClickInto(IDC_EVENT_DELAY);
    SelectAll();
    Type(L"275");
    ClickButton(IDC_EVENT_CHANGE);
    ASSERT_TRUE(WaitUntil([&] { return EventRows()[2] == L"3\tKey up\tTab\t250 ms"; })) << Dump(EventRows());
    EXPECT_EQ(Text(Control(IDC_MACRO_LIMITS)),
              L"Events on the keyboard: 16/95; delays in steps of 50 ms, at most 6350 ms");

    // What the editor shows, stored with F1 playing it, and applied by the agent.
    Profile profile;
    ProfileMacro macro{"recorded", 1, {}};
    for (const std::wstring& row : EventRows()) {
        const std::size_t kind = row.find(L'\t'), name = row.find(L'\t', kind + 1), delay = row.find(L'\t', name + 1);
        const std::wstring key = row.substr(name + 1, delay - name - 1);
        macro.events.push_back(
            {static_cast<std::uint8_t>(CodeForName(VirtualKeyNames(), std::string(key.begin(), key.end()))),
             row.substr(kind + 1, name - kind - 1) == L"Key down",
             static_cast<std::uint32_t>(std::stoul(row.substr(delay + 1)))});
    }
    AddMacro(profile, macro);
    ASSERT_TRUE(SetKeyFunction(profile, 1, {AssignMacro, 0}));  // F1
    CWin32Registry registry;
    ASSERT_TRUE(WriteProfile(registry, profile, Layout()));
    ASSERT_TRUE(client.Apply(kWaitMs));
    ASSERT_TRUE(WaitUntil([&] { return State()->macros[1][0] == 1; })) << "no macro reached the keyboard";
    const DeviceEvent expected[] = {
        {0x80, 0x2B}, {0x84, 0xE1}, {0x05, 0x2B}, {0x81, 0x04}, {0x01, 0x04}, {0x01, 0xE1}, {0x88, 0x58}, {0x00, 0x58},
        {0x85, 0xE2}, {0x02, 0xE2}, {0x82, 0x29}, {0x01, 0x29}, {0x88, 0xE3}, {0x02, 0xE3}, {0x84, 0xE4}, {0x01, 0xE4},
    };
    std::uint8_t bytes[kMacroRequestSize] = {1, 0x00, 0x01};
    for (std::size_t j = 0; j < std::size(expected); ++j) {
        bytes[3 + 2 * j] = expected[j].first;
        bytes[4 + 2 * j] = expected[j].usage;
    }
    const auto state = State();
    for (std::size_t i = 0; i < kMacroRequestSize; ++i)
        EXPECT_EQ(state->macros[1][i], bytes[i]) << "device macro byte " << i;

    // One fixed delay for every event, typed into its field.
    ClickButton(IDC_FIXED);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(IDC_FIXED_DELAY)) != FALSE; }));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_EVENT_DELAY))) << "the events' own delays stay editable";
    ClickInto(IDC_FIXED_DELAY);
    SelectAll();
    Type(L"120");
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::wstring> rows = EventRows();
        return std::ranges::all_of(rows, [](const std::wstring& r) { return r.ends_with(L"\t100 ms"); });
    })) << Dump(EventRows());

    // From the keyboard alone: Alt+R starts a new recording, Ctrl+Break ends it, and the Ctrl
    // press that belongs to the stop is not recorded. Volume Up is refused by its name.
    Send({Key(VK_MENU, false), Key('R', false), Key('R', true), Key(VK_MENU, true)});
    ASSERT_TRUE(WaitUntil([&] { return Text(Control(IDC_RECORD)) == L"Stop &recording (Ctrl+Break)"; }));
    Send({Key(VK_VOLUME_UP, false), Key(VK_VOLUME_UP, true)});
    EXPECT_TRUE(WaitUntil([&] {
        const std::wstring status = Text(Control(IDC_MACRO_STATUS));
        return status.starts_with(L"The keyboard cannot produce this key: ") && status.size() > 38;
    })) << Dump({Text(Control(IDC_MACRO_STATUS))});
    Send({Key('B', false), Key('B', true), Key(VK_CONTROL, false), Key(VK_CANCEL, false), Key(VK_CANCEL, true),
          Key(VK_CONTROL, true)});
    ASSERT_TRUE(WaitUntil([&] { return Text(Control(IDC_RECORD)) == L"Start &recording"; }));
    EXPECT_EQ(EventRows(), (std::vector<std::wstring>{L"1\tKey down\tB\t100 ms", L"2\tKey up\tB\t100 ms"}))
        << Dump(EventRows());
    for (const int vk : {VK_CONTROL, VK_CANCEL, int{'B'}})
        EXPECT_EQ(GetAsyncKeyState(vk) & 0x8000, 0) << "key " << vk << " is held down in the system";
}

}  // namespace
