// What the assignment dialog offers, writes under the keys and takes from pressed keys, and
// what it and the combination meter say the keyboard cannot hold, with the shipped texts.
#include <gtest/gtest.h>

#include "KeyNames.h"
#include "ProfileCheck.h"
#include "ProfileEdit.h"
#include "ShippedKeys.h"
#include "StoredEncoding.h"
#include "config/AssignCheck.h"
#include "config/AssignChoices.h"
#include "config/KeyCapture.h"
#include "config/ProfileFunctionText.h"
#include "xml/LanguageStrings.h"
#include "xml/Utf8Text.h"

#include <set>

namespace {

class Assign : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadLanguageStrings(Utf16FromUtf8(K7_RES_DIR "/language.xml")); }
    void SetUp() override { texts = LoadConfigTexts(); }

    std::u16string Text(KeyFunction f) const { return functions.ShortText(profile, f); }
    // Key `name` gets a combination of `vks`.
    void Combine(std::u16string_view name, ComboKeys vks) {
        ASSERT_TRUE(SetKeyCombination(profile, KeyIndex(name), vks));
    }

    ConfigTexts texts;
    CProfileFunctionText functions{texts};
    Profile profile;
};

TEST_F(Assign, EachFunctionIsWrittenWithTheAgentsStringsAndTheProfilesNames) {
    profile.macros.push_back({"burst", 1, {}});
    profile.combinations.push_back({0xA2, 0x43, 0, 0});
    profile.combinations.push_back({0xA2, 0, 0x43, 0});  // as stored values may hold it
    const std::pair<KeyFunction, std::u16string> cases[] = {
        {{AssignDefault, 0}, u""},
        {{AssignConsumer, 1}, u"Play/Pause"},
        {{AssignConsumerAlt, 1}, u"Play/Pause"},
        {{AssignConsumer, 17}, u"Calculator"},
        {{AssignMouseButton, 1}, u"Left click"},
        {{AssignMouseButton, 10}, u"Double click"},
        {{AssignMouseButton, 5}, u"Mouse forward button"},
        {{AssignMouseButton, 6}, u"Mouse button 6"},
        {{AssignSystemShortcut, 1}, u"Switch windows (Alt+Tab)"},
        {{AssignEditShortcut, 1}, u"Cut (Ctrl+X)"},
        {{AssignEditShortcut, 9}, u"Undo (Ctrl+Z)"},
        {{AssignKeyRemap, 0x09}, u"\u00BB Tab"},
        {{AssignMacro, 0}, u"burst"},
        {{AssignCombination, 0}, u"LeftCtrl+C"},
        {{AssignCombination, 1}, u"LeftCtrl+(none)+C"},
        // Outside the lists: the kind is all there is to say.
        {{AssignConsumer, 18}, u"Media function"},
        {{AssignCombination, 2}, u"Key combination"},
        {{12, 0}, texts.unknown},
    };
    for (const auto& [f, text] : cases)
        EXPECT_EQ(Text(f), text) << f.type << ", " << f.parameter << ": " << Utf8FromUtf16(Text(f));
}

