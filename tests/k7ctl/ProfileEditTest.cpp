// Editing one key, macro or combination keeps the profile in the form the reader gives it, so
// that an edited profile and the same profile read from its JSON are equal.
#include "ProfileEdit.h"
#include "ProfileJson.h"
#include "ShippedKeyIndex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr ComboKeys kCtrlC{0xA2, 0x43, 0, 0};
constexpr ComboKeys kAltTab{0xA4, 0x09, 0, 0};

Profile Read(std::string_view text) {
    Profile p;
    EXPECT_THAT(ReadProfile(text, "p.json", ShippedLayout(), p), IsEmpty());
    return p;
}

// The profile as the reader would give it back from its own JSON.
Profile Reread(const Profile& p) { return Read(ProfileToJson(p, ShippedLayout())); }

ProfileMacro Macro(std::string name) { return {std::move(name), 1, {{0x41, true, 0}, {0x41, false, 50}}}; }

}  // namespace

TEST(ProfileEdit, SetKeyFunctionRefusesWhatTheListsDoNotHold) {
    Profile p;
    AddMacro(p, Macro("m"));
    EXPECT_TRUE(SetKeyFunction(p, KeyIndex("F1"), {AssignKeyRemap, 0xA2}));
    EXPECT_TRUE(SetKeyFunction(p, KeyIndex("F2"), {AssignMacro, 0}));
    const Profile before = p;
    EXPECT_FALSE(SetKeyFunction(p, BUTTON_COUNT, {AssignKeyRemap, 0xA2}));
    EXPECT_FALSE(SetKeyFunction(p, KeyIndex("F3"), {AssignMacro, 1}));
    EXPECT_FALSE(SetKeyFunction(p, KeyIndex("F3"), {AssignMacro, -1}));
    EXPECT_FALSE(SetKeyFunction(p, KeyIndex("F3"), {AssignCombination, 0}));
    EXPECT_EQ(p, before);
    EXPECT_EQ(p.keys[KeyIndex("F1")], (KeyFunction{AssignKeyRemap, 0xA2}));
    EXPECT_EQ(Reread(p), p);
}

