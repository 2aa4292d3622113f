// Steps shared by the presence tests: the keyboard plugged in and pulled out while this
// thread keeps dispatching (the platform's broadcasts reach the client's window too), and
// the keyboard's request log read back as request kinds.
#pragma once

#include "AgentTestSupport.h"

#include "app/Messages.h"
#include "k7testbed/VirtualKeyboard.h"

#include <memory>
#include <string>
#include <vector>

class PresenceFixture : public ::testing::Test {
protected:
    // Every test starts with the service running, the keyboard unplugged, the factory
    // table and zero counters; the suite leaves it so, as the harness sets it up.
    void SetUp() override;
    static void TearDownTestSuite();

    void StartAgent();
    // Plug or unplug through the test bed, dispatching this thread's messages meanwhile.
    bool Plug();
    bool Unplug();
    // The keyboard's state once its request log has stopped growing for kQuietMs.
    std::unique_ptr<oxkbd::State> SettledState();

    CAgentProcess agent;
    configclient::CConfigClient client;
};

std::vector<oxkbd::RequestKind> LoggedKinds(const oxkbd::State& state);
// `kinds` without the combination read-backs, which depend on the table's content.
std::vector<oxkbd::RequestKind> WithoutCombinationReads(std::vector<oxkbd::RequestKind> kinds);
std::string DescribeLog(const oxkbd::State& state);
