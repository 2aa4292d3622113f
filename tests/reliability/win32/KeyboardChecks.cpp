#include "KeyboardChecks.h"

#include "AgentTestSupport.h"
#include "EntryKinds.h"
#include "app/Messages.h"
#include "k7testbed/VirtualKeyboard.h"
#include "keyconfig/DeviceKeyTable.h"

#include <algorithm>

void ExpectSoundKeyboard(std::uint32_t injected, const std::string& context) {
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    // The keyboard counts the failures it was told to inject as rejected, too.
    std::uint32_t rejected = 0;
    for (std::uint32_t k = 0; k < oxkbd::kRequestKindCount; ++k) rejected += s.counters[k].rejected;
    EXPECT_EQ(rejected, injected) << context << ": requests of a wrong size or code reached the keyboard";
    for (int i = 0; i < kSlotCount; ++i) {
        const KeyEntry& e = s.table.slots[i];
        EXPECT_TRUE(e == FactoryKeyTable().slots[i] || IsTranslatedEntry(e, kMaxMacroNumber))
            << context << ": slot " << i;
    }
}

void ExpectApplyAnswered(configclient::CConfigClient& client, const std::string& context) {
    client.Pump(kQuietMs);  // reports of earlier requests still queued
    client.ClearReceived();
    ASSERT_TRUE(client.Register(kWaitMs)) << context;
    ASSERT_TRUE(client.Apply(kWaitMs)) << context;
    auto progress = [&] {
        return std::count_if(client.ReceivedMessages().begin(), client.ReceivedMessages().end(),
                             [](const configclient::Received& r) { return r.msg == WM_APPLY_PROGRESS; });
    };
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (progress() < 3 && GetTickCount64() < end) client.Pump(20);
    ASSERT_EQ(progress(), 3) << context;
    const auto last = std::find_if(client.ReceivedMessages().rbegin(), client.ReceivedMessages().rend(),
                                   [](const configclient::Received& r) { return r.msg == WM_APPLY_PROGRESS; });
    EXPECT_EQ(last->lParam, 100) << context;
}