TEST_F(Assign, EveryKindOffersWhatTheKeyboardKnowsAndNothingElse) {
    const auto choices = [&](FunctionKind kind) { return FunctionChoices(kind, profile, texts, functions); };
    ASSERT_EQ(choices(FunctionKind::Factory).size(), 1u);
    EXPECT_EQ(choices(FunctionKind::Factory)[0].function, KeyFunction{});
    EXPECT_EQ(choices(FunctionKind::Combination).size(), 0u) << "combinations are picked key by key";

    // Each list's functions are distinct, of its kind, written as the key would show them, and
    // every text is there.
    const std::pair<FunctionKind, std::size_t> sizes[] = {
        {FunctionKind::Remap, VirtualKeyNames().size()},
        {FunctionKind::Media, 18},
        {FunctionKind::Mouse, 16},
        {FunctionKind::Shortcut, 14},
    };
    for (auto [kind, size] : sizes) {
        const std::vector<FunctionChoice> list = choices(kind);
        EXPECT_EQ(list.size(), size) << static_cast<int>(kind);
        std::set<std::u16string> seen;
        for (const FunctionChoice& c : list) {
            EXPECT_EQ(KindOf(c.function.type), kind);
            EXPECT_TRUE(CheckKey(
                            [&] {
                                Profile p;
                                p.keys[0] = c.function;
                                return p;
                            }(),
                            ShippedLayout(), 0)
                            .empty())
                << Utf8FromUtf16(c.text) << " is no function the keyboard knows";
            EXPECT_FALSE(c.text.empty());
            seen.insert(c.text);
        }
        EXPECT_EQ(seen.size(), size) << "two functions of kind " << static_cast<int>(kind) << " read alike";
    }
    // Five system shortcuts and nine edit shortcuts; the double click is mouse code 10.
    int system = 0;
    for (const FunctionChoice& c : choices(FunctionKind::Shortcut)) system += c.function.type == AssignSystemShortcut;
    EXPECT_EQ(system, 5);
    const auto mouse = choices(FunctionKind::Mouse);
    EXPECT_EQ(mouse[*ChoiceOf(mouse, {AssignMouseButton, 10})].text, u"Double click");
    EXPECT_FALSE(ChoiceOf(mouse, {AssignMouseButton, 17}));

    // Macros by name, in list order; those past the eleventh say that they do not reach it.
    EXPECT_TRUE(choices(FunctionKind::Macro).empty());
    for (int i = 1; i <= 12; ++i) profile.macros.push_back({"m" + std::to_string(i), 1, {}});
    const auto macros = choices(FunctionKind::Macro);
    ASSERT_EQ(macros.size(), 12u);
    EXPECT_EQ(macros[10].text, u"m11");
    EXPECT_EQ(macros[11].text, u"m12 (does not reach the keyboard: only the first eleven macros do)");
    EXPECT_EQ(macros[11].function, (KeyFunction{AssignMacro, 11}));
}

TEST(KeyCapture, EachSideAndTheNumericPadsEnterHaveTheKeyboardsOwnCode) {
    EXPECT_EQ(KeyboardCode(0x10, 0x2A, false), 0xA0);  // left Shift
    EXPECT_EQ(KeyboardCode(0x10, 0x36, false), 0xA1);  // right Shift: its own scan code
    EXPECT_EQ(KeyboardCode(0x11, 0x1D, false), 0xA2);
    EXPECT_EQ(KeyboardCode(0x11, 0x1D, true), 0xA3);
    EXPECT_EQ(KeyboardCode(0x12, 0x38, false), 0xA4);
    EXPECT_EQ(KeyboardCode(0x12, 0x38, true), 0xA5);
    EXPECT_EQ(KeyboardCode(0x0D, 0x1C, false), 0x0D);
    EXPECT_EQ(KeyboardCode(0x0D, 0x1C, true), 0xDA);
    EXPECT_EQ(KeyboardCode(0x5B, 0x5B, true), 0x5B);
    EXPECT_EQ(KeyboardCode(0x09, 0x0F, false), 0x09);
    EXPECT_EQ(KeyboardCode(0x1B, 0x01, false), 0x1B);
    // Keys the keyboard has no code for.
    EXPECT_EQ(KeyboardCode(0x7C, 0x64, false), 0);  // F13
    EXPECT_EQ(KeyboardCode(0xAD, 0x20, true), 0);   // the system's mute key
    EXPECT_EQ(KeyboardCode(0x141, 0, false), 0);
    EXPECT_TRUE(IsModifierCode(0xA5));
    EXPECT_TRUE(IsModifierCode(0x5C));
    EXPECT_FALSE(IsModifierCode(0x41));
}

