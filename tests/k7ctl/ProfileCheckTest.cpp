// The checker on a profile's data, whole and one piece at a time, and what the keyboard can
// still hold, counted by the agent's own placement.
#include "ProfileCheck.h"
#include "ProfileEdit.h"
#include "ProfileJson.h"
#include "ShippedKeyIndex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Of = Finding::Of;

Profile Example() {
    std::ifstream f(K7_EXAMPLE_PROFILE, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    Profile p;
    EXPECT_THAT(ReadProfile(text.str(), "p.json", ShippedLayout(), p), IsEmpty());
    return p;
}

// Combination i + 1 of a set that are all distinct and no shortcut: LeftAlt with a letter.
ComboKeys Distinct(std::size_t i) { return {0xA4, static_cast<std::uint8_t>(0x41 + i), 0, 0}; }

Finding KeyFinding(std::string_view key, std::string rule) {
    return {Of::Key, KeyIndex(key), 0, "key \"" + std::string(key) + "\"", std::move(rule)};
}

}  // namespace

void PrintTo(const Finding& f, std::ostream* os) {
    *os << "{" << static_cast<int>(f.of) << ", " << f.index << ", " << f.event << ", " << f.subject << ": " << f.rule
        << "}";
}

TEST(ProfileCheck, TheExamplePassesAndLeavesRoom) {
    const Profile p = Example();
    EXPECT_THAT(CheckProfile(p, ShippedLayout()), IsEmpty());
    EXPECT_EQ(FreeCombinationSlots(p, ShippedLayout()), 3);  // F5, F6, F7, F12 and Pause take five
    EXPECT_EQ(DeviceMacroNumbersLeft(p), 9);
    EXPECT_EQ(EventsLeft(p, 0), 91);
    EXPECT_EQ(EventsLeft(p, 2), 0);
    EXPECT_EQ(FreeCombinationSlots(Profile{}, ShippedLayout()), 8);
    EXPECT_EQ(DeviceMacroNumbersLeft(Profile{}), 11);
}

TEST(ProfileCheck, KeyFunctionsMustNameWhatTheKeyboardKnows) {
    Profile p;
    AddMacro(p, {"m", 1, {}});
    const auto at = [&](std::string_view key, KeyFunction f) {
        p.keys[KeyIndex(key)] = f;
        return CheckKey(p, ShippedLayout(), KeyIndex(key));
    };
    EXPECT_THAT(at("F1", {AssignKeyRemap, 0x07}), ElementsAre(KeyFinding("F1", "unknown remap key code 7")));
    EXPECT_THAT(at("F1", {AssignConsumer, 18}), ElementsAre(KeyFinding("F1", "unknown media function 18")));
    EXPECT_THAT(at("F1", {AssignMouseButton, 0}), ElementsAre(KeyFinding("F1", "unknown mouse button 0")));
    EXPECT_THAT(at("F1", {AssignEditShortcut, 10}), ElementsAre(KeyFinding("F1", "unknown edit shortcut 10")));
    EXPECT_THAT(at("F1", {AssignMacro, 1}), ElementsAre(KeyFinding("F1", "unknown macro 1")));
    EXPECT_THAT(at("F1", {AssignCombination, 0}), ElementsAre(KeyFinding("F1", "unknown combination 0")));
    EXPECT_THAT(at("F1", {42, 0}), ElementsAre(KeyFinding("F1", "type 42 is no function a key can have")));
    EXPECT_THAT(at("F1", {AssignMacro, 0}), IsEmpty());
    EXPECT_THAT(at("F1", {AssignSystemShortcut, 6}), ElementsAre(KeyFinding("F1", "unknown system shortcut 6")));
    EXPECT_THAT(at("F1", {AssignSystemShortcut, 5}), IsEmpty());
    EXPECT_THAT(CheckKey(p, ShippedLayout(), BUTTON_COUNT), IsEmpty());

    for (int i = 2; i <= 12; ++i) AddMacro(p, {"m" + std::to_string(i), 1, {}});
    EXPECT_THAT(at("F2", {AssignMacro, 10}), IsEmpty());
    EXPECT_THAT(at("F2", {AssignMacro, 11}),
                ElementsAre(KeyFinding("F2",
                                       "macro \"m12\" is number 12 in the list; only the first 11 reach the "
                                       "keyboard")));
    EXPECT_EQ(DeviceMacroNumbersLeft(p), 0);
}

