#include "config/ConfigDocument.h"

#include "FakeRegistry.h"
#include "RegistryValues.h"
#include "ShippedKeys.h"

#include <gtest/gtest.h>

namespace {

class ConfigDocument : public ::testing::Test {
protected:
    ConfigDocument() : doc(ShippedLayout()) {
        doc.OnChange([this] { ++changes; });
    }
    CConfigDocument doc;
    int changes = 0;
};

ProfileMacro Burst() { return {"burst", 1, {{0x41, true, 50}, {0x41, false, 50}}}; }

TEST_F(ConfigDocument, EditsMarkItModifiedOnlyWhenTheProfileChanges) {
    Profile stored;
    stored.keys[3] = {AssignKeyRemap, 0x42};
    doc.Load(stored, CConfigDocument::Source::Stored, u"ignored", {"key \"F1\": type 12 left out"});
    EXPECT_EQ(1, changes);
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(doc.Path().empty()) << "only a file has a path";
    EXPECT_EQ(1u, doc.Warnings().size());

    // The same function again is no edit.
    EXPECT_TRUE(doc.SetKeyFunction(3, {AssignKeyRemap, 0x42}));
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(1, changes);
    EXPECT_TRUE(doc.SetRate(8));
    EXPECT_FALSE(doc.Modified()) << "8 is the default rate";

    EXPECT_TRUE(doc.SetKeyFunction(3, {AssignConsumer, 2}));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(2, changes);

    doc.MarkSaved(u"C:\\profiles\\fps.json");
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(CConfigDocument::Source::File, doc.From());
    EXPECT_EQ(u"C:\\profiles\\fps.json", doc.Path());
    EXPECT_TRUE(doc.Warnings().empty()) << "the saved file says everything it holds";
    EXPECT_EQ(3, changes);
}

TEST_F(ConfigDocument, RefusedEditsChangeNothing) {
    doc.Load({}, CConfigDocument::Source::New);
    const Profile before = doc.Current();
    EXPECT_FALSE(doc.SetKeyFunction(BUTTON_COUNT, {AssignKeyRemap, 0x42})) << "a key outside the layout";
    EXPECT_FALSE(doc.SetKeyFunction(0, {AssignMacro, 0})) << "a macro the list does not have";
    EXPECT_FALSE(doc.SetCombination(0, {0xA2, 0x41, 0, 0})) << "a combination the list does not have";
    EXPECT_FALSE(doc.SetMacro(0, Burst()));
    EXPECT_FALSE(doc.RemoveMacro(0));
    EXPECT_FALSE(doc.SetRate(4));
    EXPECT_EQ(before, doc.Current());
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(1, changes);
}

TEST_F(ConfigDocument, MacrosAndCombinationsEditThroughTheProfileLibrary) {
    doc.Load({}, CConfigDocument::Source::New);
    EXPECT_EQ(0u, doc.AddMacro(Burst()));
    EXPECT_TRUE(doc.SetKeyFunction(5, {AssignMacro, 0}));
    EXPECT_TRUE(doc.SetKeyCombination(6, {0xA2, 0x43, 0, 0}));
    EXPECT_TRUE(doc.SetKeyCombination(7, {0xA2, 0x43, 0, 0}));
    EXPECT_EQ(1u, doc.Current().combinations.size()) << "equal keys share one combination";

    EXPECT_EQ(1u, doc.AddMacro({"second", 1, {}}));
    EXPECT_TRUE(doc.MoveMacro(0, 1));
    EXPECT_EQ("second", doc.Current().macros[0].name);
    EXPECT_EQ((KeyFunction{AssignMacro, 1}), doc.Current().keys[5]) << "the key keeps its macro";
    const int before = changes;
    EXPECT_TRUE(doc.MoveMacro(1, 1));
    EXPECT_EQ(before, changes) << "a move to where it is changes nothing";
    EXPECT_FALSE(doc.MoveMacro(2, 0));

    EXPECT_TRUE(doc.RemoveMacro(1));
    EXPECT_EQ(KeyFunction{}, doc.Current().keys[5]) << "the key of a removed macro gets its factory function";
    EXPECT_TRUE(doc.Modified());
}

TEST_F(ConfigDocument, AListenerThatStopsIsNoLongerTold) {
    // A window made again (in another language) replaces the one before, which stops listening,
    // even while it is being told.
    int first = 0, second = 0;
    std::size_t firstId = 0;
    firstId = doc.OnChange([&] {
        ++first;
        doc.RemoveListener(firstId);
    });
    doc.OnChange([&] { ++second; });
    doc.Load({}, CConfigDocument::Source::New);
    doc.Load({}, CConfigDocument::Source::New);
    EXPECT_EQ(1, first);
    EXPECT_EQ(2, second);
    EXPECT_EQ(2, changes) << "the fixture's listener stays";
}

TEST_F(ConfigDocument, TheValuesLastAppliedAreHeardOfWithoutBeingAnEdit) {
    // The meter counts slots from them: its window hears when they change.
    KeyboardState applied;
    applied.slots[0][0] = 0xA2;
    doc.SetApplied(applied);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(applied.slots, doc.Applied().slots);
    EXPECT_FALSE(doc.Modified());
}

TEST_F(ConfigDocument, ADraftHoldsUnsavedEdits) {
    doc.Load({}, CConfigDocument::Source::Draft, u"C:\\profiles\\fps.json");
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(u"C:\\profiles\\fps.json", doc.Path()) << "kept edits of a file are saved to it";
    Profile other;
    other.rate = 1;
    doc.Replace(other);
    EXPECT_EQ(1, doc.Current().rate);
    EXPECT_EQ(2, changes);
}

TEST_F(ConfigDocument, StartsWithWhatIsStored) {
    FakeRegistry registry;
    LoadStoredProfile(doc, registry);
    EXPECT_EQ(Profile{}, doc.Current()) << "nothing stored yet: the factory profile";
    EXPECT_EQ(CConfigDocument::Source::Stored, doc.From());
    EXPECT_EQ(0u, registry.ValueCount(kSettingsKeyPath)) << "reading writes nothing";

    Profile profile;
    profile.keys[KeyIndex(u"F1")] = {AssignConsumer, 3};
    profile.rate = 2;
    ASSERT_TRUE(WriteProfile(registry, profile, ShippedLayout()));
    LoadStoredProfile(doc, registry);
    EXPECT_EQ(profile, doc.Current());
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(doc.Warnings().empty());
}

}  // namespace