TEST(ProfileEdit, CombinationsAreSharedAndNumberedInLayoutOrderWhateverTheOrderOfEdits) {
    Profile p;
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("Z"), kCtrlC));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F3"), kAltTab));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F2"), kCtrlC));
    EXPECT_THAT(p.combinations, ElementsAre(kCtrlC, kAltTab));
    EXPECT_EQ(p.keys[KeyIndex("F2")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F3")], (KeyFunction{AssignCombination, 1}));
    EXPECT_EQ(p.keys[KeyIndex("Z")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(Reread(p), p);

    // Another key may take an existing combination by its number.
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("Esc"), {AssignCombination, 1}));
    EXPECT_THAT(p.combinations, ElementsAre(kAltTab, kCtrlC));
    EXPECT_EQ(p.keys[KeyIndex("F3")], (KeyFunction{AssignCombination, 0}));

    // A combination no key uses any more is gone, and the others move up.
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("Esc"), {}));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F3"), {AssignMouseButton, 1}));
    EXPECT_THAT(p.combinations, ElementsAre(kCtrlC));
    EXPECT_EQ(p.keys[KeyIndex("Z")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(Reread(p), p);
}

TEST(ProfileEdit, SetCombinationChangesEveryKeyThatUsesItAndMergesEqualOnes) {
    Profile p;
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F2"), kCtrlC));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F3"), kAltTab));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F4"), kAltTab));
    EXPECT_FALSE(SetCombination(p, 2, kCtrlC));

    constexpr ComboKeys kShiftTab{0xA0, 0x09, 0, 0};
    ASSERT_TRUE(SetCombination(p, 1, kShiftTab));
    EXPECT_THAT(p.combinations, ElementsAre(kCtrlC, kShiftTab));
    EXPECT_EQ(p.keys[KeyIndex("F4")], (KeyFunction{AssignCombination, 1}));

    ASSERT_TRUE(SetCombination(p, 1, kCtrlC));
    EXPECT_THAT(p.combinations, ElementsAre(kCtrlC));
    EXPECT_EQ(p.keys[KeyIndex("F3")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F4")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(Reread(p), p);
}

TEST(ProfileEdit, RemovingAMacroFreesItsKeysAndTheLaterOnesFollow) {
    Profile p;
    AddMacro(p, Macro("a"));
    AddMacro(p, Macro("b"));
    AddMacro(p, Macro("c"));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F1"), {AssignMacro, 0}));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F2"), {AssignMacro, 1}));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F3"), {AssignMacro, 2}));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F4"), {AssignMacro, 2}));

    ProfileMacro longer = Macro("c2");
    longer.repeat = 4;
    EXPECT_FALSE(SetMacro(p, 3, longer));
    ASSERT_TRUE(SetMacro(p, 2, longer));
    EXPECT_FALSE(RemoveMacro(p, 3));
    ASSERT_TRUE(RemoveMacro(p, 1));

    ASSERT_EQ(p.macros.size(), 2u);
    EXPECT_EQ(p.macros[1], longer);
    EXPECT_EQ(p.keys[KeyIndex("F1")], (KeyFunction{AssignMacro, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F2")], KeyFunction{});
    EXPECT_EQ(p.keys[KeyIndex("F3")], (KeyFunction{AssignMacro, 1}));
    EXPECT_EQ(p.keys[KeyIndex("F4")], (KeyFunction{AssignMacro, 1}));
    EXPECT_EQ(Reread(p), p);
}

TEST(ProfileEdit, NumberingDropsAReferenceOutsideTheList) {
    Profile p;
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F2"), kCtrlC));
    p.keys[KeyIndex("F1")] = {AssignCombination, 5};
    NumberCombinations(p);
    EXPECT_EQ(p.keys[KeyIndex("F1")], KeyFunction{});
    EXPECT_EQ(p.keys[KeyIndex("F2")], (KeyFunction{AssignCombination, 0}));
    EXPECT_THAT(p.combinations, ElementsAre(kCtrlC));
}

TEST(ProfileEdit, MovingAMacroRenumbersTheListAndEveryKeyKeepsItsMacro) {
    Profile p;
    for (const char* name : {"a", "b", "c", "d"}) AddMacro(p, Macro(name));
    for (std::int32_t i = 0; i < 4; ++i)
        ASSERT_TRUE(SetKeyFunction(p, KeyIndex(std::string("F") + std::to_string(i + 1)), {AssignMacro, i}));
    p.keys[KeyIndex("F9")] = {AssignMacro, 7};  // outside the list: left for the checker to name
    const auto names = [&] {
        std::string s;
        for (const ProfileMacro& m : p.macros) s += m.name;
        return s;
    };
    const auto keyMacro = [&](int f) {
        return p.macros[static_cast<std::size_t>(p.keys[KeyIndex("F" + std::to_string(f))].parameter)].name;
    };

    ASSERT_TRUE(MoveMacro(p, 0, 2));  // down past two
    EXPECT_EQ(names(), "bcad");
    ASSERT_TRUE(MoveMacro(p, 3, 1));  // up past two
    EXPECT_EQ(names(), "bdca");
    ASSERT_TRUE(MoveMacro(p, 2, 2));
    EXPECT_EQ(names(), "bdca");
    for (int f = 1; f <= 4; ++f) EXPECT_EQ(keyMacro(f), std::string(1, static_cast<char>('a' + f - 1))) << "F" << f;
    EXPECT_EQ(p.keys[KeyIndex("F9")], (KeyFunction{AssignMacro, 7}));

    const Profile before = p;
    EXPECT_FALSE(MoveMacro(p, 4, 0));
    EXPECT_FALSE(MoveMacro(p, 0, 4));
    EXPECT_EQ(p, before);
    p.keys[KeyIndex("F9")] = {};
    EXPECT_EQ(Reread(p), p);
}
