#include "UnderFireChecks.h"

#include "EntryKinds.h"
#include "app/Messages.h"
#include "k7testbed/VirtualKeyboard.h"
#include "keyconfig/DeviceKeyTable.h"

#include <algorithm>
#include <cstdio>
#include <memory>

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

std::uint32_t Rejected(const oxkbd::State& state) {
    std::uint32_t rejected = 0;
    for (const oxkbd::Counter& c : state.counters) rejected += c.rejected;
    return rejected;
}

}  // namespace

void ExpectOnlyKnownTables(const oxkbd::State& state, const DeviceKeyTable& read, bool translates,
                           const std::string& context) {
    const std::uint32_t logged = std::min(state.tablesReceived, oxkbd::kTableLogCapacity);
    for (std::uint32_t i = 0; i < logged; ++i)
        ExpectKnownTable(state.tableLog[i], read, translates,
                         context + ", table sent " + std::to_string(state.tablesReceived - logged + i + 1));
    ExpectKnownTable(state.table, read, translates, context + ", table held");
}

void ExpectUnharmed(const CAgentProcess& agent, configclient::CConfigClient& client, const DeviceKeyTable& read,
                    bool translates, const std::string& context) {
    ASSERT_TRUE(k7testbed::FailNextRequests(0, 0)) << k7testbed::KeyboardError();
    auto state = std::make_unique<oxkbd::State>();
    ASSERT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
    // The keyboard counts the failures it injected as rejected, too.
    EXPECT_EQ(Rejected(*state), state->failInjected)
        << context << ": requests of a wrong size or code reached the keyboard";
    ExpectOnlyKnownTables(*state, read, translates, context);
    ASSERT_TRUE(agent.Running()) << context << ": the agent ended";

    // Still up and correct: a clean apply answers, reports its progress and sends one table.
    client.Pump(0);
    client.ClearReceived();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    ASSERT_TRUE(client.Register(kWaitMs)) << context;
    ASSERT_TRUE(client.Apply(kWaitMs)) << context << ": no answer to an apply";
    client.WaitForReceived(3, kWaitMs);
    const configclient::Received progress[] = {{client.Window(), WM_APPLY_PROGRESS, 0, 25},
                                               {client.Window(), WM_APPLY_PROGRESS, 0, 50},
                                               {client.Window(), WM_APPLY_PROGRESS, 0, 100}};
    ExpectReceived(client, progress, (context + ", then a clean apply").c_str());
    ASSERT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
    EXPECT_EQ(Rejected(*state), 0u) << context << ", then a clean apply";
    EXPECT_EQ(state->tablesReceived, 1u) << context << ", then a clean apply";
    ExpectOnlyKnownTables(*state, read, true, context + ", then a clean apply");
}
