#include "config/ApplyResult.h"

#include "FakeRegistry.h"
#include "ProfileCheck.h"
#include "ProfileEdit.h"
#include "RegistryValues.h"
#include "ShippedKeys.h"
#include "keyconfig/SettingRecords.h"

#include <gtest/gtest.h>

namespace {

ConfigTexts Texts() {
    ConfigTexts t;
    t.applied = u"applied";
    t.applyReset = u"reset";
    t.resetSlots = u"no slot";
    t.resetMacro = u"bad macro";
    t.resetReference = u"bad reference";
    t.resetCode = u"code";
    t.applyClosed = u"closed";
    t.applyTimeout = u"no answer";
    t.applyInvalid = u"cannot hold";
    return t;
}

TEST(ApplyResult, EachEndOfAnApplyHasItsOwnLine) {
    const Profile none;
    const ConfigTexts texts = Texts();
    CApplyMonitor applied(none, ShippedLayout());
    for (int percent : {25, 50, 100}) applied.OnProgress(percent);
    EXPECT_EQ(ApplyResultText(applied, ShippedLayout(), texts), u"applied");

    CApplyMonitor closed(none, ShippedLayout());
    closed.OnProgress(25);
    closed.OnClose();
    EXPECT_EQ(ApplyResultText(closed, ShippedLayout(), texts), u"closed");

    // No progress at all: the window's time limit ended it before the agent began.
    CApplyMonitor silent(none, ShippedLayout());
    silent.OnTimeout(10);
    EXPECT_EQ(ApplyResultText(silent, ShippedLayout(), texts), u"no answer");
}

TEST(ApplyResult, ResetKeysAreNamedWithTheirReasonsInTheAgentsOrder) {
    Profile p;
    p.keys[KeyIndex(u"F9")] = {AssignCombination, 0};
    p.keys[KeyIndex(u"F10")] = {AssignMacro, 0};
    p.keys[KeyIndex(u"F11")] = {AssignSystemShortcut, 1};
    CApplyMonitor m(p, ShippedLayout());
    m.OnProgress(25);
    m.OnReset(0x79);  // F10
    m.OnReset(0x78);  // F9
    m.OnReset(0x41);  // A: its factory function, so neither a macro nor a combination of this profile
    m.OnReset(0xE8);  // no key of the layout
    m.OnProgress(50);
    m.OnProgress(100);
    ASSERT_EQ(m.Resets().size(), 4u);
    EXPECT_EQ(m.Resets()[0].record, KeyIndex(u"F10"));
    EXPECT_EQ(m.Resets()[3].record, -1);
    EXPECT_EQ(ApplyResultText(m, ShippedLayout(), Texts()),
              u"reset: F10 (bad macro); F9 (no slot); A (bad reference); code 232");
    EXPECT_EQ(FindResetKey(p, ShippedLayout(), 0x7A).reason, ResetReason::NoCombinationSlot) << "a system shortcut";
}

TEST(ApplyResult, AProfileTheKeyboardCannotHoldIsRefusedWithTheFirstFinding) {
    Profile p;
    EXPECT_EQ(ApplyRefusal(p, ShippedLayout(), Texts()), u"");
    // A delay the device's events cannot express.
    AddMacro(p, {"slow", 1, {{0x41, true, 7000}, {0x41, false, 50}}});
    p.keys[KeyIndex(u"F1")] = {AssignMacro, 0};
    const std::u16string refusal = ApplyRefusal(p, ShippedLayout(), Texts());
    EXPECT_EQ(refusal, u"cannot hold (macro \"slow\", event 1: delay 7000 ms; at most 6399 ms)");
}

TEST(ApplyResult, StoringKeepsTheBackupAndGivesWhatTheKeyboardHoldsAfterwards) {
    FakeRegistry registry;
    Profile first;
    first.keys[KeyIndex(u"F9")] = {AssignKeyRemap, 0x42};
    ASSERT_TRUE(WriteProfile(registry, first, ShippedLayout()));
    const FakeRegistry::Value before = *registry.Find(kSettingsKeyPath, kKeySettingName);

    Profile second;
    ASSERT_TRUE(SetKeyCombination(second, KeyIndex(u"F2"), ComboKeys{0x11, 0x43, 0, 0}));
    const std::optional<KeyboardState> state = StoreForApply(registry, second, ShippedLayout());
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(registry.Find(kBackupKeyPath, kKeySettingName)->bytes, before.bytes)
        << "the replaced values are the backup";
    const std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    ASSERT_NE(stored, nullptr);
    const KeyboardState expected = KeyboardAfter(*stored);
    EXPECT_EQ(state->table, expected.table);
    EXPECT_EQ(state->slots, expected.slots);
    EXPECT_NE(state->slots, KeyboardState{}.slots) << "the combination takes a slot";

    // Nothing is written, and no state is given, when the key cannot be opened.
    const FakeRegistry::Value written = *registry.Find(kSettingsKeyPath, kKeySettingName);
    registry.m_bDenyAccess = true;
    EXPECT_FALSE(StoreForApply(registry, first, ShippedLayout()).has_value());
    registry.m_bDenyAccess = false;
    EXPECT_EQ(registry.Find(kSettingsKeyPath, kKeySettingName)->bytes, written.bytes);
}

}  // namespace