TEST(KeyCapture, KeysPressedTogetherAreTakenWhenTheLastGoesUp) {
    CKeyChord chord(CKeyChord::Mode::Together);
    EXPECT_FALSE(chord.Down(0xA2));
    EXPECT_FALSE(chord.Down(0xA4));
    EXPECT_FALSE(chord.Down(0xA4)) << "auto-repeat";
    EXPECT_FALSE(chord.Down(0x2E));
    EXPECT_FALSE(chord.Down(0x41));
    EXPECT_FALSE(chord.Down(0x42)) << "a fifth key";
    EXPECT_FALSE(chord.Up(0x42));
    EXPECT_FALSE(chord.Up(0xA2));
    EXPECT_FALSE(chord.Up(0x2E));
    EXPECT_FALSE(chord.Up(0x41));
    EXPECT_FALSE(chord.Done());
    EXPECT_TRUE(chord.Up(0xA4));
    EXPECT_EQ(chord.Keys(), (ComboKeys{0xA2, 0xA4, 0x2E, 0x41}));
    EXPECT_TRUE(chord.Down(0x43)) << "taken: nothing more";
    EXPECT_EQ(chord.Keys(), (ComboKeys{0xA2, 0xA4, 0x2E, 0x41}));

    CKeyChord none(CKeyChord::Mode::Together);
    EXPECT_FALSE(none.Up(0x41)) << "a key that went down before the capture";
    EXPECT_FALSE(none.Down(0)) << "a key the keyboard cannot produce";
    EXPECT_FALSE(none.Done());
}

TEST(KeyCapture, ASingleKeyIsTakenWithTheModifiersHeldAtItsPress) {
    CKeyChord chord(CKeyChord::Mode::Single);
    EXPECT_FALSE(chord.Down(0xA2));
    EXPECT_FALSE(chord.Down(0xA0));
    EXPECT_FALSE(chord.Up(0xA0)) << "let go before the key";
    EXPECT_TRUE(chord.Down(0x43));
    EXPECT_EQ(chord.Keys(), (ComboKeys{0xA2, 0x43, 0, 0}));
    EXPECT_TRUE(chord.Up(0xA2));
    EXPECT_EQ(chord.Keys(), (ComboKeys{0xA2, 0x43, 0, 0}));
}

TEST_F(Assign, TheMeterCountsEqualKeySetsOnceAndWarnsOfANinth) {
    const ButtonPosTable& layout = ShippedLayout();
    EXPECT_EQ(MeterText(MeasureSlots(profile, layout, {}), texts),
              u"Combination slots used: 0 / 8 (keyboard in its factory state), 0 / 8 (after the values last applied)");
    Combine(u"F1", {0xA2, 0x43, 0, 0});
    Combine(u"F2", {0xA2, 0x43, 0, 0});
    EXPECT_EQ(profile.combinations.size(), 1u);
    EXPECT_EQ(MeasureSlots(profile, layout, {}).factory, 1) << "equal key sets share a slot";

    const char16_t* keys[] = {u"F3", u"F4", u"F5", u"F6", u"F7", u"F8", u"F9"};
    for (int i = 0; i < 7; ++i) Combine(keys[i], {0xA2, static_cast<std::uint8_t>(0x30 + i), 0, 0});
    const SlotMeter full = MeasureSlots(profile, layout, {});
    EXPECT_EQ(full.factory, 8);
    EXPECT_EQ(MeterText(full, texts),
              u"Combination slots used: 8 / 8 (keyboard in its factory state), 8 / 8 (after the values last applied); "
              u"all are used: a further combination would be refused");

    // Applied and then edited: the keyboard still holds the slots of the values last applied.
    StoredSettings stored;
    EncodeProfile(profile, layout, stored);
    const KeyboardState applied = KeyboardAfter(stored);
    Profile fewer;
    ASSERT_TRUE(SetKeyCombination(fewer, KeyIndex(u"F1"), {0xA3, 0x41, 0, 0}));
    const SlotMeter after = MeasureSlots(fewer, layout, applied);
    EXPECT_EQ(after.factory, 1);
    EXPECT_EQ(after.applied, kMaxCombinationSlot - FreeCombinationSlots(fewer, layout, applied));
    EXPECT_GE(after.applied, after.factory);
}

