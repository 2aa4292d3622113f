// K7_Config.exe under Wine, a key assigned as a person does it: the dialog opened by a double
// click, by Enter and from the menu; every kind chosen from its list and shown on the key in its
// words and colour; keys pressed into the capture field, those the dialog would act on
// included; combinations pressed together, equal key sets in one slot, the meter, and the ninth
// refused before anything is written; the dialog at a second DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ConfigProcess.h"
#include "ConfigTestSupport.h"
#include "RegistryValues.h"
#include "config/win32/ConfigWindowClasses.h"
#include "keyconfig/win32/Win32Registry.h"

namespace {

// The dialog's lists, in the order the profile library's tables give them.
constexpr int kFactory = 0, kRemap = 1, kMedia = 2, kMouse = 3, kShortcut = 4, kMacro = 5, kCombination = 6;
constexpr int kMute = 7, kDoubleClick = 9, kCut = 5, kTab = 68;

class AssignDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override {
        ASSERT_EQ(Layout()[0].name, u"Esc") << "ButtonPos.xml is not beside the test";
        // A produces B; twelve macros, of which the first eleven reach the keyboard. The stored
        // values keep no names: the program reads them as "macro1" to "macro12".
        Profile profile;
        profile.keys[Record(u"A")] = {AssignKeyRemap, 0x42};
        for (int i = 1; i <= 12; ++i) profile.macros.push_back({"macro" + std::to_string(i), 1, {{0x41, true, 50}}});
        StoredSettings stored;
        EncodeProfile(profile, Layout(), stored);
        CWin32Registry registry;
        ASSERT_TRUE(WriteStoredSettings(registry, stored));
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.Activate());
    }

    HWND Control(int id) const { return GetDlgItem(m_hDialog, id); }
    HWND Meter() const { return GetDlgItem(program.Window(), IDC_METER); }

    // A double click on the key opens its dialog, with the focus on the kinds.
    void Open(std::u16string_view key) {
        Click(program.Key(Record(key)), true);
        ASSERT_TRUE(WaitUntil([&] { return (m_hDialog = program.AssignDialog()) != nullptr; }))
            << "no dialog for " << std::string(key.begin(), key.end()) << "\n"
            << program.Events();
        ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_ASSIGN_KIND); })) << program.Events();
    }
    // From the top of a list, as many steps down.
    static void Down(int steps) {
        Press(VK_HOME);
        for (int i = 0; i < steps; ++i) Press(VK_DOWN);
    }
    void Kind(int kind) {
        Down(kind);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(Control(IDC_ASSIGN_KIND), CB_GETCURSEL, 0, 0) == kind; }));
    }
    void Choose(int item) {
        Press(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_ASSIGN_LIST); }));
        Down(item);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(Control(IDC_ASSIGN_LIST), LB_GETCURSEL, 0, 0) == item; }));
    }
    void Ok() {
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(IDOK)) != FALSE; }))
            << "OK refused: " << Narrow(Text(Control(IDC_ASSIGN_VERDICT)));
        Click(Control(IDOK));
        ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; })) << program.Events();
    }
    void Cancel() {
        Click(Control(IDCANCEL));
        ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; }));
    }
    // The panel opened for `key` says `assignment`.
    void ExpectDetails(std::u16string_view key, const std::wstring& assignment) {
        const std::wstring start = L"Key: " + std::wstring(key.begin(), key.end()) + L"\r\n";
        EXPECT_TRUE(WaitUntil([&] {
            const std::wstring text = Text(program.Details());
            return text.starts_with(start) && text.ends_with(L"\r\nAssignment: " + assignment);
        })) << std::string(key.begin(), key.end())
            << ": " << Narrow(Text(program.Details()));
    }
    // The key's face beside its texts, as the screen shows it.
    static COLORREF Face(HWND key) {
        RECT r;
        GetWindowRect(key, &r);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, r.right - 6, (r.top + r.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return colour;
    }
    static std::string Narrow(const std::wstring& text) {
        std::string out;
        for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }

    CKeptValue m_kept[4] = {{kSettingsKey, L"KeySetting"},
                            {kSettingsKey, L"MacroSetting"},
                            {kSettingsKey, L"CombSetting"},
                            {kSettingsKey, L"RateSetting"}};
    CConfigProcess program;
    HWND m_hDialog = nullptr;
};