TEST(ProfileCheck, MacroRules) {
    Profile p;
    ProfileMacro m{"burst", 1, {}};
    for (int i = 0; i < 96; ++i) m.events.push_back({0x41, i % 2 == 0, 0});
    m.events[3] = {0x07, true, 6400};
    AddMacro(p, m);
    AddMacro(p, {"", 1, {}});
    AddMacro(p, {"burst", 1, {{0x41, true, 6399}}});
    EXPECT_THAT(CheckMacro(p, 0),
                ElementsAre(Finding{Of::Macro, 0, 0, "macro \"burst\"", "the name is used twice"},
                            Finding{Of::Macro, 0, 0, "macro \"burst\"", "96 events; the keyboard plays at most 95"},
                            Finding{Of::Event, 0, 3, "macro \"burst\", event 4", "unknown key code 7"},
                            Finding{Of::Event, 0, 3, "macro \"burst\", event 4", "delay 6400 ms; at most 6399 ms"}));
    EXPECT_THAT(CheckMacro(p, 1), ElementsAre(Finding{Of::Macro, 1, 0, "macro 2", "a macro needs a name"}));
    // Either macro of a shared name finds it when it alone is checked again.
    EXPECT_THAT(CheckMacro(p, 2), ElementsAre(Finding{Of::Macro, 2, 0, "macro \"burst\"", "the name is used twice"}));
    EXPECT_THAT(CheckMacro(p, 3), IsEmpty());
    EXPECT_EQ(EventsLeft(p, 0), 0);
    EXPECT_EQ(EventsLeft(p, 2), 94);
}

TEST(ProfileCheck, CombinationRules) {
    Profile p;
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F1"), {}));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F2"), {0xA2, 0, 0x07, 0}));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F3"), {0, 0, 0, 0x41}));
    EXPECT_THAT(CheckCombination(p, 0), ElementsAre(Finding{Of::Combination, 0, 0, "combination 1",
                                                            "a combination is a list of 1 to 4 key names"}));
    EXPECT_THAT(CheckCombination(p, 1),
                ElementsAre(Finding{Of::Combination, 1, 0, "combination 2", "unknown key code 7 in the combination"}));
    EXPECT_THAT(CheckCombination(p, 2), IsEmpty());
    EXPECT_THAT(CheckCombination(p, 3), IsEmpty());
}

TEST(ProfileCheck, TheNinthDistinctCombinationFindsNoSlot) {
    Profile p;
    const char* keys[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"};
    for (std::size_t i = 0; i < 8; ++i) ASSERT_TRUE(SetKeyCombination(p, KeyIndex(keys[i]), Distinct(i)));
    EXPECT_THAT(CheckProfile(p, ShippedLayout()), IsEmpty());
    EXPECT_EQ(FreeCombinationSlots(p, ShippedLayout()), 0);

    // A shortcut counts like the combination of its keys, and equal keys share a slot.
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F9"), {AssignEditShortcut, 2}));  // Ctrl+C
    EXPECT_THAT(CheckKey(p, ShippedLayout(), KeyIndex("F9")),
                ElementsAre(KeyFinding("F9",
                                       "no combination slot left; the keyboard holds 8 distinct combinations "
                                       "and shortcuts")));
    ASSERT_TRUE(SetKeyFunction(p, KeyIndex("F9"), {AssignEditShortcut, 2}));
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("F3"), {0xA2, 0x43, 0, 0}));
    EXPECT_THAT(CheckKey(p, ShippedLayout(), KeyIndex("F9")), IsEmpty());
    EXPECT_EQ(FreeCombinationSlots(p, ShippedLayout()), 0);
}

