// K7_Config.exe under Wine, driven as a person would: the keys where ButtonPos.xml puts them and
// named for accessibility, chosen with the mouse and with the keyboard alone, their details with
// the profile read from what is stored, the picture scaled with the window and at a second DPI, and one window for two
// starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "AgentProcess.h"
#include "ConfigProcess.h"
#include "ConfigTestSupport.h"
#include "config/KeyboardLayout.h"
#include "config/win32/ConfigWindowClasses.h"
#include "keyconfig/SettingRecords.h"
#include "xml/ButtonPositions.h"

namespace {

class ConfigProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override {
        ASSERT_EQ(Layout()[0].name, u"Esc") << "ButtonPos.xml is not beside the test";
        // Esc plays media function 3, A produces B; every other key has its factory function.
        KeySetting keys{};
        for (int i = 0; i < kKeyAssignmentCount; ++i) {
            keys.records[i].vk = Layout()[i].vkcode;
            keys.records[i].Set(AssignDefault, 0);
        }
        keys.records[Record(u"Esc")].Set(AssignConsumer, 3);
        keys.records[Record(u"A")].Set(AssignKeyRemap, 0x42);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"KeySetting", REG_BINARY, &keys, sizeof keys),
                  ERROR_SUCCESS);
    }

    CKeptValue m_keptKeys{kSettingsKey, L"KeySetting"};
};

TEST_F(ConfigProgram, ShowsEveryKeyAtItsPlaceNamedForAccessibilityWithItsTip) {
    CConfigProcess program;
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(AccessibleName(program.Window()), L"Stored settings - K7 Gaming Keyboard");
    EXPECT_EQ(AccessibleName(program.Keyboard()), L"Keyboard");

    RECT client;
    GetClientRect(program.Keyboard(), &client);
    const CLayoutScale scale(PictureBounds(Layout()), {client.right, client.bottom}, 10);
    int keys = 0;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonPosRecord& record = Layout()[i];
        HWND key = program.Key(i);
        ASSERT_NE(key, nullptr) << i;
        ++keys;
        const std::wstring name(record.name.begin(), record.name.end());
        EXPECT_EQ(AccessibleName(key), name) << i;
        const RECT r = ClientRectOf(key, program.Keyboard());
        const KeyBox expected = scale.Map(record.rect);
        EXPECT_EQ((KeyBox{r.left, r.top, r.right, r.bottom}), expected) << "key " << i;
    }
    EXPECT_EQ(keys, 108);

    // One tip per key, in the tooltip window the program owns.
    HWND tooltip = nullptr;
    WaitUntil([&] {
        tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
        while (tooltip != nullptr && GetWindow(tooltip, GW_OWNER) != program.Window())
            tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
        return tooltip != nullptr;
    });
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 108);
}

TEST_F(ConfigProgram, AClickChoosesAKeyAndADoubleClickOpensItWithWhatIsStored) {
    CConfigProcess program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Activate());
    EXPECT_FALSE(IsWindowVisible(program.Details())) << "details before any key was opened";

    HWND w = program.Key(Record(u"W"));
    Click(w);
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == w; })) << "focus on " << program.Focus();
    EXPECT_FALSE(IsWindowVisible(program.Details())) << "a single click opened the key";

    HWND esc = program.Key(Record(u"Esc"));
    Click(esc, true);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Details()) && program.AssignDialog() != nullptr; }));
    EXPECT_EQ(Text(program.Details()), L"Key: Esc\r\nVirtual-key code: 0x1B\r\nAssignment: Previous track (5, 3)");
    EXPECT_EQ(AccessibleName(program.Details()), Text(program.Details()));
    // Esc leaves the dialog with nothing changed, and the focus back on the key.
    Press(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == esc; })) << "focus on " << program.Focus();

    // Open, the panel follows the chosen key.
    Click(w);
    EXPECT_TRUE(WaitUntil([&] { return Text(program.Details()).starts_with(L"Key: W\r\n"); }));
    EXPECT_EQ(Text(program.Details()), L"Key: W\r\nVirtual-key code: 0x57\r\nAssignment: Factory function (1, 0)");
    Click(program.Key(Record(u"A")));
    EXPECT_TRUE(WaitUntil([&] { return Text(program.Details()).starts_with(L"Key: A\r\n"); }));
    EXPECT_EQ(Text(program.Details()), L"Key: A\r\nVirtual-key code: 0x41\r\nAssignment: \u00BB B (9, 66)");
}

