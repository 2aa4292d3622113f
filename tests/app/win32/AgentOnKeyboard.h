// The fixture of the agent's tests against the virtual keyboard: the keyboard present with
// its factory table, no handle of an earlier program left on it, and counters at zero; an
// agent with a registered client started on request; the keyboard present again afterwards.
#pragma once

#include "AgentTestSupport.h"
#include "k7testbed/VirtualKeyboard.h"

#include <memory>

class AgentOnKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "a handle of an earlier program is still open";
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    }
    void TearDown() override {
        // The next program finds the keyboard present again.
        k7testbed::StartKeyboard();
    }
    void StartAgent() {
        ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
        ASSERT_TRUE(client.Connect(kWaitMs));
        ASSERT_TRUE(client.Register(kWaitMs));
    }
    std::unique_ptr<oxkbd::State> State() {
        auto state = std::make_unique<oxkbd::State>();
        EXPECT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
        return state;
    }

    CAgentProcess agent;
    configclient::CConfigClient client;
};
