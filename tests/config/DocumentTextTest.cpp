// What the program says of its document and of the stored values: the title for each source
// with its mark for unsaved edits, the filled templates, the stored values of a wrong type or
// size; and a profile saved from the document reads back and applies to the same bytes.
#include "config/DocumentText.h"
#include "config/StoredValueCheck.h"

#include "FakeRegistry.h"
#include "ProfileJson.h"
#include "RegistryValues.h"
#include "ShippedKeys.h"
#include "xml/Utf8Text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ConfigTexts Texts() {
    ConfigTexts t;
    t.titleStored = u"Stored settings";
    t.titleNew = u"New profile";
    t.titleDraft = u"Kept edits";
    t.valueType = u"type of %1: %2";
    t.valueSize = u"size of %1: %2 not %3, %4";
    t.valueShorter = u"shorter";
    t.valueLonger = u"longer";
    return t;
}

TEST(FillText, FillsNumberedPlacesAndLeavesOthersAsTheyAre) {
    EXPECT_EQ(FillText(u"%2 before %1", {u"a", u"b"}), u"b before a");
    EXPECT_EQ(FillText(u"100% of %1, %3 and %", {u"x"}), u"100% of x, %3 and %");
    EXPECT_EQ(FillText(u"%1", {u"%2"}), u"%2") << "an argument is not filled in again";
    EXPECT_EQ(FileName(u"C:\\profiles\\fps.json"), u"fps.json");
    EXPECT_EQ(FileName(u"fps.json"), u"fps.json");
}

TEST(DocumentTitle, NamesWhatTheDocumentShowsAndMarksUnsavedEdits) {
    CConfigDocument doc(ShippedLayout());
    const ConfigTexts texts = Texts();
    const auto title = [&] { return DocumentTitle(doc, texts, u"K7"); };

    doc.Load({}, CConfigDocument::Source::Stored);
    EXPECT_EQ(title(), u"Stored settings - K7");
    EXPECT_TRUE(doc.SetRate(2));
    EXPECT_EQ(title(), u"*Stored settings - K7");
    doc.Load({}, CConfigDocument::Source::New);
    EXPECT_EQ(title(), u"New profile - K7");
    doc.MarkSaved(u"C:\\profiles\\fps.json");
    EXPECT_EQ(title(), u"fps.json - K7");
    EXPECT_TRUE(doc.SetRate(1));
    EXPECT_EQ(title(), u"*fps.json - K7");

    // Kept edits of a file are that file's, unsaved; of anything else, kept edits.
    doc.Load({}, CConfigDocument::Source::Draft, u"C:\\profiles\\fps.json");
    EXPECT_EQ(title(), u"*fps.json - K7");
    EXPECT_EQ(doc.Path(), u"C:\\profiles\\fps.json") << "Save writes kept edits back to their file";
    doc.Load({}, CConfigDocument::Source::Draft);
    EXPECT_EQ(title(), u"*Kept edits - K7");
}

class StoredValues : public ::testing::Test {
protected:
    void Put(const char16_t* name, std::uint32_t type, std::size_t size) {
        reg.Put(kSettingsKeyPath, name, type, std::vector<std::uint8_t>(size, 0));
    }
    std::vector<std::u16string> Problems() { return StoredValueProblems(reg, Texts()); }
    FakeRegistry reg;
};

TEST_F(StoredValues, ValuesAsTheAgentWritesThemOrMissingAreNoProblem) {
    EXPECT_TRUE(Problems().empty()) << "no key yet";
    Put(kKeySettingName, kRegBinary, sizeof(KeySetting));
    Put(kMacroSettingName, kRegBinary, sizeof(MacroSetting));
    Put(kRateSettingName, kRegBinary, 4);
    EXPECT_TRUE(Problems().empty()) << "CombSetting is missing: it reads as zeros";
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(StoredValues, EachValueOfAnotherTypeOrSizeIsNamedWithWhatIsDone) {
    Put(kKeySettingName, kRegBinary, sizeof(KeySetting) - 1);
    Put(kMacroSettingName, kRegDword, 4);
    Put(kCombSettingName, kRegBinary, sizeof(CombSetting) + 16);
    Put(kRateSettingName, kRegSz, 4);
    const std::u16string keys = u"size of KeySetting: 1295 not 1296, shorter";
    const std::u16string combs = u"size of CombSetting: " + Utf16FromUtf8(std::to_string(sizeof(CombSetting) + 16)) +
                                 u" not " + Utf16FromUtf8(std::to_string(sizeof(CombSetting))) + u", longer";
    EXPECT_EQ(Problems(),
              (std::vector<std::u16string>{keys, u"type of MacroSetting: 4", combs, u"type of RateSetting: 1"}));
    EXPECT_EQ(reg.OpenHandles(), 0u);
    EXPECT_EQ(reg.Find(kSettingsKeyPath, kKeySettingName)->bytes.size(), sizeof(KeySetting) - 1) << "nothing repaired";
}

// A profile the program saves is k7ctl's: it reads back without an error as the same profile,
// and applying it leaves the stored values it came from byte for byte as they were.
TEST(SavedProfile, ReadsBackAndAppliesToTheBytesItCameFrom) {
    FakeRegistry reg;
    Profile stored;
    stored.keys[KeyIndex(u"Esc")] = {AssignConsumer, 3};
    stored.keys[KeyIndex(u"A")] = {AssignKeyRemap, 0x42};
    stored.macros.push_back({"burst", 2, {{0x41, true, 50}, {0x41, false, 6399}}});
    stored.keys[KeyIndex(u"F1")] = {AssignMacro, 0};
    stored.combinations.push_back({0xA2, 0x43, 0, 0});
    stored.keys[KeyIndex(u"F2")] = {AssignCombination, 0};
    stored.rate = 2;
    ASSERT_TRUE(WriteProfile(reg, stored, ShippedLayout()));
    const auto before = ReadStoredSettings(reg);

    CConfigDocument doc(ShippedLayout());
    LoadStoredProfile(doc, reg);
    EXPECT_TRUE(doc.Warnings().empty());
    const std::string text = ProfileToJson(doc.Current(), ShippedLayout());

    Profile opened;
    const std::vector<std::string> errors = ReadProfile(text, "saved.json", ShippedLayout(), opened);
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(WriteProfile(reg, opened, ShippedLayout()));
    const auto after = ReadStoredSettings(reg);
    EXPECT_EQ(0, std::memcmp(&before->buffers, &after->buffers, sizeof before->buffers));
    EXPECT_EQ(before->rate, after->rate);
}

}  // namespace
