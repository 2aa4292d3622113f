#include "RecordingDeviceIo.h"
#include "keyconfig/DeviceRecords.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DeviceRecords : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver.Open()); }
    MacroRecord& Macro(int k) { return settings->macros.records[k]; }
    static void SetEvent(MacroRecord& m, int j, std::uint8_t vk, std::uint8_t state, std::uint32_t delay) {
        m.events[j].vk = vk;
        m.events[j].state = state;
        StoreLe32(m.events[j].delay, delay);
    }
    static void SetCounts(MacroRecord& m, std::uint32_t repeat, std::uint16_t events) {
        StoreLe32(m.repeat, repeat);
        m.eventCount[0] = static_cast<std::uint8_t>(events);
        m.eventCount[1] = static_cast<std::uint8_t>(events >> 8);
    }

    RecordingDeviceIo io;
    CUSBDriver driver{io};
    std::unique_ptr<SettingBuffers> settings = std::make_unique<SettingBuffers>();
    CombinationCache cache{};
};

TEST_F(DeviceRecords, EmptyMacroWithRepeatZeroIsSentOnce) {
    DownloadMacro(driver, settings->macros, 4);
    MacroContent expected{};
    expected[1] = 0x01;  // repeat 0 becomes 1, big-endian
    EXPECT_EQ(io.requests, std::vector{MacroWrite(5, expected)});
    EXPECT_EQ(io.requests[0].in.size(), 193u);
}

TEST_F(DeviceRecords, MacroEventsCarryDelayUnitsStateBitAndUsage) {
    MacroRecord& m = Macro(0);
    SetCounts(m, 0xABCD0102, 3);    // only the low 16 bits count
    SetEvent(m, 0, 0x41, 1, 120);   // 2 units, down
    SetEvent(m, 1, 0x41, 0, 49);    // 0 units, up
    SetEvent(m, 2, 0xC2, 0, 6350);  // unlisted key, 127 units
    SetEvent(m, 3, 0x42, 1, 50);    // beyond the count: not sent
    const MacroContent c = MacroContentFromRecord(m);
    MacroContent expected{};
    expected[0] = 0x01;
    expected[1] = 0x02;
    expected[2] = 0x82;
    expected[3] = 0x04;
    expected[4] = 0x00;
    expected[5] = 0x04;
    expected[6] = 0x7F;
    expected[7] = 0x00;
    EXPECT_EQ(c, expected);
}

TEST_F(DeviceRecords, LongDelaysStopAt127UnitsAndNeverSetTheStateBit) {
    MacroRecord& m = Macro(0);
    SetCounts(m, 1, 4);
    SetEvent(m, 0, 0x41, 0, 6400);
    SetEvent(m, 1, 0x41, 0, 12800);  // would be 0x100 units: truncation gave 0
    SetEvent(m, 2, 0x41, 1, 0xFFFFFFFF);
    SetEvent(m, 3, 0x41, 0, 6399);
    const MacroContent c = MacroContentFromRecord(m);
    EXPECT_EQ(c[2], 0x7F);
    EXPECT_EQ(c[4], 0x7F);
    EXPECT_EQ(c[6], 0xFF);
    EXPECT_EQ(c[8], 0x7F);
}

TEST_F(DeviceRecords, LongMacrosAreCutAt95EventsAndTheRecordIsNeverReadPastItsEnd) {
    MacroRecord& m = Macro(10);
    for (int j = 0; j < kMacroEventCapacity; ++j) SetEvent(m, j, 0x30 + j % 10, j & 1, 50 * (j % 100));
    for (std::uint16_t n : {95, 96, 161, 162, 0xFFFF}) {
        SCOPED_TRACE(n);
        SetCounts(m, 1, n);
        const MacroContent c = MacroContentFromRecord(m);
        const int j = 94;  // the last event that fits
        EXPECT_EQ(c[2 + 2 * j], (j & 1 ? 0x80 : 0) | j % 100);
        EXPECT_EQ(c[3 + 2 * j], UsageForVk(static_cast<std::uint8_t>(0x30 + j % 10)));
    }
    // The last macro record, with an absurd count, ends inside the buffer (ASan watches).
    SetCounts(Macro(99), 1, 0xFFFF);
    DownloadMacro(driver, settings->macros, 99);
    EXPECT_TRUE(io.requests.empty());  // number 100 is beyond the device's 11
}

TEST_F(DeviceRecords, OnlyMacroNumbersOneToElevenAreSent) {
    for (int k : {-1, 0, 10, 11, 99, 100, 255}) DownloadMacro(driver, settings->macros, k);
    ASSERT_EQ(io.requests.size(), 2u);
    EXPECT_EQ(io.requests[0].in[0], 1);
    EXPECT_EQ(io.requests[1].in[0], 11);
}

TEST_F(DeviceRecords, CombinationKeysKeepTheirPairPositions) {
    CombinationRecord r{};
    r.vks[0] = 0xA2;
    r.vks[2] = 0x43;
    EXPECT_EQ(CombinationKeysFromRecord(r), (CombinationKeys{0x00, 0xE0, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00}));
    r.vks[3] = 0xC2;  // unlisted: usage 0
    r.vks[1] = 0x5A;
    EXPECT_EQ(CombinationKeysFromRecord(r), (CombinationKeys{0x00, 0xE0, 0x00, 0x1D, 0x00, 0x06, 0x00, 0x00}));
}

