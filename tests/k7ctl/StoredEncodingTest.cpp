#include "FakeRegistry.h"
#include "ProfileJson.h"
#include "RegistryValues.h"
#include "ShippedKeyIndex.h"
#include "StoredEncoding.h"
#include "keyconfig/SettingsStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::string ExampleText() {
    std::ifstream f(K7_EXAMPLE_PROFILE, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

Profile Read(std::string_view text) {
    Profile p;
    const auto errors = ReadProfile(text, "p.json", ShippedLayout(), p);
    EXPECT_THAT(errors, IsEmpty());
    return p;
}

std::unique_ptr<StoredSettings> Sentinel() {
    auto s = std::make_unique<StoredSettings>();
    std::memset(static_cast<void*>(&s->buffers), 0xA5, sizeof s->buffers);
    s->rate = 8;
    return s;
}

bool AllBytes(const void* p, std::size_t n, std::uint8_t value) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    return std::all_of(b, b + n, [value](std::uint8_t x) { return x == value; });
}

std::vector<std::uint8_t> Value(const FakeRegistry& r, std::u16string_view path, std::u16string_view name) {
    const FakeRegistry::Value* v = r.Find(path, name);
    return v ? v->bytes : std::vector<std::uint8_t>{};
}

std::string Export(IRegistry& registry, std::vector<std::string>* warnings = nullptr) {
    std::vector<std::string> w;
    const auto stored = ReadStoredSettings(registry);
    EXPECT_TRUE(stored);
    const std::string text = ProfileToJson(ProfileFromStored(*stored, ShippedLayout(), w), ShippedLayout());
    if (warnings) *warnings = w;
    return text;
}

}  // namespace

TEST(EncodeProfile, WritesWhatTheAgentReadsAndKeepsEveryOtherByte) {
    auto s = Sentinel();
    EncodeProfile(Read(ExampleText()), ShippedLayout(), *s);
    const SettingBuffers& b = s->buffers;

    const KeyAssignment& f1 = b.keys.records[KeyIndex("F1")];
    EXPECT_EQ(f1.vk, 0x70);
    EXPECT_EQ(f1.Type(), AssignConsumer);
    EXPECT_EQ(f1.Parameter(), 1);
    EXPECT_TRUE(AllBytes(f1.reserved, 3, 0xA5));
    const KeyAssignment& esc = b.keys.records[KeyIndex("Esc")];
    EXPECT_EQ(esc.Type(), AssignDefault);
    EXPECT_EQ(esc.Parameter(), 0);  // the stored record was no default: its parameter is cleared
    EXPECT_EQ(b.keys.records[KeyIndex("Pause")].Parameter(), 1);
    for (int i = 0; i < kKeyAssignmentCount; ++i) EXPECT_EQ(b.keys.records[i].vk, ShippedLayout()[i].vkcode);

    EXPECT_EQ(b.macros.Count(), 2);
    const MacroRecord& burst = b.macros.records[0];
    EXPECT_TRUE(AllBytes(burst.header, 8, 0xA5));
    EXPECT_THAT(burst.repeat, ElementsAre(3, 0, 0xA5, 0xA5));
    EXPECT_EQ(burst.EventCount(), 4);
    EXPECT_TRUE(AllBytes(burst.reserved, 2, 0xA5));
    EXPECT_EQ(burst.events[0].vk, 0x20);
    EXPECT_EQ(burst.events[0].state, 0xA5);  // a nonzero flag already means down
    EXPECT_EQ(burst.events[1].state, 0);
    EXPECT_EQ(burst.events[2].DelayMs(), 100u);
    EXPECT_TRUE(AllBytes(burst.events[2].reserved, 2, 0xA5));
    EXPECT_TRUE(AllBytes(&burst.events[4], sizeof(MacroEvent) * (kMacroEventCapacity - 4), 0xA5));
    EXPECT_TRUE(AllBytes(&b.macros.records[2], sizeof(MacroRecord) * 98, 0xA5));

    EXPECT_THAT(b.combinations.records[0].vks, ElementsAre(0xA2, 0xA0, 0x1B, 0));
    EXPECT_THAT(b.combinations.records[1].vks, ElementsAre(0xA2, 0xA4, 0x2E, 0));
    EXPECT_TRUE(AllBytes(b.combinations.records[0].reserved, 520, 0xA5));
    EXPECT_TRUE(AllBytes(&b.combinations.records[2], sizeof(CombinationRecord) * 98, 0xA5));
    EXPECT_TRUE(AllBytes(b.combinations.tail, 4, 0xA5));
    EXPECT_EQ(s->rate, 2);
}