TEST_F(AssignDialog, EveryKindIsChosenFromItsListAndTheKeyShowsItInItsWordsAndColour) {
    Open(u"F1");
    EXPECT_EQ(AccessibleName(m_hDialog), L"Assign a function: F1");
    // A drop-down list is read by its selection under Wine (the window's text); each has a
    // label before it, which is its name where the system takes the name from the label.
    const std::pair<int, const wchar_t*> names[] = {
        {IDC_ASSIGN_KIND_LABEL, L"Function kind"},
        {IDC_ASSIGN_KIND, L"Factory function"},
        {IDC_ASSIGN_LIST_LABEL, L"Function"},
        {IDC_ASSIGN_LIST, L"Function"},
        {IDC_ASSIGN_CAPTURE_LABEL, L"Press a key"},
        {IDC_ASSIGN_CAPTURE, L"Enter or a click, then the key"},
        {IDC_ASSIGN_VERDICT, L"The keyboard can hold this assignment"},
        {IDC_ASSIGN_KEYS_LABEL, L"Combination keys"},
        {IDC_ASSIGN_KEY1 + 3, L"(none)"},
        {IDC_ASSIGN_SINGLE, L"New single key"},
        {IDC_ASSIGN_TOGETHER, L"New combination"},
        {IDOK, L"OK"},
        {IDCANCEL, L"Cancel"},
    };
    for (auto [id, name] : names) EXPECT_EQ(AccessibleName(Control(id)), name) << id;
    EXPECT_EQ(SendMessageW(Control(IDC_ASSIGN_KIND), CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(SendMessageW(Control(IDC_ASSIGN_KIND), CB_GETCURSEL, 0, 0), kFactory) << "F1 has its factory function";

    struct Case {
        const char16_t* key;
        int kind, item;
        const wchar_t* details;
        COLORREF face;
        int count;  // of the kind's list
    };
    const Case cases[] = {
        {u"F1", kMedia, kMute, L"Mute (5, 7)", RGB(196, 236, 196), 18},
        {u"F2", kMouse, kDoubleClick, L"Double click (3, 10)", RGB(255, 218, 176), 16},
        {u"F3", kShortcut, kCut, L"Cut (Ctrl+X) (6, 1)", RGB(224, 204, 255), 14},
        {u"F4", kRemap, kTab, L"\u00BB Tab (9, 9)", RGB(189, 215, 255), 104},
        {u"F5", kMacro, 0, L"macro1 (4, 0)", RGB(255, 196, 196), 12},
        {u"A", kFactory, 0, L"Factory function (1, 0)", RGB(240, 240, 240), 1},
    };
    for (const Case& c : cases) {
        if (m_hDialog == nullptr) Open(c.key);
        Kind(c.kind);
        EXPECT_EQ(SendMessageW(Control(IDC_ASSIGN_LIST), LB_GETCOUNT, 0, 0), c.count);
        Choose(c.item);
        Ok();
        m_hDialog = nullptr;
        ExpectDetails(c.key, c.details);
        EXPECT_TRUE(WaitUntil([&] { return Face(program.Key(Record(c.key))) == c.face; }))
            << Narrow(c.details) << ": face " << std::hex << Face(program.Key(Record(c.key)));
    }

    // The twelfth macro is listed, says that it does not reach the keyboard, and is not taken.
    Open(u"F6");
    Kind(kMacro);
    Choose(11);
    wchar_t item[128] = {};
    SendMessageW(Control(IDC_ASSIGN_LIST), LB_GETTEXT, 11, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"macro12 (does not reach the keyboard: only the first eleven macros do)");
    EXPECT_TRUE(WaitUntil([&] {
        return Text(Control(IDC_ASSIGN_VERDICT)) ==
               L"key \"F6\": macro \"macro12\" is number 12 in the list; only the first 11 reach the keyboard";
    })) << Narrow(Text(Control(IDC_ASSIGN_VERDICT)));
    EXPECT_FALSE(IsWindowEnabled(Control(IDOK)));
    Press(VK_RETURN);  // the default button, refused
    Cancel();
    ExpectDetails(u"F6", L"Factory function (1, 0)");
}

TEST_F(AssignDialog, TheCaptureFieldTakesTheNextKeyEvenOneTheDialogWouldActOn) {
    // From the menu, by the keyboard alone: Alt, then the Key menu's and its item's access keys.
    Click(program.Key(Record(u"Z")));
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Key(Record(u"Z")); }));
    Strokes({{VK_MENU, false}, {'Y', false}, {'Y', true}, {VK_MENU, true}});
    Press('A');
    ASSERT_TRUE(WaitUntil([&] { return (m_hDialog = program.AssignDialog()) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_ASSIGN_KIND); }));
    Kind(kRemap);
    // The field's label takes the focus to it; Enter arms it, and the next key is taken as it is.
    Strokes({{VK_MENU, false}, {'P', false}, {'P', true}, {VK_MENU, true}});
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_ASSIGN_CAPTURE); }));
    const auto take = [&](std::initializer_list<KeyStroke> strokes, const wchar_t* taken) {
        Press(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return Text(Control(IDC_ASSIGN_CAPTURE)).starts_with(L"Press the key now"); }));
        Strokes(strokes);
        EXPECT_TRUE(WaitUntil([&] { return Text(Control(IDC_ASSIGN_CAPTURE)) == taken; }))
            << Narrow(taken) << ": " << Narrow(Text(Control(IDC_ASSIGN_CAPTURE)));
        EXPECT_EQ(program.AssignDialog(), m_hDialog) << "the dialog acted on the key";
        EXPECT_EQ(program.Focus(), Control(IDC_ASSIGN_CAPTURE));
    };
    take({{VK_ESCAPE, false}, {VK_ESCAPE, true}}, L"Esc");
    take({{VK_TAB, false}, {VK_TAB, true}}, L"Tab");
    take({{VK_RMENU, false, true}, {VK_RMENU, true, true}}, L"RightAlt");
    take({{VK_RETURN, false, true}, {VK_RETURN, true, true}}, L"NumEnter");
    take({{VK_LSHIFT, false}, {VK_LSHIFT, true}}, L"LeftShift");
    // A key the keyboard cannot produce is named and leaves the choice as it was.
    Press(VK_RETURN);
    Strokes({{VK_F13, false}, {VK_F13, true}});
    EXPECT_TRUE(WaitUntil([&] {
        return Text(Control(IDC_ASSIGN_CAPTURE)).starts_with(L"The keyboard cannot produce this key: ");
    })) << Narrow(Text(Control(IDC_ASSIGN_CAPTURE)));
    // Still armed: the next key is taken.
    Strokes({{'Q', false}, {'Q', true}});
    EXPECT_TRUE(WaitUntil([&] { return Text(Control(IDC_ASSIGN_CAPTURE)) == L"Q"; }));
    // Once taken, Tab goes on to OK and Enter there takes the choice.
    Press(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDOK); }));
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; }));
    ExpectDetails(u"Z", L"\u00BB Q (9, 81)");
}

