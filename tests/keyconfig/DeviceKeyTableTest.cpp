#include "keyconfig/DeviceKeyTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

KeyEntry E(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return {{a, b, c, d}}; }

TEST(FactoryTable, CountsOfEachKindMatchTheLayout) {
    const DeviceKeyTable& t = FactoryKeyTable();
    int plain = 0, consumer = 0, macro = 0, d7 = 0, d13 = 0, mark = 0, none = 0;
    std::set<int> plainUsages, macroNumbers;
    for (int s = 0; s < kSlotCount; ++s) {
        const KeyEntry& e = t.slots[s];
        if (e == KeyEntry{}) { ++none; continue; }
        switch (e.b[0]) {
        case KindKey: ++plain; plainUsages.insert(e.b[1]); break;
        case KindConsumer: ++consumer; break;
        case KindMacro: ++macro; macroNumbers.insert(e.b[2]); EXPECT_EQ(e.b[3], 0xC0); break;
        case KindDevice7: ++d7; break;
        case KindDevice13: ++d13; break;
        case KindMark: ++mark; EXPECT_EQ(s, kMarkSlot); break;
        default: ADD_FAILURE() << "unexpected kind at slot " << s;
        }
    }
    EXPECT_EQ(plain, 114);
    EXPECT_EQ(consumer, 18);
    EXPECT_EQ(macro, 10);
    EXPECT_EQ(d7, 3);
    EXPECT_EQ(d13, 4);
    EXPECT_EQ(mark, 1);
    EXPECT_EQ(none, 2);
    // Every plain usage appears once: 0x04-0x65, 0xE0-0xE7, 0x85, 0x87-0x8B, 0x90, 0x91.
    std::set<int> expected;
    for (int u = 0x04; u <= 0x65; ++u) expected.insert(u);
    for (int u = 0xE0; u <= 0xE7; ++u) expected.insert(u);
    for (int u : {0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91}) expected.insert(u);
    EXPECT_EQ(plainUsages, expected);
    EXPECT_EQ(macroNumbers, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(FactoryTable, SpotEntriesAreBigEndianAndInPlace) {
    const DeviceKeyTable& t = FactoryKeyTable();
    EXPECT_EQ(t.slots[0], E(0x00, 0x48, 0, 0));
    EXPECT_EQ(t.slots[1], E(0x07, 0x01, 0, 0));
    EXPECT_EQ(t.slots[59], E(0x53, 0, 0, 0xC0));
    EXPECT_EQ(t.slots[116], E(0x04, 0, 0x00, 0xCD));
    EXPECT_EQ(t.slots[127], E(0x04, 0, 0x01, 0x83));
    EXPECT_EQ(t.slots[137], E(0x04, 0, 0x02, 0x2A));
    EXPECT_EQ(t.slots[146], E(0x53, 0, 0x09, 0xC0));
    EXPECT_EQ(t.slots[147], E(0x70, 0xFF, 0, 0));
    EXPECT_EQ(t.slots[151], E(0x0D, 0x01, 0, 0));
    const std::uint8_t* bytes = t.Bytes();
    EXPECT_EQ(bytes[4 * 147], 0x70);
    EXPECT_EQ(bytes[607], 0x00);
    EXPECT_EQ(bytes[4 * 150], 0x0D);
}

TEST(UsageSlotMap, LowestSlotWinsWhateverTheKind) {
    DeviceKeyTable t;
    UsageSlotMap map;
    BuildFactoryTable(t, map);
    EXPECT_EQ(map.size(), 119u);
    EXPECT_EQ(FindSlotForUsage(map, 0x00), 2);
    EXPECT_EQ(FindSlotForUsage(map, 0x01), 1);
    EXPECT_EQ(FindSlotForUsage(map, 0x02), 3);
    EXPECT_EQ(FindSlotForUsage(map, 0x03), 149);
    EXPECT_EQ(FindSlotForUsage(map, 0x04), 5);
    EXPECT_EQ(FindSlotForUsage(map, 0xE2), 75);
    EXPECT_EQ(FindSlotForUsage(map, 0xFF), 147);
    EXPECT_EQ(FindSlotForUsage(map, 0x83), -1);
    EXPECT_EQ(FindSlotForUsage(UsageSlotMap{}, 0x04), -1);
}

TEST(UsageSlotMap, RebuildingChangesNothingAndDoesNotClearTheMap) {
    DeviceKeyTable t1, t2;
    UsageSlotMap m1, m2;
    BuildFactoryTable(t1, m1);
    BuildFactoryTable(t2, m2);
    BuildFactoryTable(t2, m2);
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(m1, m2);
    EXPECT_EQ(t1, FactoryKeyTable());

    // A pair already present is kept, not replaced.
    UsageSlotMap seeded{{0x04, 99}};
    BuildFactoryTable(t1, seeded);
    EXPECT_EQ(FindSlotForUsage(seeded, 0x04), 99);
    EXPECT_EQ(seeded.size(), 119u);
}

TEST(VkUsageTable, RangesAndSingles) {
    EXPECT_EQ(UsageForVk(0x41), 0x04);
    EXPECT_EQ(UsageForVk(0x5A), 0x1D);
    EXPECT_EQ(UsageForVk(0x31), 0x1E);
    EXPECT_EQ(UsageForVk(0x30), 0x27);
    EXPECT_EQ(UsageForVk(0x70), 0x3A);
    EXPECT_EQ(UsageForVk(0x7B), 0x45);
    EXPECT_EQ(UsageForVk(0x7C), 0x00);  // F13 is not listed
    EXPECT_EQ(UsageForVk(0x61), 0x59);
    EXPECT_EQ(UsageForVk(0x60), 0x62);
    EXPECT_EQ(UsageForVk(0xDA), 0x58);
    EXPECT_EQ(UsageForVk(0x5D), 0x65);
    EXPECT_EQ(UsageForVk(0x5C), 0xE7);
    EXPECT_EQ(UsageForVk(0xC1), 0xFF);
    EXPECT_EQ(UsageForVk(0xAD), 0xE2);
    EXPECT_EQ(UsageForVk(0xB5), 0x83);
    EXPECT_EQ(UsageForVk(0xC4), 0x00);
    EXPECT_EQ(UsageForVk(0x00), 0x00);
    EXPECT_EQ(UsageForVk(0xC2), 0x00);
    EXPECT_EQ(UsageForVk(0xFF), 0x00);
}

TEST(TableMark, OnlyBytesZeroAndOneAreTested) {
    DeviceKeyTable t;
    t.slots[kMarkSlot] = E(0x70, 0xFF, 5, 5);
    EXPECT_FALSE(EnsureTableMark(t));
    EXPECT_EQ(t.slots[kMarkSlot], E(0x70, 0xFF, 5, 5));

    t.slots[kMarkSlot] = E(0x70, 0x00, 0, 0);
    EXPECT_TRUE(EnsureTableMark(t));
    EXPECT_EQ(t.slots[kMarkSlot], E(0x70, 0xFF, 0, 0));

    DeviceKeyTable zero;
    EXPECT_TRUE(EnsureTableMark(zero));
    DeviceKeyTable expected;
    expected.slots[kMarkSlot] = E(0x70, 0xFF, 0, 0);
    EXPECT_EQ(zero, expected);  // nothing but the mark changes
}

}  // namespace
