// K7_Config.exe with the real agent and the virtual keyboard: the report rate chosen in its
// window reaches the keyboard, the factory restore happens only after a yes, and without the
// agent the window says that nothing was sent.
#include "ConfigTestSupport.h"
#include "ConfigWithAgent.h"

#include "config/win32/ConfigWindowClasses.h"
#include "keyconfig/DeviceKeyTable.h"

namespace {

TEST_F(ConfigWithAgent, TheReportRateChosenFromTheKeyboardReachesTheKeyboard) {
    StartAgent();
    StartProgram();
    EXPECT_EQ(AccessibleName(Control(IDC_RATE_LABEL)), L"Report rate");
    EXPECT_EQ(AccessibleName(Control(IDC_SET_RATE)), L"Set rate");
    EXPECT_EQ(AccessibleName(Control(IDC_RESTORE)), L"Restore factory state");

    // From the chosen key: Tab to the codes, the first code and the one after it, Tab to the
    // button, Space presses it.
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Key(0); }));
    Press(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_RATE); })) << "Tab did not reach the codes";
    Press(VK_HOME);
    Press(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(Control(IDC_RATE), CB_GETCURSEL, 0, 0) == 1; }));
    Press(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == Control(IDC_SET_RATE); }));
    Press(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return State()->reportRate == 2; }))
        << "the keyboard's rate is " << int(State()->reportRate);
    // The keyboard has the rate before the agent's answer reaches the program.
    EXPECT_TRUE(WaitUntil([&] { return !Text(Status()).empty(); }));
    EXPECT_EQ(Text(Status()), L"The agent was asked to set the report rate: Code 2 (2 ms, assumed)");
}

TEST_F(ConfigWithAgent, TheFactoryRestoreHappensOnlyAfterAYes) {
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kZeroTable)) << k7testbed::KeyboardError();
    StartAgent();
    StartProgram();

    Click(Control(IDC_RESTORE));
    HWND box = program.Dialog();
    ASSERT_NE(box, nullptr) << "no confirmation";
    Click(GetDlgItem(box, IDNO));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Text(Status()), L"");
    EXPECT_EQ(State()->tablesReceived, 0u) << "a table was written after No";

    Click(Control(IDC_RESTORE));
    box = program.Dialog();
    ASSERT_NE(box, nullptr) << "no confirmation the second time";
    Click(GetDlgItem(box, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return !Text(Status()).empty(); }));
    EXPECT_EQ(Text(Status()),
              L"The agent was asked to restore the keyboard's factory state; the stored settings are unchanged");
    const auto state = State();
    EXPECT_EQ(state->tablesReceived, 1u);
    EXPECT_TRUE(state->table == FactoryKeyTable()) << "the keyboard does not hold the factory table";
}

TEST_F(ConfigWithAgent, WithoutTheAgentTheWindowSaysThatNothingWasSent) {
    StartProgram();
    Click(Control(IDC_SET_RATE));
    ASSERT_TRUE(WaitUntil([&] { return !Text(Status()).empty(); }));
    EXPECT_EQ(Text(Status()), L"The K7 agent (K7_Setting.exe) is not running; nothing was sent");
    EXPECT_EQ(State()->reportRate, 0) << "a rate reached the keyboard";
}

}  // namespace
