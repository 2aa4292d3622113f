// k7ctl.exe against the real agent and the test bed's virtual keyboard: what the keyboard
// holds afterwards is what `plan` says an apply sends.
#include "K7ctlRun.h"
#include "Plan.h"
#include "ProfileJson.h"
#include "app/Messages.h"
#include "k7testbed/StartProcess.h"
#include "k7testbed/VirtualKeyboard.h"
#include "xml/ButtonPositions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class K7ctlWithAgent : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvex");
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        std::wstring command = L"\"" + BinPath(L"K7_Setting", L"exe") + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        ASSERT_TRUE(k7testbed::StartProcess(nullptr, command.data(), FALSE, 0, &si, &m_agent));
        for (int i = 0; i < 100 && !m_hAgent; ++i, Sleep(100))
            m_hAgent = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
        ASSERT_NE(m_hAgent, nullptr);
        LoadButtonPositions(reinterpret_cast<const char16_t*>(BinPath(L"ButtonPos", L"xml").c_str()), m_layout);
    }
    void TearDown() override {
        if (m_hAgent) PostMessageW(m_hAgent, WM_CLOSE, 0, 0);
        if (m_agent.hProcess) {
            if (WaitForSingleObject(m_agent.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(m_agent.hProcess, 1);
            CloseHandle(m_agent.hThread);
            CloseHandle(m_agent.hProcess);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvex");
    }

    Profile ExampleProfile() {
        std::ifstream f(std::filesystem::path(Example()), std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        Profile p;
        EXPECT_TRUE(ReadProfile(s.str(), "gaming.json", m_layout, p).empty());
        return p;
    }

    PROCESS_INFORMATION m_agent{};
    HWND m_hAgent = nullptr;
    ButtonPosTable m_layout;
};

}  // namespace

TEST_F(K7ctlWithAgent, TheKeyboardHoldsWhatThePlanSays) {
    const RunResult r = K7ctl(L"apply \"" + Example() + L"\"");
    ASSERT_EQ(r.exitCode, 0u) << r.out << r.err;
    const ApplyPlan plan = PlanApply(ExampleProfile(), m_layout);
    oxkbd::State state{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state)) << k7testbed::KeyboardError();
    EXPECT_EQ(state.table, plan.table);
    EXPECT_EQ(state.reportRate, 2);
    for (const PlanMacro& m : plan.macros) {
        EXPECT_EQ(state.macros[m.number][0], m.number);
        EXPECT_EQ(std::memcmp(state.macros[m.number] + 1, m.content.data(), m.content.size()), 0) << int(m.number);
    }
    for (const PlanCombination& c : plan.combinations) {
        EXPECT_EQ(state.combinations[c.slot][0], c.slot);
        EXPECT_EQ(std::memcmp(state.combinations[c.slot] + 1, c.keys.data(), c.keys.size()), 0) << int(c.slot);
    }
}

TEST_F(K7ctlWithAgent, RateFactoryAndExportRoundTrip) {
    ASSERT_EQ(K7ctl(L"apply \"" + Example() + L"\"").exitCode, 0u);
    const auto keys = Stored(L"KeySetting"), macros = Stored(L"MacroSetting"), combs = Stored(L"CombSetting");
    const std::wstring exported = BinPath(L"agent-export", L"json");
    ASSERT_EQ(K7ctl(L"export \"" + exported + L"\"").exitCode, 0u);
    ASSERT_EQ(K7ctl(L"apply \"" + exported + L"\"").exitCode, 0u);
    EXPECT_EQ(Stored(L"KeySetting"), keys);
    EXPECT_EQ(Stored(L"MacroSetting"), macros);
    EXPECT_EQ(Stored(L"CombSetting"), combs);

    ASSERT_EQ(K7ctl(L"rate 8").exitCode, 0u);
    oxkbd::State state{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state));
    EXPECT_EQ(state.reportRate, 8);
    ASSERT_EQ(K7ctl(L"factory --yes").exitCode, 0u);
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state));
    EXPECT_EQ(state.table, FactoryKeyTable());
    const RunResult s = K7ctl(L"status");
    EXPECT_NE(s.out.find("agent:    running\nkeyboard: present\n"), std::string::npos) << s.out;
}
