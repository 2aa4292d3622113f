#include "ApplyMonitor.h"
#include "ShippedKeyIndex.h"
#include "keyconfig/SettingRecords.h"

#include <gtest/gtest.h>

TEST(ApplyMonitor, ProgressToTheEndSucceeds) {
    const Profile p;
    CApplyMonitor m(p, ShippedLayout());
    EXPECT_EQ(m.OnProgress(25), "progress 25%");
    EXPECT_EQ(m.OnProgress(7), "");  // not a step of the apply sequence
    EXPECT_EQ(m.OnProgress(50), "progress 50%");
    EXPECT_FALSE(m.Finished());
    EXPECT_EQ(m.Result(), ExitTimeout);  // not finished yet
    EXPECT_EQ(m.OnProgress(100), "progress 100%");
    EXPECT_TRUE(m.Finished());
    EXPECT_EQ(m.Result(), ExitOk);
}

TEST(ApplyMonitor, ResetsNameTheKeyAndTheLikelyReason) {
    Profile p;
    p.keys[KeyIndex("F9")] = {AssignCombination, 0};
    p.keys[KeyIndex("F10")] = {AssignMacro, 3};
    CApplyMonitor m(p, ShippedLayout());
    m.OnProgress(25);
    EXPECT_EQ(m.OnReset(0x78),
              "key F9 was reset to its factory function: all eight combination slots are in use (the keyboard "
              "still holds combinations other keys use)");
    EXPECT_EQ(m.OnReset(0x79), "key F10 was reset to its factory function: invalid macro reference");
    EXPECT_EQ(m.OnReset(0x41), "key A was reset to its factory function: invalid macro or combination reference");
    EXPECT_EQ(m.OnReset(0xE8), "the agent reset the key with code 232");
    m.OnProgress(50);
    m.OnProgress(100);
    EXPECT_TRUE(m.Finished());
    EXPECT_EQ(m.Result(), ExitReset);
}

TEST(ApplyMonitor, CloseAndTimeoutEndTheApply) {
    const Profile p;
    CApplyMonitor closed(p, ShippedLayout());
    closed.OnProgress(25);
    EXPECT_EQ(closed.OnClose(),
              "the agent closed the connection during the apply: the keyboard was removed or the agent is ending");
    EXPECT_TRUE(closed.Finished());
    EXPECT_EQ(closed.Result(), ExitClosed);

    CApplyMonitor gone(p, ShippedLayout());
    gone.OnProgress(50);
    EXPECT_EQ(gone.OnAgentGone(), "the agent ended during the apply without closing the connection (progress 50%)");
    EXPECT_TRUE(gone.Finished());
    EXPECT_EQ(gone.Result(), ExitClosed);

    CApplyMonitor silent(p, ShippedLayout());
    silent.OnProgress(25);
    EXPECT_EQ(silent.OnTimeout(10), "the agent did not answer within 10 s (progress 25%)");
    EXPECT_TRUE(silent.Finished());
    EXPECT_EQ(silent.Result(), ExitTimeout);
}

TEST(ApplyMonitor, ProgressBar) {
    EXPECT_EQ(ProgressBar(0), "[....................]   0%");
    EXPECT_EQ(ProgressBar(50), "[##########..........]  50%");
    EXPECT_EQ(ProgressBar(100), "[####################] 100%");
}
