// k7ctl.exe as a user runs it, against a stand-in agent window that answers the protocol
// as scripted, and the real registry of the test prefix.
#include "K7ctlRun.h"
#include "ProfileJson.h"
#include "RegistryValues.h"
#include "StoredEncoding.h"
#include "xml/Utf8Text.h"
#include "app/Messages.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/ButtonPositions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    friend bool operator==(const Message&, const Message&) = default;
};

std::ostream& operator<<(std::ostream& os, const Message& m) {
    return os << "{0x" << std::hex << m.msg << ", " << m.wParam << ", " << m.lParam << std::dec << "}";
}

// Steps of a stand-in's script that post nothing: for lParam ms the apply is held by the
// warning dialog (messages are answered) or the agent hangs (nothing is); or its window ends.
constexpr UINT kHeld = WM_APP + 1, kHung = WM_APP + 2, kGone = WM_APP + 3;

// A window titled like the agent, on its own thread. It records the requests (a registered
// window as 1, an unregistration as 0) and answers an apply with the scripted messages.
class CStandInAgent {
public:
    explicit CStandInAgent(std::vector<Message> script) : m_script(std::move(script)) {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, ready] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"K7StandInAgent";
            RegisterClassW(&wc);
            m_hWnd = CreateWindowExW(0, wc.lpszClassName, reinterpret_cast<const wchar_t*>(kTaskWindowTitle), WS_POPUP,
                                     1, 1, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
            SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            m_threadId = GetCurrentThreadId();
            SetEvent(ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            DestroyWindow(m_hWnd);
        });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
    }
    ~CStandInAgent() {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    const std::vector<Message>& Requests() const { return m_requests; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CStandInAgent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
        switch (msg) {
        case WM_REGISTER_CONFIG_WINDOW:
            self->m_hConfig = reinterpret_cast<HWND>(wParam);
            self->m_requests.push_back({msg, wParam != 0, 0});
            return 0;
        case WM_APPLY_SETTINGS:
            self->m_requests.push_back({msg, wParam, lParam});
            for (const Message& m : self->m_script) {
                if (m.msg == kHeld)
                    Pump(static_cast<DWORD>(m.lParam));
                else if (m.msg == kHung)
                    Sleep(static_cast<DWORD>(m.lParam));
                else if (m.msg == kGone)
                    DestroyWindow(hwnd);
                else
                    PostMessageW(self->m_hConfig, m.msg,
                                 m.msg == WM_ASSIGNMENT_RESET ? reinterpret_cast<WPARAM>(hwnd) : 0, m.lParam);
            }
            return 1;
        case WM_SET_REPORT_RATE:
        case WM_RESTORE_FACTORY: self->m_requests.push_back({msg, wParam, lParam}); return 0;
        default: return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
    }

    // Answers what comes for `ms`, as the agent's modal warning dialog does; the end of the
    // stand-in ends it early and is left for the thread's own loop, as a modal loop does.
    static void Pump(DWORD ms) {
        const ULONGLONG end = GetTickCount64() + ms;
        for (ULONGLONG now; (now = GetTickCount64()) < end;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return;
                }
                DispatchMessageW(&msg);
            }
        }
    }

    std::vector<Message> m_script;
    std::vector<Message> m_requests;
    std::thread m_thread;
    DWORD m_threadId = 0;
    HWND m_hWnd = nullptr;
    HWND m_hConfig = nullptr;
};

const std::vector<Message> kFullProgress = {
    {WM_APPLY_PROGRESS, 0, 25}, {WM_APPLY_PROGRESS, 0, 50}, {WM_APPLY_PROGRESS, 0, 100}};

class K7ctlProgram : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvex"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orvex"); }
};

}  // namespace

TEST_F(K7ctlProgram, WithoutTheAgentNothingIsWritten) {
    const RunResult r = K7ctl(L"apply \"" + Example() + L"\"");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_EQ(r.err,
              "k7ctl: the agent is not running (no window titled \"OrvexK7_Setting\")\nk7ctl: nothing was written\n");
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Orvex\\K7", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(K7ctl(L"rate 2").exitCode, 2u);
    EXPECT_EQ(K7ctl(L"factory --yes").exitCode, 2u);
}

