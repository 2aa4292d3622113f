// The agent with the virtual keyboard: what reaches the keyboard on requests, arrivals,
// removals and retries, read from the keyboard's own counters.
#include "AgentOnKeyboard.h"

#include "app/Messages.h"
#include "k7testbed/VirtualKeyboard.h"

#include <dbt.h>

#include <memory>

using configclient::CConfigClient;
using configclient::Received;

namespace {

class AgentWithKeyboard : public AgentOnKeyboard {
protected:
    std::uint32_t Accepted(oxkbd::RequestKind kind) { return State()->counters[kind].accepted; }
    std::uint32_t AllRequests() {
        const auto state = State();
        std::uint32_t n = 0;
        for (const auto& c : state->counters) n += c.accepted + c.rejected;
        return n;
    }
    void Notify(WPARAM event, const wchar_t* path = kKeyboardInterface, bool interfaceRecord = true) {
        ASSERT_TRUE(SendDeviceChange(agent.Window(), event, path, interfaceRecord));
    }
    // Removal: the channel closes (the configuration window hears of it).
    void Unplug() {
        Notify(DBT_DEVICEREMOVECOMPLETE);
        ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "the agent kept its handle";
        ASSERT_TRUE(client.WaitForReceived(1, kWaitMs));
        client.ClearReceived();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    }
};

TEST_F(AgentWithKeyboard, CreationReadsTheTableAndApplyWritesItOnce) {
    StartAgent();
    EXPECT_EQ(Accepted(oxkbd::kReadKeyTable), 1u);
    EXPECT_EQ(Accepted(oxkbd::kWriteKeyTable), 0u) << "creation must not apply the settings";
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    LRESULT result = 0;
    ASSERT_TRUE(client.Apply(kWaitMs, &result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Accepted(oxkbd::kWriteKeyTable), 1u);
    EXPECT_EQ(Accepted(oxkbd::kSetReportRate), 0u);
}

TEST_F(AgentWithKeyboard, ApplyWithTheChannelClosedSendsNothing) {
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    StartAgent();
    // The keyboard comes up without any arrival notification.
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    ASSERT_TRUE(client.Apply(kWaitMs));
    client.WaitForReceived(3, kWaitMs);
    const Received expected[] = {{client.Window(), WM_APPLY_PROGRESS, 0, 25},
                                 {client.Window(), WM_APPLY_PROGRESS, 0, 50},
                                 {client.Window(), WM_APPLY_PROGRESS, 0, 100}};
    ExpectReceived(client, expected, "apply closed");
    EXPECT_EQ(AllRequests(), 0u);
    EXPECT_EQ(State()->handlesOpened, 0u);
}

TEST_F(AgentWithKeyboard, ReportRateSendsOnlyTheLowByteOfAValidCode) {
    StartAgent();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    ASSERT_TRUE(client.SetReportRate(0x102, kWaitMs));
    auto state = State();
    EXPECT_EQ(state->counters[oxkbd::kSetReportRate].accepted, 1u);
    EXPECT_EQ(state->reportRate, 2);
    ASSERT_TRUE(client.SetReportRate(4, kWaitMs));
    state = State();
    EXPECT_EQ(state->counters[oxkbd::kSetReportRate].accepted, 1u);
    EXPECT_EQ(state->reportRate, 2);
}

TEST_F(AgentWithKeyboard, SessionChangesAndForeignTimersSendNothing) {
    StartAgent();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    for (WPARAM event = WTS_CONSOLE_CONNECT; event <= WTS_SESSION_UNLOCK; ++event)
        ASSERT_TRUE(client.Send(WM_WTSSESSION_CHANGE, event, 1, kWaitMs));
    for (WPARAM id : {1, 99, 101}) ASSERT_TRUE(client.Send(WM_TIMER, id, 0, kWaitMs));
    client.Pump(kQuietMs);
    EXPECT_EQ(AllRequests(), 0u);
    EXPECT_EQ(State()->handlesOpen, 1u);
}

TEST_F(AgentWithKeyboard, ArrivalResynchronisesOnceAndLeavesAMarkedTableAlone) {
    StartAgent();
    Unplug();
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable));
    Notify(DBT_DEVICEARRIVAL);
    auto state = State();
    EXPECT_EQ(state->handlesOpen, 1u);
    EXPECT_EQ(state->counters[oxkbd::kReadKeyTable].accepted, 2u);
    EXPECT_EQ(state->counters[oxkbd::kWriteKeyTable].accepted, 0u);
    // A second arrival while the channel is open changes nothing.
    Notify(DBT_DEVICEARRIVAL);
    EXPECT_EQ(State()->counters[oxkbd::kReadKeyTable].accepted, 2u);
    EXPECT_EQ(State()->handlesOpened, 1u);
}

TEST_F(AgentWithKeyboard, ArrivalRepairsAnUnmarkedTableWithOneWrite) {
    StartAgent();
    Unplug();
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kUnmarkedTable));
    Notify(DBT_DEVICEARRIVAL, L"\\\\?\\usb#vid_04d9&pid_a059#6&1a2b3c4d&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    const auto state = State();
    EXPECT_EQ(state->counters[oxkbd::kReadKeyTable].accepted, 2u);
    EXPECT_EQ(state->counters[oxkbd::kWriteKeyTable].accepted, 1u);
    const KeyEntry mark{{0x70, 0xFF, 0, 0}};
    EXPECT_EQ(state->table.slots[kMarkSlot], mark);
}

TEST_F(AgentWithKeyboard, ArrivalBeforeTheDriverRetriesUntilItOpens) {
    StartAgent();
    Unplug();
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    Notify(DBT_DEVICEARRIVAL);
    client.Pump(kQuietMs);  // a few ticks fail
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "no tick opened the channel";
    client.Pump(kQuietMs);  // the timer must have stopped: no further opens
    const auto state = State();
    EXPECT_EQ(state->handlesOpened, 1u);
    EXPECT_EQ(state->counters[oxkbd::kReadKeyTable].accepted, 2u);
}

TEST_F(AgentWithKeyboard, OtherDevicesAndOtherBroadcastsOpenNothing) {
    StartAgent();
    Unplug();
    Notify(DBT_DEVICEARRIVAL, kMouseInterface);
    Notify(DBT_DEVICEARRIVAL, kKeyboardInterface, false);
    ASSERT_TRUE(client.Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, kWaitMs));
    client.Pump(kQuietMs);
    EXPECT_EQ(State()->handlesOpened, 0u);
    EXPECT_EQ(AllRequests(), 0u);
}

TEST_F(AgentWithKeyboard, RemovalClosesTheChannelAndTheConfigWindow) {
    StartAgent();
    Notify(DBT_DEVICEREMOVECOMPLETE);
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "the channel stayed open";
    Notify(DBT_DEVICEREMOVECOMPLETE);
    client.WaitForReceived(2, kWaitMs);
    const Received expected[] = {{client.Window(), WM_CLOSE, 0, 0}, {client.Window(), WM_CLOSE, 0, 0}};
    ExpectReceived(client, expected, "two removals");
}

}  // namespace
