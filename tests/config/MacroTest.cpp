// The macros window's portable logic: the list's rows and the keys a deletion names, the
// editor's rows, delays and limits, and the recorder fed as a low-level keyboard hook feeds it.
#include "config/MacroEvents.h"
#include "config/MacroList.h"
#include "config/MacroRecorder.h"

#include "ProfileEdit.h"
#include "ShippedKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

ConfigTexts Texts() {
    ConfigTexts t;
    t.onKeyboard = u"on";
    t.storedOnly = u"stored";
    t.keyDown = u"down";
    t.keyUp = u"up";
    t.eventsOnKeyboard = u"Events";
    t.delaySteps = u"steps of 50, at most";
    t.cannotSave = u"Cannot";
    t.macroNumbersLeft = u"left";
    t.macrosStored = u"stored";
    return t;
}

ProfileMacro Macro(std::string name, std::size_t events = 2) {
    ProfileMacro m{std::move(name), 1, {}};
    for (std::size_t i = 0; i < events; ++i) m.events.push_back({0x41, i % 2 == 0, 50});
    return m;
}

TEST(MacroList, RowsSayWhichMacrosReachTheKeyboardAndADeletionNamesTheKeysFirst) {
    Profile p;
    for (int i = 0; i < 12; ++i) AddMacro(p, Macro("m" + std::to_string(i + 1)));
    EXPECT_EQ(MacroRowText(p, 0, Texts()), u"1\tm1\ton");
    EXPECT_EQ(MacroRowText(p, 10, Texts()), u"11\tm11\ton");
    EXPECT_EQ(MacroRowText(p, 11, Texts()), u"12\tm12\tstored");
    EXPECT_EQ(MacroRowText(p, 12, Texts()), u"");
    EXPECT_EQ(MacroCountText(p, Texts()), u"left: 0/11; stored: 12/100");

    ASSERT_TRUE(SetKeyFunction(p, static_cast<std::size_t>(KeyIndex(u"F2")), {AssignMacro, 3}));
    ASSERT_TRUE(SetKeyFunction(p, static_cast<std::size_t>(KeyIndex(u"Esc")), {AssignMacro, 3}));
    ASSERT_TRUE(SetKeyFunction(p, static_cast<std::size_t>(KeyIndex(u"F3")), {AssignMacro, 4}));
    EXPECT_EQ(KeyNamesUsingMacro(p, ShippedLayout(), 3), u"Esc, F2");
    EXPECT_EQ(KeyNamesUsingMacro(p, ShippedLayout(), 5), u"");
    // Moving the twelfth up to the top puts it on the keyboard and the eleventh off it.
    ASSERT_TRUE(MoveMacro(p, 11, 0));
    EXPECT_EQ(MacroRowText(p, 0, Texts()), u"1\tm12\ton");
    EXPECT_EQ(MacroRowText(p, 11, Texts()), u"12\tm11\tstored");
    EXPECT_EQ(KeyNamesUsingMacro(p, ShippedLayout(), 4), u"Esc, F2") << "the keys followed their macro";
}

TEST(MacroList, NewAndCopiedMacrosGetAFreeName) {
    Profile p;
    EXPECT_EQ(FreeMacroName(p, "New macro"), "New macro");
    AddMacro(p, Macro("New macro"));
    AddMacro(p, Macro("New macro 2"));
    EXPECT_EQ(FreeMacroName(p, "New macro"), "New macro 3");
    EXPECT_EQ(FreeMacroName(p, "burst"), "burst");
    EXPECT_EQ(CopyName(p, "New macro 2"), "New macro 3");
    EXPECT_EQ(CopyName(p, "New macro"), "New macro 3");
    EXPECT_EQ(CopyName(p, "F 1x"), "F 1x") << "only a number of its own is left out";
    EXPECT_EQ(CopyName(p, " 7"), " 7");
    EXPECT_EQ(CopyName(p, "7 "), "7 ");
}