TEST_F(AssignDialog, CombinationsPressedTogetherShareEqualSlotsAndTheNinthIsRefusedBeforeWriting) {
    const std::wstring empty =
        L"Combination slots used: 0 / 8 (keyboard in its factory state), 0 / 8 (after the values last applied)";
    EXPECT_EQ(Text(Meter()), empty);
    EXPECT_EQ(AccessibleName(Meter()), empty);
    const auto combine = [&](std::u16string_view key, int button, std::initializer_list<KeyStroke> strokes) {
        Open(key);
        Kind(kCombination);
        // The kind's controls show once the dialog has taken the new kind.
        ASSERT_TRUE(
            WaitUntil([&] { return IsWindowVisible(Control(button)) && !IsWindowVisible(Control(IDC_ASSIGN_LIST)); }));
        Click(Control(button));
        ASSERT_TRUE(WaitUntil([&] { return Text(Control(IDC_ASSIGN_CAPTURE)).starts_with(L"Press the keys now"); }))
            << std::string(key.begin(), key.end()) << ": " << Narrow(Text(Control(IDC_ASSIGN_CAPTURE))) << "\n"
            << program.Events();
        Strokes(strokes);
        ASSERT_TRUE(WaitUntil([&] { return !Text(Control(IDC_ASSIGN_CAPTURE)).starts_with(L"Press the keys now"); }));
    };
    const auto picked = [&](int slot) {
        wchar_t text[64] = {};
        HWND keys = Control(IDC_ASSIGN_KEY1 + slot);
        SendMessageW(keys, CB_GETLBTEXT, SendMessageW(keys, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };

    // A single key with its modifiers: taken when the key goes down.
    combine(
        u"F1", IDC_ASSIGN_SINGLE,
        {{VK_LCONTROL, false}, {VK_LSHIFT, false}, {'C', false}, {'C', true}, {VK_LSHIFT, true}, {VK_LCONTROL, true}});
    EXPECT_EQ(picked(0), L"LeftCtrl");
    EXPECT_EQ(picked(1), L"LeftShift");
    EXPECT_EQ(picked(2), L"C");
    EXPECT_EQ(picked(3), L"(none)");
    Ok();
    ExpectDetails(u"F1", L"LeftCtrl+LeftShift+C (8, 0)");

    // Seven more, pressed together: the keys are taken when the last is released.
    const char16_t* keys[] = {u"F2", u"F3", u"F4", u"F5", u"F6", u"F7", u"F8"};
    for (int i = 0; i < 7; ++i) {
        const WORD digit = static_cast<WORD>('1' + i);
        combine(keys[i], IDC_ASSIGN_TOGETHER,
                {{VK_RCONTROL, false, true}, {digit, false}, {VK_RCONTROL, true, true}, {digit, true}});
        Ok();
        const std::wstring used = std::to_wstring(i + 2);
        EXPECT_TRUE(WaitUntil([&] { return Text(Meter()).starts_with(L"Combination slots used: " + used + L" / 8"); }))
            << Narrow(Text(Meter()));
    }
    ExpectDetails(u"F8", L"RightCtrl+7 (8, 7)");
    EXPECT_TRUE(WaitUntil([&] { return Face(program.Key(Record(u"F8"))) == RGB(255, 240, 160); }));
    const std::wstring full =
        L"Combination slots used: 8 / 8 (keyboard in its factory state), 8 / 8 (after the "
        L"values last applied); all are used: a further combination would be refused";
    EXPECT_EQ(Text(Meter()), full);

    // The same keys again share a slot.
    combine(u"F9", IDC_ASSIGN_TOGETHER,
            {{VK_RCONTROL, false, true}, {'1', false}, {'1', true}, {VK_RCONTROL, true, true}});
    EXPECT_EQ(Text(Control(IDC_ASSIGN_VERDICT)), L"The keyboard can hold this assignment");
    Ok();
    ExpectDetails(u"F9", L"RightCtrl+1 (8, 1)");
    EXPECT_EQ(Text(Meter()), full);

    // A ninth key set: said and refused; the agent would have reset the last key it places.
    combine(u"F10", IDC_ASSIGN_TOGETHER,
            {{VK_RCONTROL, false, true}, {'9', false}, {'9', true}, {VK_RCONTROL, true, true}});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Control(IDOK)); }));
    EXPECT_EQ(Text(Control(IDC_ASSIGN_VERDICT)),
              L"key \"F10\": no combination slot left; the keyboard holds 8 distinct combinations and shortcuts");
    Press(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return program.AssignDialog() == nullptr; }));
    ExpectDetails(u"F10", L"Factory function (1, 0)");
    EXPECT_EQ(Text(Meter()), full);
}

