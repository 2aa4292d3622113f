// The agent as a process under Wine against the virtual keyboard: the driver late, hostile
// messages from another process. After each test the keyboard's own record must show no
// request of a wrong size and only tables the agent may write (KeyboardChecks.h); requests
// failing in turn are AgentFaultSweepTest.cpp's, the figures AgentFiguresTest.cpp's.
#include "AgentTestSupport.h"
#include "KeyboardChecks.h"
#include "TrayIconProbe.h"
#include "k7testbed/VirtualKeyboard.h"
#include "app/Messages.h"
#include "keyconfig/DeviceKeyTable.h"
#include "ui/TrayCommands.h"

#include <dbt.h>

#include <cstring>
#include <string>
#include <vector>

using configclient::CConfigClient;

namespace {

class AgentUnderFire : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
        ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
        ASSERT_TRUE(client.Connect(kWaitMs));
        ASSERT_TRUE(client.Register(kWaitMs));
    }
    void TearDown() override { ExpectUnharmedAfterFaults(agent, client, "after the test"); }

    CAgentProcess agent;
    CConfigClient client;
};

// The keyboard arrives but its driver answers only 5 s later: the agent retries quietly
// and resynchronises once the driver is up.
TEST_F(AgentUnderFire, DriverNotReadyForFiveSecondsAfterArrival) {
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface));
    client.Pump(5000);
    EXPECT_TRUE(agent.Running());
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not reopen the channel";
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    EXPECT_GE(s.counters[oxkbd::kReadKeyTable].accepted, 1u) << "no resynchronisation after the driver came up";
}

// Records sent as another process sends them: the system copies as many bytes as the
// record's size field says.
TEST_F(AgentUnderFire, HostileDeviceNotifications) {
    const std::wstring path = kKeyboardInterface;
    std::vector<std::uint8_t> whole(28 + 2 * (path.size() + 1));
    auto put32 = [](std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); };
    put32(whole.data(), static_cast<std::uint32_t>(whole.size()));
    put32(whole.data() + 4, DBT_DEVTYP_DEVICEINTERFACE);
    std::memcpy(whole.data() + 28, path.c_str(), 2 * (path.size() + 1));
    const WPARAM events[] = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEQUERYREMOVE, 0x8003};
    int sent = 0;
    auto send = [&](std::vector<std::uint8_t> record, std::uint32_t sizeField, std::uint32_t type) {
        put32(record.data(), sizeField);
        put32(record.data() + 4, type);
        for (WPARAM event : events) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(agent.Window(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()),
                                SMTO_NORMAL, kWaitMs, &result);
            ++sent;
        }
    };
    for (std::uint32_t size : {4u, 7u, 8u, 12u, 27u, 28u, 29u, 30u, 60u}) send(whole, size, DBT_DEVTYP_DEVICEINTERFACE);
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 6u, 0xFFFFFFFFu})
        send(whole, static_cast<std::uint32_t>(whole.size()), type);
    // No terminating zero, and a path of 40,000 characters without one.
    auto unterminated = whole;
    unterminated.resize(whole.size() - 2);
    send(unterminated, static_cast<std::uint32_t>(unterminated.size()), DBT_DEVTYP_DEVICEINTERFACE);
    std::vector<std::uint8_t> huge(28 + 80000, 0x41);
    send(huge, static_cast<std::uint32_t>(huge.size()), DBT_DEVTYP_DEVICEINTERFACE);
    for (WPARAM event : events) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(agent.Window(), WM_DEVICECHANGE, event, 0, SMTO_NORMAL, kWaitMs, &result);
    }
    RecordProperty("sent", sent);
    // A real removal and arrival still work.
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface));
}

// Creation messages as another process can send them (the system copies the creation
// record, its creation parameter included): only the window's own creation counts.
TEST_F(AgentUnderFire, CreationMessagesFromAnotherProcess) {
    oxkbd::State before{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(before)) << k7testbed::KeyboardError();
    for (const UINT msg : {WM_CREATE, WM_NCCREATE}) {
        for (const LPVOID parameter :
             {reinterpret_cast<LPVOID>(0x10), reinterpret_cast<LPVOID>(~std::uintptr_t{0} << 4)}) {
            CREATESTRUCTW cs{};
            cs.lpCreateParams = parameter;
            cs.lpszName = L"Not the agent";
            cs.lpszClass = L"Static";
            cs.style = WS_POPUP;
            cs.cx = cs.cy = 1;
            DWORD_PTR result = 0;
            SendMessageTimeoutW(agent.Window(), msg, 0, reinterpret_cast<LPARAM>(&cs), SMTO_NORMAL, kWaitMs, &result);
        }
    }
    ASSERT_TRUE(agent.Running()) << "the agent ended";
    EXPECT_EQ(FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle)), agent.Window());
    oxkbd::State after{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(after)) << k7testbed::KeyboardError();
    EXPECT_EQ(after.counters[oxkbd::kReadKeyTable].accepted, before.counters[oxkbd::kReadKeyTable].accepted)
        << "the creation sequence ran again";
}

// Destruction messages posted or sent by another program: the agent must not run its
// destruction sequence (channel, notifications, tray icon) and live on without them, nor end
// its message loop without it.
TEST_F(AgentUnderFire, DestructionMessagesFromAnotherProcess) {
    for (const UINT msg : {WM_DESTROY, WM_NCDESTROY}) {
        PostMessageW(agent.Window(), msg, 0, 0);
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutW(agent.Window(), msg, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    }
    client.Pump(300);
    ASSERT_TRUE(agent.Running()) << "the agent ended";
    EXPECT_TRUE(IsWindow(agent.Window()));
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent closed its channel";
    EXPECT_TRUE(TrayIconExists(agent.Window(), kTrayIconId)) << "the agent's icon is gone";
}

TEST_F(AgentUnderFire, RegistrationsOfAbsentWindowsThenABurstOfApplies) {
    for (UINT_PTR window : {UINT_PTR{1}, UINT_PTR{0xDEAD0}, UINT_PTR{0xFFFFFFFF}, ~UINT_PTR{0}})
        ASSERT_TRUE(client.Send(WM_REGISTER_CONFIG_WINDOW, window, 0, kWaitMs));
    ASSERT_TRUE(client.Apply(kWaitMs));
    ASSERT_TRUE(client.Register(kWaitMs));
    const int burst = [] {
        char value[16] = {};
        return GetEnvironmentVariableA("K7_APPLY_BURST", value, sizeof value) ? std::atoi(value) : 500;
    }();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    for (int i = 0; i < burst; ++i) ASSERT_TRUE(client.Apply(kWaitMs)) << "apply " << i;
    EXPECT_TRUE(client.WaitForReceived(3 * burst, kWaitMs));
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s));
    EXPECT_EQ(s.counters[oxkbd::kWriteKeyTable].accepted, static_cast<std::uint32_t>(burst));
}

}  // namespace
