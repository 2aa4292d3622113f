// The agent as a process: single instance, the message protocol with a configuration
// program, shutdown, and the device notifications as the system sends them.
#include "AgentTestSupport.h"

#include "app/Messages.h"

#include <dbt.h>

using configclient::CConfigClient;
using configclient::CProbeWindow;
using configclient::Received;

namespace {

class Agent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
        ASSERT_TRUE(client.Connect(kWaitMs));
        ASSERT_EQ(client.Agent(), agent.Window());
    }
    void RegisterClient() {
        LRESULT result = -1;
        ASSERT_TRUE(client.Register(client.Window(), kWaitMs, &result));
        EXPECT_EQ(result, 0);
    }
    // Ends the agent with WM_CLOSE and waits for its exit code 0.
    void CloseAgent() {
        ASSERT_TRUE(PostMessageW(agent.Window(), WM_CLOSE, 0, 0));
        DWORD code = 0xFFFF;
        ASSERT_TRUE(agent.WaitForExit(kWaitMs, &code));
        EXPECT_EQ(code, 0u);
    }
    Received Progress(LPARAM percent) const { return {client.Window(), WM_APPLY_PROGRESS, 0, percent}; }
    Received CloseFor(HWND window) const { return {window, WM_CLOSE, 0, 0}; }

    CAgentProcess agent;
    CConfigClient client;
};

TEST_F(Agent, SecondInstanceExitsAtOnceAndTheFirstHearsNothing) {
    RegisterClient();
    CAgentProcess second;
    ASSERT_TRUE(second.Start(false));
    DWORD code = 0;
    ASSERT_TRUE(second.WaitForExit(kWaitMs, &code)) << "the second instance kept running";
    EXPECT_EQ(code, 1u);
    client.Pump(kQuietMs);
    ExpectReceived(client, {}, "second instance");
    EXPECT_TRUE(agent.Running());
    EXPECT_EQ(configclient::FindAgentWindow(0), agent.Window());
}

// An instance at another integrity level holds a mutex that this one may not open. A mutex
// of that name with an empty access list stands in for it: nobody may open it.
TEST(AgentInstance, AMutexItMayNotOpenMeansAnotherInstance) {
    ACL acl;
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeAcl(&acl, sizeof acl, ACL_REVISION) &&
                InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    const auto* name = reinterpret_cast<const wchar_t*>(kMutexName);
    HANDLE held = CreateMutexW(&attributes, FALSE, name);
    ASSERT_TRUE(held != nullptr && GetLastError() == ERROR_SUCCESS) << "no mutex of our own: an agent still runs?";
    // What the agent meets.
    EXPECT_TRUE(CreateMutexW(nullptr, FALSE, name) == nullptr && GetLastError() == ERROR_ACCESS_DENIED);
    CAgentProcess agent;
    ASSERT_TRUE(agent.Start(false));
    DWORD code = 0;
    EXPECT_TRUE(agent.WaitForExit(kWaitMs, &code)) << "the agent ran beside the instance holding the mutex";
    EXPECT_EQ(code, 1u);
    CloseHandle(held);
}

TEST_F(Agent, ApplyBeforeAnyRegistrationReachesNoWindow) {
    LRESULT result = 0;
    ASSERT_TRUE(client.Apply(kWaitMs, &result));
    EXPECT_EQ(result, 1);
    client.Pump(kQuietMs);
    ExpectReceived(client, {}, "apply unregistered");
}

TEST_F(Agent, ApplyPostsProgressToTheRegisteredWindow) {
    RegisterClient();
    LRESULT result = 0;
    ASSERT_TRUE(client.Apply(kWaitMs, &result));
    EXPECT_EQ(result, 1);
    client.WaitForReceived(3, kWaitMs);
    client.Pump(kQuietMs);
    const Received expected[] = {Progress(25), Progress(50), Progress(100)};
    ExpectReceived(client, expected, "apply");
}

TEST_F(Agent, RegistrationWithZeroLeavesShutdownSilent) {
    RegisterClient();
    ASSERT_TRUE(client.Register(nullptr, kWaitMs));
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    CloseAgent();
    client.Pump(kQuietMs);
    ExpectReceived(client, {}, "cleared registration");
}

// The warning dialogs the close tells are the agent's own: another program's window of that
// title hears nothing.
TEST_F(Agent, CloseTellsTheConfigWindowAndNotAnotherProgramsWarningTitle) {
    CProbeWindow other(L"CCombWarnDlg", client);
    ASSERT_NE(other.Window(), nullptr);
    RegisterClient();
    CloseAgent();
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    const Received expected[] = {CloseFor(client.Window())};
    ExpectReceived(client, expected, "close with another program's window of the warning's title");
}

TEST_F(Agent, TrayExitEndsTheAgentAfterClosingTheConfigWindow) {
    RegisterClient();
    ASSERT_TRUE(PostMessageW(agent.Window(), WM_COMMAND, ID_TRAY_EXIT, 0));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(agent.WaitForExit(kWaitMs, &code)) << "the agent kept running";
    EXPECT_EQ(code, 0u);
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    const Received expected[] = {CloseFor(client.Window())};
    ExpectReceived(client, expected, "tray exit");
    EXPECT_EQ(configclient::FindAgentWindow(0), nullptr);
}

TEST_F(Agent, SessionChangesAndForeignTimersChangeNothing) {
    RegisterClient();
    for (WPARAM event = WTS_CONSOLE_CONNECT; event <= WTS_SESSION_UNLOCK; ++event)
        ASSERT_TRUE(client.Send(WM_WTSSESSION_CHANGE, event, 1, kWaitMs));
    for (WPARAM id : {0, 1, 99, 101}) ASSERT_TRUE(client.Send(WM_TIMER, id, 0, kWaitMs));
    client.Pump(kQuietMs);
    ExpectReceived(client, {}, "session changes and timers");
    EXPECT_TRUE(agent.Running());
    ASSERT_TRUE(client.Apply(kWaitMs));
    client.WaitForReceived(3, kWaitMs);
    const Received expected[] = {Progress(25), Progress(50), Progress(100)};
    ExpectReceived(client, expected, "apply afterwards");
}

TEST_F(Agent, KeyboardRemovalClosesTheConfigWindowEachTime) {
    RegisterClient();
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(client.WaitForReceived(1, kWaitMs));
    ASSERT_TRUE(
        SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE,
                         L"\\\\?\\usb#vid_04d9&pid_a059#6&1a2b3c4d&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
    client.WaitForReceived(2, kWaitMs);
    client.Pump(kQuietMs);
    const Received expected[] = {CloseFor(client.Window()), CloseFor(client.Window())};
    ExpectReceived(client, expected, "two removals");
}

TEST_F(Agent, OtherDevicesAndOtherBroadcastsChangeNothing) {
    RegisterClient();
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kMouseInterface));
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface, false));
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEQUERYREMOVE, kKeyboardInterface));
    ASSERT_TRUE(client.Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0, kWaitMs));
    client.Pump(kQuietMs);
    ExpectReceived(client, {}, "foreign broadcasts");
    EXPECT_TRUE(agent.Running());
}

}  // namespace
