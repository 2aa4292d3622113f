#include "KeyboardChecks.h"

#include "AgentTestSupport.h"
#include "EntryKinds.h"
#include "app/Messages.h"
#include "k7testbed/VirtualKeyboard.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

void ExpectKnownTable(const DeviceKeyTable& table, const DeviceKeyTable& read, bool translates,
                      const std::string& context) {
    const DeviceKeyTable& factory = FactoryKeyTable();
    std::string unknown;
    for (int s = 0; s < kSlotCount; ++s) {
        const KeyEntry& e = table.slots[s];
        if (e == factory.slots[s] || e == read.slots[s] ||
            (s == kMarkSlot ? e == kTableMark : translates && IsTranslatedEntry(e, kMaxMacroNumber)))
            continue;
        char text[32];
        std::snprintf(text, sizeof text, "\n  slot %3d: %02X %02X %02X %02X", s, e.b[0], e.b[1], e.b[2], e.b[3]);
        unknown += text;
    }
    EXPECT_TRUE(unknown.empty()) << context << ": entries of no known origin" << unknown;
}

}  // namespace

void ExpectSoundKeyboard(const std::string& context, const DeviceKeyTable& read, bool translates) {
    auto s = std::make_unique<oxkbd::State>();
    ASSERT_TRUE(k7testbed::ReadKeyboardState(*s)) << k7testbed::KeyboardError();
    // The keyboard counts the failures it injected as rejected, too.
    std::uint32_t rejected = 0;
    for (const oxkbd::Counter& c : s->counters) rejected += c.rejected;
    EXPECT_EQ(rejected, s->failInjected) << context << ": requests of a wrong size or code reached the keyboard";
    const std::uint32_t logged = std::min(s->tablesReceived, oxkbd::kTableLogCapacity);
    for (std::uint32_t i = 0; i < logged; ++i)
        ExpectKnownTable(s->tableLog[i], read, translates,
                         context + ", table sent " + std::to_string(s->tablesReceived - logged + i + 1));
    ExpectKnownTable(s->table, read, translates, context + ", table held");
}

void ExpectApplyAnswered(configclient::CConfigClient& client, const std::string& context) {
    // Reports of earlier requests are queued by the time those requests returned.
    client.Pump(0);
    client.ClearReceived();
    ASSERT_TRUE(client.Register(kWaitMs)) << context;
    ASSERT_TRUE(client.Apply(kWaitMs)) << context;
    std::vector<LPARAM> progress;
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    for (;;) {
        progress.clear();
        for (const configclient::Received& r : client.ReceivedMessages())
            if (r.msg == WM_APPLY_PROGRESS) progress.push_back(r.lParam);
        if (progress.size() >= 3 || GetTickCount64() >= end) break;
        client.Pump(20);
    }
    EXPECT_EQ(progress, (std::vector<LPARAM>{25, 50, 100})) << context;
}

void ExpectUnharmedAfterFaults(const CAgentProcess& agent, configclient::CConfigClient& client,
                               const std::string& context, const DeviceKeyTable& read, bool translates) {
    ASSERT_TRUE(k7testbed::FailNextRequests(0, 0)) << k7testbed::KeyboardError();
    ExpectSoundKeyboard(context, read, translates);
    ASSERT_TRUE(agent.Running()) << context << ": the agent ended";

    const std::string clean = context + ", then a clean apply";
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    ExpectApplyAnswered(client, clean);
    if (testing::Test::HasFatalFailure()) return;
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    EXPECT_EQ(s.tablesReceived, 1u) << clean;
    ExpectSoundKeyboard(clean, read, true);
}