TEST(ProfileCheck, ChecksOneAtATimeFindWhatTheWholeCheckFinds) {
    Profile p = Example();
    p.rate = 4;
    p.keys[KeyIndex("Esc")] = {AssignMouseButton, 17};
    p.macros[1].events[0].delayMs = 7000;
    p.macros.push_back({"", 1, {}});
    ASSERT_TRUE(SetKeyCombination(p, KeyIndex("A"), {0xA2, 0xFF, 0, 0}));
    for (std::size_t i = 0; i < 4; ++i)
        ASSERT_TRUE(SetKeyCombination(p, KeyIndex(std::string(1, static_cast<char>('B' + i))), Distinct(i)));
    for (int i = 0; i < 98; ++i) p.macros.push_back({"x" + std::to_string(i), 1, {}});

    std::vector<Finding> pieces;
    const auto add = [&](std::vector<Finding> f) { pieces.insert(pieces.end(), f.begin(), f.end()); };
    for (std::size_t i = 0; i < BUTTON_COUNT; ++i) add(CheckKey(p, ShippedLayout(), i));
    for (std::size_t k = 0; k < p.macros.size(); ++k) add(CheckMacro(p, k));
    for (std::size_t c = 0; c < p.combinations.size(); ++c) add(CheckCombination(p, c));
    add({{Of::Profile, 0, 0, "macros", "101 macros; at most 100 are stored"},
         {Of::Profile, 0, 0, "rate", "must be 1, 2 or 8"}});

    const std::vector<Finding> whole = CheckProfile(p, ShippedLayout());
    EXPECT_EQ(whole, pieces);
    EXPECT_THAT(whole, ::testing::Contains(KeyFinding("Esc", "unknown mouse button 17")));
    // The ninth distinct combination in the order the agent visits the keys (the bottom row comes late).
    EXPECT_THAT(whole, ::testing::Contains(KeyFinding("C",
                                                      "no combination slot left; the keyboard holds 8 distinct "
                                                      "combinations and shortcuts")));
    EXPECT_EQ(whole.size(), 7u);
}

TEST(ProfileCheck, AKeyboardThatStillHoldsOtherCombinationsHasFewerSlots) {
    // The values last applied put eight combinations on the last keys the agent visits.
    Profile last;
    for (std::size_t i = 0; i < 8; ++i) ASSERT_TRUE(SetKeyCombination(last, BUTTON_COUNT - 8 + i, Distinct(i)));
    auto applied = std::make_unique<StoredSettings>();
    EncodeProfile(last, ShippedLayout(), *applied);
    const KeyboardState holding = KeyboardAfter(*applied);
    EXPECT_EQ(FreeCombinationSlots(last, ShippedLayout(), holding), 0);
    EXPECT_EQ(holding.slots[7][1], 0xE2);  // LeftAlt's usage, then H's
    EXPECT_EQ(holding.slots[7][3], 0x0B);

    // A new combination on the first key is placed before those keys give their slots back.
    Profile next;
    ASSERT_TRUE(SetKeyCombination(next, 0, {0xA4, 0x09, 0, 0}));
    EXPECT_EQ(FreeCombinationSlots(next, ShippedLayout()), 7);
    EXPECT_THAT(CheckProfile(next, ShippedLayout()), IsEmpty());
    EXPECT_EQ(FreeCombinationSlots(next, ShippedLayout(), holding), 0);
    EXPECT_THAT(CheckKey(next, ShippedLayout(), 0, holding),
                ElementsAre(Finding{Of::Key, 0, 0, "key \"" + KeyName(ShippedLayout()[0]) + "\"",
                                    "no combination slot left; the keyboard holds 8 distinct combinations and "
                                    "shortcuts"}));

    // Applying the same values again finds each combination where it already is.
    const Profile example = Example();
    auto exampleValues = std::make_unique<StoredSettings>();
    EncodeProfile(example, ShippedLayout(), *exampleValues);
    EXPECT_EQ(FreeCombinationSlots(example, ShippedLayout(), KeyboardAfter(*exampleValues)), 3);
}