TEST(EncodeProfile, ADefaultKeepsTheParameterOfADefaultRecord) {
    auto s = std::make_unique<StoredSettings>();
    s->buffers.keys.records[0].Set(AssignDefault, 77);
    s->buffers.keys.records[1].Set(AssignMouseButton, 3);
    EncodeProfile(Profile{}, ShippedLayout(), *s);
    EXPECT_EQ(s->buffers.keys.records[0].Parameter(), 77);
    EXPECT_EQ(s->buffers.keys.records[1].Type(), AssignDefault);
    EXPECT_EQ(s->buffers.keys.records[1].Parameter(), 0);
}

TEST(EncodeProfile, WritesNoMoreThanTheRecordsHold) {
    // An edited profile may hold more than the checker allows; encoding it must not overrun.
    Profile p;
    p.macros.resize(kMacroRecordCount + 1, ProfileMacro{"m", 1, {}});
    p.macros[0].events.resize(kMacroEventCapacity + 1, MacroStep{0x41, true, 0});
    p.combinations.resize(kCombinationRecordCount + 1, ComboKeys{0xA2, 0x43, 0, 0});
    auto s = Sentinel();
    EncodeProfile(p, ShippedLayout(), *s);
    EXPECT_EQ(s->buffers.macros.Count(), kMacroRecordCount);
    EXPECT_EQ(s->buffers.macros.records[0].EventCount(), kMacroEventCapacity);
    EXPECT_EQ(s->buffers.macros.records[0].events[kMacroEventCapacity - 1].vk, 0x41);
    EXPECT_THAT(s->buffers.combinations.records[kCombinationRecordCount - 1].vks, ElementsAre(0xA2, 0x43, 0, 0));
    EXPECT_TRUE(AllBytes(s->buffers.combinations.tail, 4, 0xA5));
}

TEST(Export, AFreshAgentKeyIsAllDefaults) {
    FakeRegistry registry;
    SettingBuffers buffers;
    std::int32_t rate = 0;
    LoadSettings(registry, ShippedLayout(), buffers, rate);
    EXPECT_EQ(Export(registry), "{\n  \"rate\": 8,\n  \"keys\": {},\n  \"macros\": []\n}\n");
}

TEST(Export, ApplyingTheExportLeavesEveryValueByteForByte) {
    FakeRegistry registry;
    SettingBuffers buffers;
    std::int32_t rate = 0;
    LoadSettings(registry, ShippedLayout(), buffers, rate);
    // Bytes the agent does not read carry the configuration program's own data.
    auto stored = ReadStoredSettings(registry);
    std::memset(stored->buffers.macros.records[0].header, 0x5A, 8);
    std::memset(stored->buffers.combinations.records[1].reserved, 0x3C, 520);
    stored->buffers.keys.records[5].reserved[1] = 9;
    ASSERT_TRUE(WriteStoredSettings(registry, *stored));
    ASSERT_TRUE(WriteProfile(registry, Read(ExampleText()), ShippedLayout()));

    const auto before = [&](std::u16string_view name) { return Value(registry, kSettingsKeyPath, name); };
    const auto keys = before(u"KeySetting"), macros = before(u"MacroSetting"), combs = before(u"CombSetting"),
               rates = before(u"RateSetting");
    ASSERT_EQ(keys.size(), 1296u);
    ASSERT_EQ(macros.size(), 130404u);

    std::vector<std::string> warnings;
    const std::string exported = Export(registry, &warnings);
    EXPECT_THAT(warnings, IsEmpty());
    ASSERT_TRUE(WriteProfile(registry, Read(exported), ShippedLayout()));
    EXPECT_EQ(before(u"KeySetting"), keys);
    EXPECT_EQ(before(u"MacroSetting"), macros);
    EXPECT_EQ(before(u"CombSetting"), combs);
    EXPECT_EQ(before(u"RateSetting"), rates);
    EXPECT_EQ(Export(registry), exported);
}

