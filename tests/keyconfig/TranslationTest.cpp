#include "RecordingDeviceIo.h"
#include "keyconfig/DeviceRecords.h"
#include "keyconfig/Translation.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

KeyEntry E(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return {{a, b, c, d}}; }

struct HostEvent {
    char what;  // 'W' warning shown, 'R' reset posted
    int vk;
    std::size_t requestsSoFar;
    friend bool operator==(const HostEvent&, const HostEvent&) = default;
};

class RecordingHost final : public ITranslationHost {
public:
    explicit RecordingHost(const RecordingDeviceIo& io) : m_io(io) {}
    void ShowCombinationWarning() override { events.push_back({'W', 0, m_io.requests.size()}); }
    void PostAssignmentReset(std::uint8_t vk) override { events.push_back({'R', vk, m_io.requests.size()}); }
    std::vector<HostEvent> events;

private:
    const RecordingDeviceIo& m_io;
};

class Translation : public testing::Test {
protected:
    void SetUp() override {
        BuildFactoryTable(factory, map);
        work = factory;
        ASSERT_TRUE(driver.Open());
        // Filler records: virtual key 0 (slot 2) with a type that changes nothing.
        for (KeyAssignment& r : settings->keys.records) r = KeyAssignment{};
    }
    KeyAssignment& Rec(int i, std::uint8_t vk, std::int32_t type, std::int32_t param) {
        KeyAssignment& r = settings->keys.records[i];
        r.vk = vk;
        r.Set(type, param);
        return r;
    }
    void SetMacroCount(std::int32_t n) { StoreLe32(settings->macros.count, static_cast<std::uint32_t>(n)); }
    void SetCombination(int k, std::uint8_t a, std::uint8_t b = 0) {
        settings->combinations.records[k].vks[0] = a;
        settings->combinations.records[k].vks[1] = b;
    }
    std::int32_t S(std::uint8_t vk) const { return SelectSlot(map, vk); }
    void Run() { TranslateAssignments({work, factory, map, cache, *settings, driver}, host); }

    DeviceKeyTable factory{}, work{};
    UsageSlotMap map;
    CombinationCache cache{};
    std::unique_ptr<SettingBuffers> settings = std::make_unique<SettingBuffers>();
    RecordingDeviceIo io;
    CUSBDriver driver{io};
    RecordingHost host{io};
};

TEST_F(Translation, SlotSelection) {
    EXPECT_EQ(SelectSlot(map, 0x41), 10);   // not 5, where usage 0x04 maps
    EXPECT_EQ(SelectSlot(map, 0xAD), 134);  // not 75, where usage 0xE2 maps
    EXPECT_EQ(SelectSlot(map, 0xB5), 127);
    EXPECT_EQ(SelectSlot(map, 0xC4), 150);
    EXPECT_EQ(SelectSlot(map, 0xC3), 148);
    EXPECT_EQ(SelectSlot(map, 0xC1), 147);  // the table mark
    EXPECT_EQ(SelectSlot(map, 0x00), 2);
    EXPECT_EQ(SelectSlot(map, 0xC2), 2);  // unlisted
    EXPECT_EQ(SelectSlot(map, 0x42), 37);
    EXPECT_EQ(SelectSlot(UsageSlotMap{}, 0x42), -1);
    EXPECT_EQ(SelectSlot(UsageSlotMap{}, 0x41), 10);
}

