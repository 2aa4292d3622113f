// The heaviest configuration the stored settings allow, shared by the tests and the
// benchmarks: 11 macros of 95 events (the most a device macro holds, and the most macro
// numbers sent), 8 combinations, every other key a plain remap, all 108 keys on distinct slots.
#pragma once

#include "keyconfig/ByteOrder.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/Translation.h"

#include <memory>
#include <set>

inline std::unique_ptr<SettingBuffers> HeavySettings() {
    auto s = std::make_unique<SettingBuffers>();
    DeviceKeyTable factory;
    UsageSlotMap map;
    BuildFactoryTable(factory, map);
    std::set<std::int32_t> slots;
    int i = 0;
    for (int vk = 0; vk < 256 && i < kKeyAssignmentCount; ++vk) {
        if (!slots.insert(SelectSlot(map, static_cast<std::uint8_t>(vk))).second) continue;
        KeyAssignment& r = s->keys.records[i];
        r.vk = static_cast<std::uint8_t>(vk);
        if (i < kMaxMacroNumber) {
            r.Set(AssignMacro, i);
        } else if (i < kMaxMacroNumber + kMaxCombinationSlot) {
            s->combinations.records[i - kMaxMacroNumber].vks[0] = 0xA2;
            s->combinations.records[i - kMaxMacroNumber].vks[1] = static_cast<std::uint8_t>(vk);
            r.Set(AssignCombination, i - kMaxMacroNumber);
        } else {
            r.Set(AssignKeyRemap, 0x41 + i % 26);
        }
        ++i;
    }
    StoreLe32(s->macros.count, kMaxMacroNumber);
    for (int m = 0; m < kMaxMacroNumber; ++m) {
        s->macros.records[m].eventCount[0] = 95;
        for (int e = 0; e < 95; ++e) {
            s->macros.records[m].events[e].vk = 0x41;
            s->macros.records[m].events[e].state = static_cast<std::uint8_t>(e % 2);
        }
    }
    return s;
}