TEST(Export, NamesMacrosAndListsWhatAProfileCannotSay) {
    auto s = std::make_unique<StoredSettings>();
    EncodeProfile(Read(R"({"keys": {"A": {"macro": "x"}, "B": {"macro": "y"}},
                           "macros": [{"name": "x"}, {"name": "y", "events": [{"down": "Q", "delay": 5}]}]})"),
                  ShippedLayout(), *s);
    s->buffers.keys.records[KeyIndex("C")].Set(42, 0);
    s->buffers.keys.records[KeyIndex("D")].Set(AssignKeyRemap, 0x10);
    s->buffers.keys.records[KeyIndex("E")].Set(AssignMacro, 2);
    s->buffers.macros.records[1].events[1] = s->buffers.macros.records[1].events[0];
    s->buffers.macros.records[1].eventCount[0] = 2;
    s->buffers.macros.records[1].events[1].vk = 0x07;
    s->rate = 5;
    std::vector<std::string> warnings;
    const Profile p = ProfileFromStored(*s, ShippedLayout(), warnings);
    EXPECT_THAT(warnings,
                ElementsAre("macro \"macro2\", event 2: key code 7 has no name; the event is left out",
                            "key \"E\": type 4 with parameter 2 cannot be written in a profile; it is left as default",
                            "key \"D\": type 9 with parameter 16 cannot be written in a profile; it is left as default",
                            "key \"C\": type 42 with parameter 0 cannot be written in a profile; it is left as default",
                            "rate: stored code 5 is not 1, 2 or 8; written as 8"));
    EXPECT_EQ(ProfileToJson(p, ShippedLayout()), R"({
  "rate": 8,
  "keys": {
    "A": {
      "macro": "macro1"
    },
    "B": {
      "macro": "macro2"
    }
  },
  "macros": [
    {
      "name": "macro1",
      "repeat": 1,
      "events": []
    },
    {
      "name": "macro2",
      "repeat": 1,
      "events": [
        {
          "down": "Q",
          "delay": 5
        }
      ]
    }
  ]
}
)");
}

TEST(RegistryValues, TheBackupBringsBackWhatAProfileReplaced) {
    FakeRegistry registry;
    EXPECT_FALSE(RestoreBackup(registry));
    SettingBuffers buffers;
    std::int32_t rate = 0;
    LoadSettings(registry, ShippedLayout(), buffers, rate);
    const auto original = Value(registry, kSettingsKeyPath, u"KeySetting");
    ASSERT_TRUE(WriteProfile(registry, Read(ExampleText()), ShippedLayout()));
    EXPECT_NE(Value(registry, kSettingsKeyPath, u"KeySetting"), original);
    EXPECT_EQ(Value(registry, kBackupKeyPath, u"KeySetting"), original);
    EXPECT_THAT(Value(registry, kSettingsKeyPath, u"RateSetting"), ElementsAre(2, 0, 0, 0));
    ASSERT_TRUE(RestoreBackup(registry));
    EXPECT_EQ(Value(registry, kSettingsKeyPath, u"KeySetting"), original);
    EXPECT_THAT(Value(registry, kSettingsKeyPath, u"RateSetting"), ElementsAre(8, 0, 0, 0));
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST(RegistryValues, NothingIsWrittenWhenTheRegistryRefuses) {
    FakeRegistry registry;
    registry.m_bDenyAccess = true;
    EXPECT_FALSE(WriteProfile(registry, Profile{}, ShippedLayout()));
    registry.m_bDenyAccess = false;
    EXPECT_FALSE(registry.HasKey(kSettingsKeyPath));
}
