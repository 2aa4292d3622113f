// Reading "KeySetting" as it is: every state of the stored value is told apart, and the reading
// never writes (the agent alone creates and repairs the values).
#include <gtest/gtest.h>

#include "FakeRegistry.h"
#include "config/StoredKeys.h"

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> KeyBytes(const KeySetting& keys) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(&keys);
    return {b, b + sizeof keys};
}

class StoredKeysRead : public ::testing::Test {
protected:
    // The hive's values after the read, to show that nothing was written.
    std::size_t Values() const { return reg.ValueCount(kSettingsKeyPath); }
    FakeRegistry reg;
};

TEST_F(StoredKeysRead, TheStoredRecordsAsTheyAre) {
    KeySetting keys{};
    keys.records[0].vk = 0x1B;
    keys.records[0].Set(AssignConsumer, 3);
    keys.records[5].vk = 0x41;
    keys.records[5].Set(AssignKeyRemap, 0x42);
    keys.records[5].reserved[1] = 0xEE;
    reg.Put(kSettingsKeyPath, u"KeySetting", kRegBinary, KeyBytes(keys));

    const StoredKeys stored = ReadStoredKeys(reg);
    ASSERT_EQ(stored.state, StoredKeysState::Read);
    EXPECT_EQ(std::memcmp(&stored.keys, &keys, sizeof keys), 0);
    EXPECT_EQ(stored.size, sizeof keys);
    EXPECT_EQ(reg.OpenHandles(), 0u);
    EXPECT_EQ(Values(), 1u);
}

TEST_F(StoredKeysRead, MissingKeyOrValueIsSaidAndNothingIsCreated) {
    StoredKeys stored = ReadStoredKeys(reg);
    EXPECT_EQ(stored.state, StoredKeysState::NoKey);
    EXPECT_FALSE(reg.HasKey(kSettingsKeyPath));

    reg.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {8, 0, 0, 0});
    stored = ReadStoredKeys(reg);
    EXPECT_EQ(stored.state, StoredKeysState::NoValue);
    EXPECT_EQ(Values(), 1u);
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(StoredKeysRead, AValueOfAnotherTypeOrSizeIsNamedNotRead) {
    reg.Put(kSettingsKeyPath, u"KeySetting", kRegDword, {1, 0, 0, 0});
    StoredKeys stored = ReadStoredKeys(reg);
    EXPECT_EQ(stored.state, StoredKeysState::WrongType);
    EXPECT_EQ(stored.type, kRegDword);

    // Shorter and longer values alike: the agent would mix a short one with older records.
    for (std::size_t size : {600u, 1295u, 1300u}) {
        reg.Put(kSettingsKeyPath, u"KeySetting", kRegBinary, std::vector<std::uint8_t>(size, 0x11));
        stored = ReadStoredKeys(reg);
        EXPECT_EQ(stored.state, StoredKeysState::WrongSize) << size;
        EXPECT_EQ(stored.size, size);
        EXPECT_EQ(stored.keys.records[0].vk, 0) << "records of a value of the wrong size were kept";
    }
    EXPECT_EQ(reg.Find(kSettingsKeyPath, u"KeySetting")->bytes.size(), 1300u) << "the value was changed";
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(StoredKeysRead, AKeyThatCannotBeOpenedIsUnreadableWithItsError) {
    reg.Put(kSettingsKeyPath, u"KeySetting", kRegBinary, std::vector<std::uint8_t>(1296, 0));
    reg.m_bDenyAccess = true;
    const StoredKeys stored = ReadStoredKeys(reg);
    EXPECT_EQ(stored.state, StoredKeysState::Unreadable);
    EXPECT_EQ(stored.error, kRegAccessDenied);
}

TEST_F(StoredKeysRead, TheReportRateShownIsTheStoredCodeWhenTheAgentWouldPassItOn) {
    EXPECT_EQ(StoredReportRate(reg), 8) << "nothing stored";
    for (std::uint8_t code : {1, 2, 8}) {
        reg.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {code, 0, 0, 0});
        EXPECT_EQ(StoredReportRate(reg), code);
    }
    reg.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {4, 0, 0, 0});
    EXPECT_EQ(StoredReportRate(reg), 8) << "a code the agent ignores";
    reg.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {2, 1, 0, 0});
    EXPECT_EQ(StoredReportRate(reg), 8) << "0x102 is not code 2 when stored";
    reg.Put(kSettingsKeyPath, u"RateSetting", kRegDword, {2, 0, 0, 0});
    EXPECT_EQ(StoredReportRate(reg), 8) << "not binary";
    reg.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {2, 0});
    EXPECT_EQ(StoredReportRate(reg), 8) << "too short";
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(FindAssignment, TheFirstRecordOfTheKeyAndNeverOneForCodeZero) {
    KeySetting keys{};
    keys.records[3].vk = 0x41;
    keys.records[3].Set(AssignMacro, 1);
    keys.records[9].vk = 0x41;
    keys.records[9].Set(AssignMacro, 2);
    ASSERT_NE(FindAssignment(keys, 0x41), nullptr);
    EXPECT_EQ(FindAssignment(keys, 0x41)->Parameter(), 1);
    EXPECT_EQ(FindAssignment(keys, 0x42), nullptr);
    EXPECT_EQ(FindAssignment(keys, 0), nullptr) << "an empty record named a key without a code";
}

}  // namespace