TEST_F(Translation, EntriesForEveryPlainType) {
    work = DeviceKeyTable{};
    Rec(0, 0x41, AssignDefault, 0);
    Rec(1, 0xC1, AssignDefault, 0);
    Rec(2, 0x42, AssignConsumer, 18);
    Rec(3, 0x43, AssignConsumerAlt, 7);
    Rec(4, 0x44, AssignConsumer, -1);
    Rec(5, 0x45, AssignKeyRemap, 0xC2);
    Rec(6, 0x46, AssignKeyRemap, 0x7FFFFF41);
    Rec(7, 0x47, AssignMouseButton, 10);
    Rec(8, 0x48, AssignMouseButton, 16);
    Rec(9, 0x49, AssignMouseButton, 17);
    Rec(10, 0x4A, AssignMouseButton, 0);
    Rec(11, 0x4B, 10, 0);  // unknown type
    Run();
    EXPECT_EQ(work.slots[10], E(0x00, 0x04, 0, 0));
    EXPECT_EQ(work.slots[147], E(0x70, 0xFF, 0, 0));
    EXPECT_EQ(work.slots[S(0x42)], E(0x04, 0, 0, 0));
    EXPECT_EQ(work.slots[S(0x43)], E(0x04, 0, 0x00, 0xE2));
    EXPECT_EQ(work.slots[S(0x44)], E(0x04, 0, 0, 0));
    EXPECT_EQ(work.slots[S(0x45)], E(0, 0, 0, 0));
    EXPECT_EQ(work.slots[S(0x46)], E(0, 0x04, 0, 0));
    EXPECT_EQ(work.slots[S(0x47)], E(0x02, 0, 1, 1));
    EXPECT_EQ(work.slots[S(0x48)], E(0x02, 0, 16, 0));
    // Out of range: kind and byte 1 set, bytes 2 and 3 kept.
    const std::int32_t s9 = SelectSlot(map, 0x49), s10 = SelectSlot(map, 0x4A), s11 = SelectSlot(map, 0x4B);
    EXPECT_EQ(work.slots[s9], E(0x02, 0, 0, 0));
    work = DeviceKeyTable{};
    work.slots[s10] = E(0x09, 0x09, 0x33, 0x44);
    work.slots[s11] = E(0x09, 0x09, 0x33, 0x44);
    Run();
    EXPECT_EQ(work.slots[s10], E(0x02, 0, 0x33, 0x44));
    EXPECT_EQ(work.slots[s11], E(0x09, 0x09, 0x33, 0x44));
    EXPECT_TRUE(io.requests.empty());
    EXPECT_TRUE(host.events.empty());
}

TEST_F(Translation, ConsumerTableCoversEveryIndex) {
    const std::uint16_t usages[18] = {0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA, 0x00E9, 0x00E2, 0x0224,
                                      0x0225, 0x0226, 0x0227, 0x022A, 0x0221, 0x018A, 0x0223, 0x0194, 0x0192};
    for (int p = 0; p < 18; ++p) {
        Rec(0, 0x5A, AssignConsumer, p);
        Run();
        EXPECT_EQ(work.slots[SelectSlot(map, 0x5A)], E(0x04, 0, usages[p] >> 8, usages[p] & 0xFF)) << p;
    }
}

TEST_F(Translation, ValidMacroIsReferencedAndSent) {
    SetMacroCount(3);
    Rec(0, 0x42, AssignMacro, 2);
    Run();
    EXPECT_EQ(work.slots[S(0x42)], E(0x53, 0, 3, 0xC0));
    MacroContent content{};
    content[1] = 1;
    EXPECT_EQ(io.requests, std::vector{MacroWrite(3, content)});
    EXPECT_TRUE(host.events.empty());
}

TEST_F(Translation, InvalidMacroReferenceIsResetReportedAndGetsTheFactoryEntry) {
    struct Case {
        std::int32_t count, param;
    };
    for (const Case c : {Case{3, 3}, Case{0, 0}, Case{3, -1}, Case{500, 100}, Case{500, 150}, Case{-5, 0}}) {
        SCOPED_TRACE(testing::Message() << c.count << ' ' << c.param);
        SetMacroCount(c.count);
        work.slots[S(0x42)] = E(0x53, 0, 9, 0xC0);
        io.requests.clear();
        host.events.clear();
        Rec(0, 0x42, AssignMacro, c.param);
        Rec(1, 0x43, AssignConsumer, 1);  // the translation goes on
        Run();
        EXPECT_EQ(settings->keys.records[0].Type(), AssignDefault);
        EXPECT_EQ(settings->keys.records[0].Parameter(), 0);
        EXPECT_EQ(host.events, std::vector<HostEvent>({{'R', 0x42, 0}}));
        EXPECT_EQ(work.slots[S(0x42)], factory.slots[S(0x42)]);
        EXPECT_EQ(work.slots[S(0x43)], E(0x04, 0, 0, 0xCD));
        EXPECT_TRUE(io.requests.empty());
    }
}