TEST_F(AssignDialog, TheDialogScalesWithTheScreensDpi) {
    // At the 96 dpi of the test's screen, then a program started at 144 (Wine reads LogPixels
    // at a program's start).
    Open(u"Esc");
    const RECT ok96 = ClientRectOf(Control(IDOK), m_hDialog);
    const RECT list96 = ClientRectOf(Control(IDC_ASSIGN_LIST), m_hDialog);
    Cancel();
    EXPECT_EQ(ok96.right - ok96.left, 88);
    EXPECT_EQ(ok96.bottom - ok96.top, 26);

    CKeptValue keptDpi(L"Control Panel\\Desktop", L"LogPixels");
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi),
              ERROR_SUCCESS);
    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000));
    CConfigProcess large;
    ASSERT_TRUE(large.Start());
    ASSERT_TRUE(large.Activate());
    Click(large.Key(Record(u"Esc")), true);
    ASSERT_TRUE(WaitUntil([&] { return (m_hDialog = large.AssignDialog()) != nullptr; }));
    const RECT ok = ClientRectOf(Control(IDOK), m_hDialog);
    const RECT list = ClientRectOf(Control(IDC_ASSIGN_LIST), m_hDialog);
    EXPECT_EQ(ok.right - ok.left, 132);
    EXPECT_EQ(ok.bottom - ok.top, 39);
    EXPECT_EQ(2 * list.left, 3 * list96.left);
    EXPECT_EQ(2 * (list.right - list.left), 3 * (list96.right - list96.left));
    RECT frame;
    GetWindowRect(m_hDialog, &frame);
    EXPECT_LE(frame.bottom - frame.top, GetSystemMetrics(SM_CYSCREEN)) << "the dialog leaves the screen";
}

}  // namespace
