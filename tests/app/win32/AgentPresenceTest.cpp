// The agent as a process with the virtual keyboard plugged in and pulled out as a Plug and
// Play device, so that every arrival and removal the agent sees is the platform's own.
#include "AgentPresenceSupport.h"

#include "driver/win32/CHidDevice.h"

using configclient::Received;

namespace {

using Kinds = std::vector<oxkbd::RequestKind>;

class AgentPresence : public PresenceFixture {};

// The keyboard comes up after the agent: one read, a second read after the (absent)
// repair, then nothing but combination read-backs, on one handle.
TEST_F(AgentPresence, PluggingInResynchronisesOnceWithoutWritingAMarkedTable) {
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    StartAgent();
    EXPECT_FALSE(CHidDevice().FindDevice());
    ASSERT_TRUE(Plug());
    const auto state = SettledState();
    EXPECT_EQ(WithoutCombinationReads(LoggedKinds(*state)), (Kinds{oxkbd::kReadKeyTable, oxkbd::kReadKeyTable}))
        << DescribeLog(*state);
    EXPECT_EQ(state->handlesOpened, 1u);
    EXPECT_EQ(state->handlesOpen, 1u);
    client.Pump(kQuietMs);
    EXPECT_TRUE(client.ReceivedMessages().empty()) << configclient::Describe(client.ReceivedMessages());
}

TEST_F(AgentPresence, PluggingInRepairsAnUnmarkedTableWithOneWriteAndReadsItAgain) {
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    StartAgent();
    // The service comes up unplugged, which the agent does not hear of.
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kUnmarkedTable)) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    ASSERT_TRUE(Plug());
    const auto state = SettledState();
    EXPECT_EQ(WithoutCombinationReads(LoggedKinds(*state)),
              (Kinds{oxkbd::kReadKeyTable, oxkbd::kWriteKeyTable, oxkbd::kReadKeyTable}))
        << DescribeLog(*state);
    const KeyEntry mark{{0x70, 0xFF, 0, 0}};
    EXPECT_EQ(state->table.slots[kMarkSlot], mark);
    EXPECT_EQ(state->handlesOpened, 1u);
}

// Each removal closes the handle and the configuration window, each arrival reopens.
TEST_F(AgentPresence, UnpluggingClosesTheChannelAndTheConfigWindowEachTime) {
    ASSERT_TRUE(Plug());
    StartAgent();
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs));
    EXPECT_TRUE(CHidDevice().FindDevice());

    ASSERT_TRUE(Unplug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0, kWaitMs)) << "the agent kept its handle";
    EXPECT_FALSE(CHidDevice().FindDevice());
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    const Received one[] = {{client.Window(), WM_CLOSE, 0, 0}};
    ExpectReceived(client, one, "first removal");

    ASSERT_TRUE(Plug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not reopen";
    EXPECT_TRUE(CHidDevice().FindDevice());
    client.Pump(kQuietMs);
    EXPECT_TRUE(client.ReceivedMessages().empty()) << configclient::Describe(client.ReceivedMessages());

    ASSERT_TRUE(Unplug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0, kWaitMs));
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    ExpectReceived(client, one, "second removal");
    oxkbd::State state{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state));
    EXPECT_EQ(state.handlesOpened, 2u);
    EXPECT_EQ(state.handlesClosed, 2u);
}

}  // namespace