TEST_F(Translation, MacroCountAboveOneHundredStillReachesTheLastRecord) {
    SetMacroCount(1000);
    Rec(0, 0x42, AssignMacro, 99);
    Run();
    EXPECT_EQ(work.slots[S(0x42)], E(0x53, 0, 100, 0xC0));
    EXPECT_TRUE(io.requests.empty());  // device numbers stop at 11
    EXPECT_TRUE(host.events.empty());
}

TEST_F(Translation, EqualCombinationsShareOneDeviceSlot) {
    SetCombination(5, 0xA2, 0x43);
    Rec(0, 0x42, AssignCombination, 5);
    Rec(1, 0x44, AssignCombination, 5);
    Run();
    const CombinationKeys keys{0, 0xE0, 0, 0x06};
    std::vector<DeviceRequest> expected;
    for (std::uint8_t s = 1; s <= 8; ++s) expected.push_back(CombinationWrite(s));
    expected.push_back(CombinationWrite(1, keys));
    for (std::uint8_t s = 2; s <= 8; ++s) expected.push_back(CombinationWrite(s));  // re-cleared, not resent
    EXPECT_EQ(io.requests, expected);
    EXPECT_EQ(work.slots[S(0x42)], E(0x23, 0, 1, 8));
    EXPECT_EQ(work.slots[S(0x44)], E(0x23, 0, 1, 8));
    EXPECT_EQ(cache[0], (CombinationCacheEntry{1, keys, 1}));
}

TEST_F(Translation, FixedShortcutsBuildTheirKeys) {
    Rec(0, 0x42, AssignSystemShortcut, 1);
    Rec(1, 0x43, AssignEditShortcut, 9);
    Rec(2, 0x44, AssignEditShortcut, 0);  // outside: the all-zero combination
    Run();
    EXPECT_EQ(cache[0].keys, (CombinationKeys{0, 0xE2, 0, 0x2B}));
    EXPECT_EQ(cache[1].keys, (CombinationKeys{0, 0xE0, 0, 0x1D}));
    EXPECT_EQ(cache[2], (CombinationCacheEntry{1, CombinationKeys{}, 3}));
    EXPECT_EQ(work.slots[S(0x44)], E(0x23, 0, 3, 8));
}

TEST_F(Translation, CombinationIndexOutsideTheRecordsIsRejectedLikeABadMacro) {
    for (std::int32_t p : {-1, 100, 0x7FFFFFFF}) {
        SCOPED_TRACE(p);
        io.requests.clear();
        host.events.clear();
        work.slots[S(0x42)] = E(0x23, 0, 4, 8);
        Rec(0, 0x42, AssignCombination, p);
        Rec(1, 0x43, AssignMouseButton, 3);
        Run();
        EXPECT_EQ(settings->keys.records[0].Type(), AssignDefault);
        EXPECT_EQ(host.events, std::vector<HostEvent>({{'R', 0x42, 0}}));
        EXPECT_EQ(work.slots[S(0x42)], factory.slots[S(0x42)]);
        EXPECT_EQ(work.slots[S(0x43)], E(0x02, 0, 3, 0));
        EXPECT_TRUE(io.requests.empty());
    }
}