TEST(MacroEvents, DelaysAreCountedInTheKeyboardsStepsAndNumbersTypedOnlyAsDigits) {
    EXPECT_EQ(RoundDelay(0), 0u);
    EXPECT_EQ(RoundDelay(49), 0u);
    EXPECT_EQ(RoundDelay(120), 100u);
    EXPECT_EQ(RoundDelay(6399), 6350u);
    EXPECT_EQ(RoundDelay(UINT64_MAX), 4294967250u) << "a gap beyond 32 bits stays a multiple of 50";
    EXPECT_EQ(ParseDelay(u"275"), 250u);
    EXPECT_EQ(ParseDelay(u"0"), 0u);
    EXPECT_EQ(ParseDelay(u"9999999999"), 4294967250u);
    for (std::u16string_view bad : {u"", u"-50", u"5 0", u"50ms", u"12345678901", u"1.5"})
        EXPECT_EQ(ParseDelay(bad), std::nullopt) << Utf8FromUtf16(bad);
    EXPECT_EQ(ParseRepeat(u"0"), 0u);
    EXPECT_EQ(ParseRepeat(u"65535"), 65535u);
    for (std::u16string_view bad : {u"", u"65536", u"99999", u"-1", u"1e3"})
        EXPECT_EQ(ParseRepeat(bad), std::nullopt) << Utf8FromUtf16(bad);
}

TEST(MacroEvents, RowsAndTheFixedDelay) {
    const ProfileMacro m{"x", 1, {{0xA2, true, 0}, {0xDA, false, 150}, {0xAF, true, 50}}};
    EXPECT_EQ(EventRowText(m.events[0], Texts()), u"down\tLeftCtrl\t0 ms");
    EXPECT_EQ(EventRowText(m.events[1], Texts()), u"up\tNumEnter\t150 ms");
    EXPECT_EQ(EventRowText(m.events[2], Texts()), u"down\t0xAF\t50 ms") << "no name: the code";

    EXPECT_EQ(FixedDelay(m), std::nullopt);
    EXPECT_EQ(FixedDelay(ProfileMacro{}), std::nullopt) << "no events, no delay to read";
    const ProfileMacro fixed = WithFixedDelay(m, 130);
    EXPECT_EQ(FixedDelay(fixed), 100u);
    EXPECT_EQ(fixed.events[1], (MacroStep{0xDA, false, 100})) << "only the delays change";
}

TEST(MacroEvents, TheLimitsAreShownAndAMacroBeyondThemSaysWhyItCannotBeSaved) {
    Profile p;
    AddMacro(p, Macro("ok", 94));
    EXPECT_EQ(MacroLimitText(p, 0, Texts()), u"Events: 94/95; steps of 50, at most 6350 ms");
    p.macros[0].events.push_back({0x41, true, 6350});
    EXPECT_EQ(MacroLimitText(p, 0, Texts()), u"Events: 95/95; steps of 50, at most 6350 ms");
    p.macros[0].events.push_back({0x41, false, 6400});
    EXPECT_EQ(MacroLimitText(p, 0, Texts()),
              u"Events: 96/95; steps of 50, at most 6350 ms\r\nCannot: macro \"ok\": 96 events; the keyboard plays at "
              u"most 95; macro \"ok\", event 96: delay 6400 ms; at most 6399 ms");
    EXPECT_EQ(MacroLimitText(p, 1, Texts()), u"");
}

// What a low-level hook delivers: the key as the system names it, press or release, its time.
KeyInput Down(std::uint32_t vk, std::uint32_t time, bool extended = false, std::uint32_t scan = 0) {
    return {vk, scan, extended, false, time};
}
KeyInput Up(std::uint32_t vk, std::uint32_t time, bool extended = false, std::uint32_t scan = 0) {
    return {vk, scan, extended, true, time};
}

using Outcome = CMacroRecorder::Outcome;

TEST(MacroRecorder, RecordsWithTheEventsOwnTimesRoundedAndEveryModifierByItsSide) {
    CMacroRecorder r;
    r.Start(std::nullopt);
    const std::pair<KeyInput, Outcome> feed[] = {
        {Down(0x10, 1000, false, 0x36), Outcome::Recorded},  // the pair's code: the scan code says right
        {Down(0x10, 1040, false, 0x36), Outcome::Repeat},    // auto-repeat
        {Down(0x41, 1120), Outcome::Recorded},
        {Up(0x41, 1230), Outcome::Recorded},
        {Up(0x10, 1240, false, 0x36), Outcome::Recorded},
        {Down(0x0D, 1300, true), Outcome::Recorded},  // the numeric pad's Enter
        {Up(0x0D, 1360, true), Outcome::Recorded},
        {Down(0x11, 1400, true), Outcome::Recorded},
        {Up(0x11, 1400, true), Outcome::Recorded},
        {Down(0x12, 1400), Outcome::Recorded},
        {Up(0xA4, 8000), Outcome::Recorded},  // the hook's own left Alt: a gap beyond the limit is kept
    };
    for (const auto& [key, outcome] : feed) {
        const CMacroRecorder::Result result = r.Feed(key);
        EXPECT_TRUE(result.swallow) << key.vk << " at " << key.time;
        EXPECT_EQ(result.outcome, outcome) << key.vk << " at " << key.time;
    }
    r.Stop();
    EXPECT_THAT(r.Steps(),
                ElementsAre(MacroStep{0xA1, true, 0}, MacroStep{0x41, true, 100}, MacroStep{0x41, false, 100},
                            MacroStep{0xA1, false, 0}, MacroStep{0xDA, true, 50}, MacroStep{0xDA, false, 50},
                            MacroStep{0xA3, true, 0}, MacroStep{0xA3, false, 0}, MacroStep{0xA4, true, 0},
                            MacroStep{0xA4, false, 6600}));
    EXPECT_FALSE(r.Holding());
}