TEST_F(Assign, WhatTheKeyboardCannotHoldIsSaidAndTheNinthRefusedBeforeAnythingChanges) {
    const ButtonPosTable& layout = ShippedLayout();
    const char16_t* keys[] = {u"F1", u"F2", u"F3", u"F4", u"F5", u"F6", u"F7", u"F8"};
    for (int i = 0; i < 8; ++i) Combine(keys[i], {0xA2, static_cast<std::uint8_t>(0x30 + i), 0, 0});
    const Profile before = profile;

    // A ninth key set: the agent would reset a key for want of a slot.
    const AssignVerdict ninth =
        CheckAssignment(profile, layout, KeyIndex(u"Esc"), ComboKeys{0xA2, 0x41, 0, 0}, {}, texts);
    EXPECT_TRUE(ninth.refused);
    // The agent places combinations in the order it visits the keys: the key it resets may be
    // another than the one assigned.
    EXPECT_EQ(ninth.lines, std::vector<std::u16string>{u"key \"F8\": no combination slot left; the keyboard holds 8 "
                                                       u"distinct combinations and shortcuts"});
    EXPECT_EQ(profile, before);

    // A key set already in use shares its slot; another function frees nothing but fits.
    EXPECT_EQ(CheckAssignment(profile, layout, KeyIndex(u"Esc"), ComboKeys{0xA2, 0x30, 0, 0}, {}, texts).lines,
              std::vector<std::u16string>{});
    const AssignVerdict media =
        CheckAssignment(profile, layout, KeyIndex(u"Esc"), KeyFunction{AssignConsumer, 1}, {}, texts);
    EXPECT_FALSE(media.refused);
    EXPECT_TRUE(media.lines.empty());
    // Replacing one key's combination with a new set is no ninth.
    EXPECT_FALSE(CheckAssignment(profile, layout, KeyIndex(u"F1"), ComboKeys{0xA2, 0x41, 0, 0}, {}, texts).refused);

    // The twelfth macro does not reach the keyboard.
    for (int i = 1; i <= 12; ++i) profile.macros.push_back({"m" + std::to_string(i), 1, {}});
    const AssignVerdict macro =
        CheckAssignment(profile, layout, KeyIndex(u"Esc"), KeyFunction{AssignMacro, 11}, {}, texts);
    EXPECT_TRUE(macro.refused);
    EXPECT_EQ(macro.lines,
              std::vector<std::u16string>{
                  u"key \"Esc\": macro \"m12\" is number 12 in the list; only the first 11 reach the keyboard"});
    EXPECT_FALSE(CheckAssignment(profile, layout, KeyIndex(u"Esc"), KeyFunction{AssignMacro, 10}, {}, texts).refused);
    EXPECT_TRUE(CheckAssignment(profile, layout, KeyIndex(u"Esc"), KeyFunction{AssignMacro, 12}, {}, texts).refused)
        << "no such macro";
}

TEST_F(Assign, FromTheValuesLastAppliedTheSameKeySetsMayNotFit) {
    // The keyboard holds eight combinations of the values last applied; a profile with eight
    // others fits a keyboard in its factory state.
    const ButtonPosTable& layout = ShippedLayout();
    Profile applied;
    const char16_t* keys[] = {u"F1", u"F2", u"F3", u"F4", u"F5", u"F6", u"F7", u"F8"};
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(SetKeyCombination(applied, KeyIndex(keys[i]), {0xA3, static_cast<std::uint8_t>(0x30 + i), 0, 0}));
    StoredSettings stored;
    EncodeProfile(applied, layout, stored);
    const KeyboardState state = KeyboardAfter(stored);
    const AssignVerdict verdict =
        CheckAssignment(profile, layout, KeyIndex(u"Esc"), ComboKeys{0xA2, 0x41, 0, 0}, state, texts);
    EXPECT_FALSE(verdict.refused) << "a factory-state keyboard holds it";
    EXPECT_EQ(verdict.lines, std::vector<std::u16string>{u"From the values last applied: key \"Esc\": no combination "
                                                         u"slot left; the keyboard holds 8 distinct combinations and "
                                                         u"shortcuts"});
}

}  // namespace