TEST_F(Translation, ReleaseFreesACombinationOnlyWhenNoOtherSlotShowsIt) {
    const CombinationKeys k3{0, 0x10}, k5{0, 0x11};
    cache[2] = {1, k3, 3};
    cache[4] = {1, k5, 5};
    work.slots[S(0x42)] = E(0x23, 0, 3, 8);
    work.slots[S(0x43)] = E(0x23, 0, 5, 8);
    work.slots[90] = E(0x23, 7, 5, 0);  // only bytes 0 and 2 count for "still shown"
    Rec(0, 0x42, AssignDefault, 0);
    Rec(1, 0x43, 0, 0);
    Run();
    EXPECT_EQ(cache[2], CombinationCacheEntry{});
    EXPECT_EQ(cache[4], (CombinationCacheEntry{1, k5, 5}));
    EXPECT_EQ(work.slots[S(0x42)], factory.slots[S(0x42)]);
    EXPECT_EQ(work.slots[S(0x43)], E(0x23, 0, 5, 8));
}

TEST_F(Translation, RecordOfNoKnownTypeKeepsTheCombinationItsSlotShows) {
    // Found by fuzzing: a later record for the same slot, of a type that writes nothing,
    // freed the combination the slot still showed; the next placement then reused its device
    // slot, and the first key sent the second key's combination.
    SetCombination(0, 0xA2, 0x31);
    SetCombination(1, 0xA2, 0x32);
    Rec(0, 0x00, AssignCombination, 0);
    Rec(1, 0x00, 0, 0);
    Rec(2, 0x00, 77, 0);
    Rec(3, 0x42, AssignCombination, 1);
    Run();
    EXPECT_EQ(work.slots[2], E(0x23, 0, 1, 8));
    EXPECT_EQ(work.slots[S(0x42)], E(0x23, 0, 2, 8));
    EXPECT_EQ(cache[0].used, 1);
    EXPECT_EQ(cache[0].keys, CombinationKeysFromRecord(settings->combinations.records[0]));
}

TEST_F(Translation, CombinationThatCouldNotBeReadBackStaysHeldUntilATranslationReleasesIt) {
    // The keyboard's table names slot 3 for key B, and reading slot 3 back fails.
    work.slots[S(0x42)] = E(0x23, 0, 3, 8);
    ReadBackCombinations(driver, work, cache);
    SetCombination(0, 0xA2, 0x31);
    Rec(0, 0x43, AssignCombination, 0);
    Rec(1, 0x42, 0, 0);  // leaves key B alone
    Run();
    EXPECT_EQ(work.slots[S(0x43)], E(0x23, 0, 1, 8));
    EXPECT_EQ(work.slots[S(0x42)], E(0x23, 0, 3, 8));
    for (const DeviceRequest& r : io.requests)
        EXPECT_FALSE(r.code == IOCTL_WRITE_COMBINATION && r.in[0] == 3) << "key B's combination was cleared: " << r;
    EXPECT_EQ(cache[2], (CombinationCacheEntry{1, kUnreadCombination, 3}));

    // Key B reassigned: its slot is free for the next placement.
    Rec(1, 0x42, AssignDefault, 0);
    Run();
    EXPECT_EQ(work.slots[S(0x42)], factory.slots[S(0x42)]);
    EXPECT_EQ(cache[2], CombinationCacheEntry{});
}