TEST(MacroRecorder, TheTickCountMayWrapAndAFixedDelayReplacesTheGaps) {
    CMacroRecorder r;
    r.Start(std::nullopt);
    r.Feed(Down(0x41, 0xFFFFFFF0u));
    r.Feed(Up(0x41, 0x50));  // 0x60 ms later
    r.Stop();
    EXPECT_THAT(r.Steps(), ElementsAre(MacroStep{0x41, true, 0}, MacroStep{0x41, false, 50}));

    r.Start(170);
    r.Feed(Down(0x41, 5));
    r.Feed(Up(0x41, 3000));
    r.Stop();
    EXPECT_THAT(r.Steps(), ElementsAre(MacroStep{0x41, true, 150}, MacroStep{0x41, false, 150}));
}

TEST(MacroRecorder, NoKeyIsLeftDownInTheSystemOrInTheMacro) {
    CMacroRecorder r;
    // Not recording: everything goes through.
    EXPECT_FALSE(r.Feed(Down(0x09, 1)).swallow);
    EXPECT_FALSE(r.Feed(Up(0x09, 2)).swallow);

    // Shift went down before the recording: its release goes through and is not recorded.
    EXPECT_FALSE(r.Feed(Down(0xA0, 10)).swallow);
    r.Start(std::nullopt);
    EXPECT_EQ(r.Feed(Up(0xA0, 20)).outcome, Outcome::Passed);
    EXPECT_FALSE(r.Feed(Up(0xA0, 20)).swallow);

    // Volume Up cannot be produced: refused, and swallowed both ways.
    const CMacroRecorder::Result refused = r.Feed(Down(0xAF, 30));
    EXPECT_TRUE(refused.swallow);
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_EQ(r.RefusedCode(), 0xAF);

    // Win held across the stop, with a key recorded after it: the macro releases it. Ctrl then
    // Break stops: the Ctrl press that belongs to the stop is dropped.
    EXPECT_EQ(r.Feed(Down(0x5B, 100)).outcome, Outcome::Recorded);
    EXPECT_EQ(r.Feed(Down(0x44, 150)).outcome, Outcome::Recorded);
    EXPECT_EQ(r.Feed(Up(0x44, 200)).outcome, Outcome::Recorded);
    EXPECT_EQ(r.Feed(Down(0xA2, 300)).outcome, Outcome::Recorded);
    EXPECT_EQ(r.Feed(Down(kStopRecordingVk, 350)).outcome, Outcome::Stop);
    EXPECT_FALSE(r.Recording()) << "keys after Break are not recorded, however late the caller stops";
    EXPECT_EQ(r.Feed(Up(0xA2, 360)).outcome, Outcome::Passed);
    r.Stop();
    EXPECT_THAT(r.Steps(), ElementsAre(MacroStep{0x5B, true, 0}, MacroStep{0x44, true, 50}, MacroStep{0x44, false, 50},
                                       MacroStep{0x5B, false, 0}));
    EXPECT_TRUE(r.Holding());
    // After the stop the swallowed presses still get their releases swallowed, and nothing else.
    for (std::uint32_t vk : {kStopRecordingVk, 0xAFu, 0x5Bu}) {
        const CMacroRecorder::Result result = r.Feed(Up(vk, 400));
        EXPECT_TRUE(result.swallow) << vk;
        EXPECT_EQ(result.outcome, Outcome::Passed) << vk;
    }
    EXPECT_FALSE(r.Holding());
    EXPECT_FALSE(r.Feed(Down(0x41, 500)).swallow);
    EXPECT_EQ(r.Steps().size(), 4u) << "nothing recorded after the stop";
}

}  // namespace
