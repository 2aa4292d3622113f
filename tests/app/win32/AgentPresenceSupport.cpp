#include "AgentPresenceSupport.h"

#include <algorithm>
#include <cstdio>
#include <future>

namespace {

bool Dispatching(configclient::CConfigClient& client, bool (*change)(std::uint32_t)) {
    auto done = std::async(std::launch::async, change, k7testbed::kServiceTimeoutMs);
    while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) client.Pump(10);
    const bool ok = done.get();
    if (!ok) ADD_FAILURE() << k7testbed::KeyboardError();
    return ok;
}

}  // namespace

void PresenceFixture::SetUp() {
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::UnplugKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "a handle of an earlier program is still open";
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
}

void PresenceFixture::TearDownTestSuite() {
    k7testbed::StartKeyboard();
    k7testbed::UnplugKeyboard();
}

void PresenceFixture::StartAgent() {
    ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
    ASSERT_TRUE(client.Connect(kWaitMs));
    ASSERT_TRUE(client.Register(kWaitMs));
}

bool PresenceFixture::Plug() { return Dispatching(client, k7testbed::PlugKeyboard); }
bool PresenceFixture::Unplug() { return Dispatching(client, k7testbed::UnplugKeyboard); }

std::unique_ptr<oxkbd::State> PresenceFixture::SettledState() {
    auto state = std::make_unique<oxkbd::State>();
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not open the keyboard";
    std::uint32_t seen = ~0u;
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (GetTickCount64() < end) {
        EXPECT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
        if (state->logCount == seen) break;
        seen = state->logCount;
        client.Pump(kQuietMs);
    }
    return state;
}

std::vector<oxkbd::RequestKind> LoggedKinds(const oxkbd::State& state) {
    std::vector<oxkbd::RequestKind> kinds;
    for (std::uint32_t i = 0; i < state.logCount && i < oxkbd::kLogCapacity; ++i)
        kinds.push_back(oxkbd::KindOfCode(state.log[i].code));
    return kinds;
}

std::vector<oxkbd::RequestKind> WithoutCombinationReads(std::vector<oxkbd::RequestKind> kinds) {
    // Read-backs come only after the last table read.
    const auto last = std::find(kinds.rbegin(), kinds.rend(), oxkbd::kReadKeyTable);
    const auto tail = last.base();
    const bool onlyReadBacks =
        std::all_of(tail, kinds.end(), [](oxkbd::RequestKind k) { return k == oxkbd::kReadCombination; });
    if (onlyReadBacks) kinds.erase(tail, kinds.end());
    return kinds;
}

std::string DescribeLog(const oxkbd::State& state) {
    std::string text = "request log:\n";
    char line[96];
    for (std::uint32_t i = 0; i < state.logCount && i < oxkbd::kLogCapacity; ++i) {
        const oxkbd::LogEntry& e = state.log[i];
        std::snprintf(line, sizeof line, "  #%u code %#x in %u out %u status %#x\n", e.sequence, e.code, e.inSize,
                      e.outSize, static_cast<unsigned>(e.status));
        text += line;
    }
    return text;
}