TEST_F(Translation, NinthDistinctCombinationWarnsResetsReportsAndStops) {
    const std::uint8_t vks[] = {0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B};
    for (int i = 0; i < 9; ++i) {
        SetCombination(i, 0xA2, static_cast<std::uint8_t>(0x30 + i));
        Rec(i, vks[i], AssignCombination, i);
    }
    Rec(9, vks[9], AssignConsumer, 1);
    const DeviceKeyTable before = work;
    Run();
    // 8 placements: (8 + 7 + ... + 1) clears and 8 sends; the ninth clears nothing.
    ASSERT_EQ(io.requests.size(), 44u);
    EXPECT_EQ(host.events, (std::vector<HostEvent>{{'W', 0, 44}, {'R', 0x4A, 44}}));
    EXPECT_EQ(settings->keys.records[8].Type(), AssignDefault);
    EXPECT_EQ(settings->keys.records[8].Parameter(), 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(work.slots[SelectSlot(map, vks[i])], E(0x23, 0, static_cast<std::uint8_t>(i + 1), 8));
    EXPECT_EQ(work.slots[SelectSlot(map, 0x4A)], before.slots[SelectSlot(map, 0x4A)]);
    EXPECT_EQ(work.slots[SelectSlot(map, 0x4B)], before.slots[SelectSlot(map, 0x4B)]);
    EXPECT_EQ(settings->keys.records[9].Type(), AssignConsumer);
}

TEST_F(Translation, NoSlotForTheKeyLeavesEverythingAlone) {
    map.clear();
    SetMacroCount(5);
    Rec(0, 0x42, AssignMacro, 1);
    Rec(1, 0x43, AssignCombination, 1);
    Rec(2, 0x44, AssignMacro, 9);  // invalid, but there is nowhere to reset it for
    const DeviceKeyTable before = work;
    Run();
    EXPECT_EQ(work, before);
    EXPECT_TRUE(io.requests.empty());
    EXPECT_TRUE(host.events.empty());
}

TEST_F(Translation, ClosedChannelStillUpdatesTableAndCache) {
    driver.Close();
    SetMacroCount(1);
    Rec(0, 0x42, AssignMacro, 0);
    Rec(1, 0x43, AssignSystemShortcut, 2);
    Run();
    EXPECT_EQ(work.slots[S(0x42)], E(0x53, 0, 1, 0xC0));
    EXPECT_EQ(work.slots[S(0x43)], E(0x23, 0, 1, 8));
    EXPECT_EQ(cache[0], (CombinationCacheEntry{1, CombinationKeys{0, 0xE2, 0, 0x3D}, 1}));
    EXPECT_TRUE(io.requests.empty());
}

TEST_F(Translation, WorstCaseConfigurationSendsOnlyWholeRequests) {
    // 108 keys with distinct slots: 11 macros of the longest stored length, 8 combinations,
    // the rest with their factory function.
    std::vector<std::uint8_t> vks;
    std::set<std::int32_t> slots;
    for (int vk = 0; vk < 256 && vks.size() < 108; ++vk)
        if (slots.insert(S(static_cast<std::uint8_t>(vk))).second) vks.push_back(static_cast<std::uint8_t>(vk));
    ASSERT_EQ(vks.size(), 108u);
    SetMacroCount(11);
    for (int k = 0; k < 11; ++k) {
        MacroRecord& m = settings->macros.records[k];
        StoreLe32(m.repeat, 0xFFFF);
        m.eventCount[0] = kMacroEventCapacity;
        for (MacroEvent& e : m.events) {
            e.vk = 0x41;
            e.state = 1;
            StoreLe32(e.delay, 0xFFFFFFFF);
        }
    }
    for (int i = 0; i < 108; ++i) {
        if (i < 11)
            Rec(i, vks[i], AssignMacro, i);
        else if (i < 19) {
            SetCombination(i - 11, 0xA2, vks[i]);
            Rec(i, vks[i], AssignCombination, i - 11);
        } else
            Rec(i, vks[i], AssignDefault, 0);
    }
    Run();
    EXPECT_TRUE(host.events.empty());
    int macros = 0, combinations = 0;
    for (const DeviceRequest& r : io.requests) {
        if (r.code == IOCTL_WRITE_MACRO) {
            ++macros;
            ASSERT_EQ(r.in.size(), 193u);
            EXPECT_EQ(r.in[1], 0xFF);
            EXPECT_EQ(r.in[2], 0xFF);
            EXPECT_EQ(r.in[191], 0xFF);  // event 94: 127 units, state bit
            EXPECT_EQ(r.in[192], 0x04);
        } else {
            ++combinations;
            ASSERT_EQ(r.code, IOCTL_WRITE_COMBINATION);
            ASSERT_EQ(r.in.size(), 9u);
        }
    }
    EXPECT_EQ(macros, 11);
    EXPECT_EQ(combinations, 44);
}

}  // namespace