TEST_F(DeviceRecords, AllocationReclearsEveryFreeSlotAndTakesTheLowest) {
    const CombinationKeys a{0, 0xE0, 0, 0x06}, b{0, 0xE2, 0, 0x2B}, fresh{0, 0xE3, 0, 0x0F};
    cache[1] = {1, a, 2};
    cache[3] = {1, b, 4};
    const CombinationSlot got = AllocateCombinationSlot(driver, cache, fresh);
    EXPECT_EQ(got.slot, 1);
    EXPECT_FALSE(got.found);
    EXPECT_EQ(io.requests, (std::vector{CombinationWrite(1), CombinationWrite(3), CombinationWrite(5),
                                        CombinationWrite(6), CombinationWrite(7), CombinationWrite(8)}));
    EXPECT_EQ(cache[0], (CombinationCacheEntry{1, fresh, 1}));

    io.requests.clear();
    const CombinationSlot again = AllocateCombinationSlot(driver, cache, b);
    EXPECT_EQ(again.slot, 4);
    EXPECT_TRUE(again.found);
    EXPECT_EQ(io.requests.size(), 5u);  // slots 3, 5, 6, 7, 8
}

TEST_F(DeviceRecords, AllocationFailsWhenEverySlotHoldsAnother) {
    for (int k = 0; k < 8; ++k) cache[k] = {1, CombinationKeys{0, static_cast<std::uint8_t>(k + 4)}, k + 1};
    const CombinationCache before = cache;
    const CombinationSlot got = AllocateCombinationSlot(driver, cache, CombinationKeys{0, 0x30});
    EXPECT_EQ(got.slot, -1);
    EXPECT_FALSE(got.found);
    EXPECT_TRUE(io.requests.empty());
    EXPECT_EQ(cache, before);
}

TEST_F(DeviceRecords, ReadBackFillsTheEntriesTheTableNamesAndEmptiesTheOthers) {
    DeviceKeyTable table{};
    table.slots[40] = {{0x23, 0, 8, 8}};
    table.slots[41] = {{0x23, 0, 9, 8}};  // no such slot
    table.slots[42] = {{0x23, 1, 2, 8}};  // not a reference
    table.slots[43] = {{0x23, 0, 3, 8}};  // read fails
    io.combinations[8] = {0, 0xE0, 0, 0x06, 0, 0, 0, 0, 0x77};
    cache[2] = {1, CombinationKeys{0, 0x11}, 3};
    cache[1] = {1, CombinationKeys{0, 0x22}, 2};  // named by no reference
    ReadBackCombinations(driver, table, cache);
    EXPECT_EQ(cache[7], (CombinationCacheEntry{1, CombinationKeys{0, 0xE0, 0, 0x06}, 8}));
    // What the keyboard holds there is not known, but a key names it: held, and no
    // combination is taken as already there.
    EXPECT_EQ(cache[2], (CombinationCacheEntry{1, kUnreadCombination, 3}));
    for (int k : {0, 1, 3, 4, 5, 6}) EXPECT_EQ(cache[k], CombinationCacheEntry{}) << k;
    ASSERT_EQ(io.requests.size(), 2u);
    EXPECT_EQ(io.requests[0], (DeviceRequest{IOCTL_READ_COMBINATION, {8, 0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(io.requests[1].in[0], 3);

    // A held entry is neither cleared nor reused by a placement, even of its own keys.
    io.requests.clear();
    EXPECT_EQ(AllocateCombinationSlot(driver, cache, CombinationKeys{0, 0x11}).slot, 1);
    for (const DeviceRequest& r : io.requests) EXPECT_NE(r.in[0], 3) << r;
    EXPECT_EQ(cache[2], (CombinationCacheEntry{1, kUnreadCombination, 3}));
}

TEST_F(DeviceRecords, FactoryRestoreWritesTheTableThenClearsEverything) {
    for (int k = 0; k < 8; ++k) cache[k] = {1, CombinationKeys{0, 4}, k + 1};
    RestoreFactoryState(driver, FactoryKeyTable(), cache);
    std::vector<DeviceRequest> expected{TableWrite(FactoryKeyTable())};
    for (std::uint8_t s = 1; s <= 8; ++s) expected.push_back(CombinationWrite(s));
    for (std::uint8_t n = 1; n <= 11; ++n) expected.push_back(MacroWrite(n));
    EXPECT_EQ(io.requests, expected);
    EXPECT_EQ(cache, CombinationCache{});
}

TEST_F(DeviceRecords, ClosedChannelSendsNothingButTheCacheStillChanges) {
    driver.Close();
    for (int k = 0; k < 8; ++k) cache[k] = {1, CombinationKeys{0, 4}, k + 1};
    RestoreFactoryState(driver, FactoryKeyTable(), cache);
    EXPECT_EQ(cache, CombinationCache{});
    EXPECT_EQ(AllocateCombinationSlot(driver, cache, CombinationKeys{0, 5}).slot, 1);
    EXPECT_TRUE(io.requests.empty());
}

}  // namespace