TEST_F(ConfigProgram, TheKeyboardAloneEntersMovesAndOpens) {
    CConfigProcess program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Activate());
    // The window opens with the keyboard's first key chosen.
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Key(Record(u"Esc")); }));
    // Tab goes round the window's tab stops (the codes, their button, Apply, the factory restore) and
    // back into the keyboard, where it finds the chosen key; each step waits for the one before.
    const auto tabRound = [&](HWND key) {
        for (int id : {IDC_RATE, IDC_SET_RATE, IDC_APPLY, IDC_RESTORE}) {
            Press(VK_TAB);
            EXPECT_TRUE(WaitUntil([&] { return program.Focus() == GetDlgItem(program.Window(), id); }))
                << "Tab did not reach control " << id;
        }
        Press(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == key; })) << "Tab did not come back into the keyboard";
    };
    tabRound(program.Key(Record(u"Esc")));

    // Each arrow lands on the nearest key that way.
    const std::pair<WORD, std::u16string_view> steps[] = {
        {VK_RIGHT, u"F1"}, {VK_LEFT, u"Esc"}, {VK_DOWN, u"`"}, {VK_DOWN, u"Tab"}, {VK_RIGHT, u"Q"}, {VK_UP, u"1"},
    };
    for (auto [vk, name] : steps) {
        Press(vk);
        HWND expected = program.Key(Record(name));
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == expected; }))
            << "on " << std::string(name.begin(), name.end()) << " focus is " << program.Focus();
    }
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() != nullptr; })) << "Enter opened nothing";
    EXPECT_TRUE(IsWindowVisible(program.Details()));
    EXPECT_EQ(Text(program.Details()), L"Key: 1\r\nVirtual-key code: 0x31\r\nAssignment: Factory function (1, 0)");
    Press(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Key(Record(u"1")); }));

    // The keyboard is one tab stop: the round comes back to the key chosen last.
    tabRound(program.Key(Record(u"1")));
}

TEST_F(ConfigProgram, TheKeysScaleWithTheWindowAndWithTheScreensDpi) {
    LONG details96 = 0;
    {
        CConfigProcess program;
        ASSERT_TRUE(program.Start());
        RECT r = ClientRectOf(program.Key(Record(u"Esc")), program.Keyboard());
        EXPECT_EQ(r.right - r.left, 38) << "a new window shows the picture at its own size";
        EXPECT_EQ(r.bottom - r.top, 38);
        const RECT details = ClientRectOf(program.Details(), program.Window());
        details96 = details.bottom - details.top;

        // Half as wide and high: every key half as large.
        RECT frame, keyboard;
        GetWindowRect(program.Window(), &frame);
        GetClientRect(program.Keyboard(), &keyboard);
        SetWindowPos(program.Window(), nullptr, 0, 0, frame.right - frame.left - keyboard.right / 2,
                     frame.bottom - frame.top - keyboard.bottom / 2, SWP_NOZORDER | SWP_NOMOVE);
        ASSERT_TRUE(WaitUntil([&] {
            GetClientRect(program.Keyboard(), &keyboard);
            return keyboard.right <= 459 + 1;
        }));
        // The picture fits the smaller of the two ratios, inside the margin.
        const double factor = std::min((keyboard.right - 20) / 898.0, (keyboard.bottom - 20) / 258.0);
        EXPECT_TRUE(WaitUntil([&] {
            r = ClientRectOf(program.Key(Record(u"Space")), program.Keyboard());
            return std::abs(r.right - r.left - 248 * factor) <= 1;
        })) << "Space is "
            << r.right - r.left << " wide for a factor of " << factor;
        EXPECT_NEAR(r.bottom - r.top, 38 * factor, 1);
    }
    {
        // A screen of 144 dots per inch (Wine takes it from the user's LogPixels at a program's
        // start). The picture at 1.5 times its size is wider than Wine's 1024-pixel desktop: the
        // window stays on the screen, and the texts grow by half.
        CKeptValue keptDpi(L"Control Panel\\Desktop", L"LogPixels");
        const DWORD dpi = 144;
        ASSERT_EQ(
            RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi),
            ERROR_SUCCESS);
        CConfigProcess program;
        ASSERT_TRUE(program.Start());
        RECT frame;
        GetWindowRect(program.Window(), &frame);
        EXPECT_LE(frame.right - frame.left, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(frame.bottom - frame.top, GetSystemMetrics(SM_CYSCREEN));
        const RECT details = ClientRectOf(program.Details(), program.Window());
        EXPECT_EQ(2 * (details.bottom - details.top), 3 * details96) << "the details panel did not follow the DPI";
        const RECT esc = ClientRectOf(program.Key(Record(u"Esc")), program.Keyboard());
        RECT keyboard;
        GetClientRect(program.Keyboard(), &keyboard);
        const double factor = (keyboard.right - 2 * 15) / 898.0;  // the margin is 10 at 96 dpi
        EXPECT_NEAR(esc.right - esc.left, 38 * factor, 1) << "the keys do not fill the window";
        EXPECT_GT(esc.right - esc.left, 38);
    }
}

TEST_F(ConfigProgram, ASecondStartBringsTheFirstWindowBack) {
    CConfigProcess first;
    ASSERT_TRUE(first.Start());
    ShowWindow(first.Window(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(first.Window()) != FALSE; }));

    CConfigProcess second;
    ASSERT_TRUE(second.Start(false));
    DWORD exitCode = 0xBAD;
    ASSERT_TRUE(second.WaitForExit(10000, &exitCode)) << "the second start stayed";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first.Window()) && GetForegroundWindow() == first.Window(); }))
        << "the first window was not brought back";
    int windows = 0;
    for (HWND w = FindWindowW(kConfigMainClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, kConfigMainClass, nullptr))
        ++windows;
    EXPECT_EQ(windows, 1);
}

}  // namespace