TEST_F(K7ctlProgram, AnInvalidProfileIsRefusedWithEveryError) {
    const std::wstring path =
        WriteProfileFile(L"bad", "{\"keys\": {\"F13\": \"default\",\n \"F1\": {\"mouse\": \"Nine\"}},\n \"rate\": 3}");
    CStandInAgent agent(kFullProgress);
    const RunResult r = K7ctl(L"apply \"" + path + L"\"");
    EXPECT_EQ(r.exitCode, 1u);
    const std::string file = Utf8FromUtf16(std::u16string(path.begin(), path.end()));
    EXPECT_EQ(r.err, file + ":1:11: key \"F13\": unknown key; keys are named as in ButtonPos.xml\n" + file +
                         ":2:18: key \"F1\": unknown mouse button \"Nine\"\n" + file +
                         ":3:10: rate: must be 1, 2 or 8\n");
    EXPECT_TRUE(agent.Requests().empty());
    EXPECT_TRUE(Stored(L"KeySetting").empty());
    EXPECT_EQ(K7ctl(L"check \"" + path + L"\"").exitCode, 1u);
}

TEST_F(K7ctlProgram, ApplyStoresTheProfileFollowsTheProgressAndSendsTheRate) {
    CStandInAgent agent(kFullProgress);
    const RunResult r = K7ctl(L"apply \"" + Example() + L"\"");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(r.out, "progress 25%\nprogress 50%\nprogress 100%\napplied; report rate 2\n");
    EXPECT_THAT(agent.Requests(),
                ElementsAre(Message{WM_REGISTER_CONFIG_WINDOW, 1, 0}, Message{WM_APPLY_SETTINGS, 0, 0},
                            Message{WM_SET_REPORT_RATE, 2, 0}, Message{WM_REGISTER_CONFIG_WINDOW, 0, 0}));
    EXPECT_EQ(Stored(L"KeySetting").size(), 1296u);
    EXPECT_EQ(Stored(L"RateSetting"), (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

TEST_F(K7ctlProgram, ExportThenApplyLeavesTheRegistryByteForByte) {
    CStandInAgent agent(kFullProgress);
    ASSERT_EQ(K7ctl(L"apply \"" + Example() + L"\"").exitCode, 0u);
    const auto keys = Stored(L"KeySetting"), macros = Stored(L"MacroSetting"), combs = Stored(L"CombSetting");
    const std::wstring exported = BinPath(L"exported", L"json");
    const RunResult e = K7ctl(L"export \"" + exported + L"\"");
    ASSERT_EQ(e.exitCode, 0u) << e.err;
    EXPECT_EQ(e.err, "");
    ASSERT_EQ(K7ctl(L"apply \"" + exported + L"\"").exitCode, 0u);
    EXPECT_EQ(Stored(L"KeySetting"), keys);
    EXPECT_EQ(Stored(L"MacroSetting"), macros);
    EXPECT_EQ(Stored(L"CombSetting"), combs);
    EXPECT_EQ(Stored(L"RateSetting"), (std::vector<std::uint8_t>{2, 0, 0, 0}));
    // The backup holds what the second apply replaced, which was the same.
    EXPECT_EQ(Stored(L"KeySetting", L"Software\\Orvex\\K7\\Backup"), keys);
}

TEST_F(K7ctlProgram, RestoreBackupBringsBackThePreviousValues) {
    CStandInAgent agent(kFullProgress);
    ASSERT_EQ(K7ctl(L"apply \"" + WriteProfileFile(L"one", R"({"keys": {"A": {"remap": "B"}}})") + L"\"").exitCode, 0u);
    const auto first = Stored(L"KeySetting");
    ASSERT_EQ(K7ctl(L"apply \"" + Example() + L"\"").exitCode, 0u);
    EXPECT_NE(Stored(L"KeySetting"), first);
    const RunResult r = K7ctl(L"restore-backup");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_THAT(r.out, HasSubstr("the values stored before the last apply are back\n"));
    EXPECT_EQ(Stored(L"KeySetting"), first);
    EXPECT_EQ(Stored(L"RateSetting"), (std::vector<std::uint8_t>{8, 0, 0, 0}));
}

TEST_F(K7ctlProgram, AResetIsNamedWithItsReason) {
    CStandInAgent agent({{WM_APPLY_PROGRESS, 0, 25},
                         {WM_ASSIGNMENT_RESET, 0, 0x7B},
                         {WM_APPLY_PROGRESS, 0, 50},
                         {WM_APPLY_PROGRESS, 0, 100}});
    const RunResult r = K7ctl(L"apply \"" + Example() + L"\"");
    EXPECT_EQ(r.exitCode, 5u);
    EXPECT_EQ(r.err,
              "k7ctl: key F12 was reset to its factory function: all eight combination slots are in use (the "
              "keyboard still holds combinations other keys use)\n");
    EXPECT_EQ(r.out, "progress 25%\nprogress 50%\nprogress 100%\n");
}

TEST_F(K7ctlProgram, AKeyboardRemovedDuringTheApplyEndsIt) {
    CStandInAgent agent({{WM_APPLY_PROGRESS, 0, 25}, {WM_CLOSE, 0, 0}});
    const RunResult r = K7ctl(L"apply \"" + Example() + L"\"");
    EXPECT_EQ(r.exitCode, 4u);
    EXPECT_EQ(r.err,
              "k7ctl: the agent closed the connection during the apply: the keyboard was removed or the agent "
              "is ending\n");
    EXPECT_EQ(agent.Requests().back(), (Message{WM_REGISTER_CONFIG_WINDOW, 0, 0}));  // still unregistered
}

// After the first progress a silence counts only when the agent answers nothing at all.
TEST_F(K7ctlProgram, AnApplyHeldByTheWarningIsWaitedForAndAHungOrEndedAgentIsNamed) {
    {
        CStandInAgent agent({{WM_APPLY_PROGRESS, 0, 25}, {kHeld, 0, 2500}, {WM_APPLY_PROGRESS, 0, 100}});
        const RunResult r = K7ctl(L"--timeout 1 apply \"" + Example() + L"\"");
        EXPECT_EQ(r.exitCode, 0u) << r.err;
        EXPECT_EQ(r.out, "progress 25%\nprogress 100%\napplied; report rate 2\n");
    }
    {
        CStandInAgent agent({{WM_APPLY_PROGRESS, 0, 25}, {kHung, 0, 4000}});
        const RunResult r = K7ctl(L"--timeout 1 apply \"" + Example() + L"\"");
        EXPECT_EQ(r.exitCode, 3u);
        EXPECT_EQ(r.err, "k7ctl: the agent did not answer within 1 s (progress 25%)\n");
    }
    {
        CStandInAgent agent({{WM_APPLY_PROGRESS, 0, 25}, {kGone, 0, 0}});
        const RunResult r = K7ctl(L"--timeout 1 apply \"" + Example() + L"\"");
        EXPECT_EQ(r.exitCode, 4u);
        EXPECT_EQ(r.err, "k7ctl: the agent ended during the apply without closing the connection (progress 25%)\n");
    }
    {
        // Before the first progress an answering agent is waited for no longer than the timeout.
        CStandInAgent agent({{kHeld, 0, 2500}, {WM_APPLY_PROGRESS, 0, 25}});
        const RunResult r = K7ctl(L"--timeout 1 apply \"" + Example() + L"\"");
        EXPECT_EQ(r.exitCode, 3u);
        EXPECT_EQ(r.err, "k7ctl: the agent did not answer within 1 s (progress 0%)\n");
    }
}

TEST_F(K7ctlProgram, RateFactoryAndStatus) {
    CStandInAgent agent(kFullProgress);
    EXPECT_EQ(K7ctl(L"factory").exitCode, 1u);
    EXPECT_EQ(K7ctl(L"rate 4").exitCode, 1u);
    ASSERT_EQ(K7ctl(L"apply \"" + Example() + L"\"").exitCode, 0u);
    const RunResult rate = K7ctl(L"rate 1");
    EXPECT_EQ(rate.exitCode, 0u) << rate.err;
    EXPECT_EQ(Stored(L"RateSetting"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(K7ctl(L"factory --yes").exitCode, 0u);
    EXPECT_THAT(agent.Requests(), ::testing::Contains(Message{WM_SET_REPORT_RATE, 1, 0}));
    EXPECT_THAT(agent.Requests(), ::testing::Contains(Message{WM_RESTORE_FACTORY, 0, 0}));
    const RunResult s = K7ctl(L"status");
    EXPECT_EQ(s.exitCode, 0u);
    EXPECT_THAT(s.out, HasSubstr("agent:    running\n"));
    EXPECT_THAT(s.out, HasSubstr("keyboard: present\n"));  // the test bed starts the virtual keyboard
    EXPECT_THAT(s.out, HasSubstr("stored:   14 keys assigned, 2 macros, 2 combinations, rate 1\n"));
}
