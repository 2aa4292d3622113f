#include "ui/TrayCommands.h"

#include <gtest/gtest.h>

#include <string>

#include "FakeDesktop.h"
#include "Trace.h"

namespace {

constexpr WindowHandle kTask = 0x1234;

const TrayContent kContent{u"Configure", u"Exit", u"No keyboard", u"K7_Setting",
                           u"C:\\Program Files\\Orvex\\K7_Config.exe"};

// The tray's calls through the same recording desktop the task window's tests use.
class TrayTest : public ::testing::Test {
protected:
    std::intptr_t Notify(std::intptr_t mouseMessage) {
        return OnTrayNotify(desktop, desktop, kTask, kTrayIconId, mouseMessage, kContent);
    }

    Trace trace;
    CFakeDesktop desktop{trace};
};
using TrayIcon = TrayTest;
using TrayNotify = TrayTest;
using TrayConfigure = TrayTest;

const Event kFindDevice{Ev::FindDevice};
const Event kNoKeyboardBox{.kind = Ev::MessageBox, .window = kTask, .text = u"No keyboard|K7_Setting"};
const Event kStartConfig{.kind = Ev::StartProgram, .text = u"C:\\Program Files\\Orvex\\K7_Config.exe"};

TEST_F(TrayIcon, RecordCarriesOwnerIdFlagsCallbackIconAndTip) {
    AddTrayIcon(desktop, kTask, u"K7 Gaming Keyboard");
    static const Event added[] = {{Ev::AddTray, kTask, 128, 7, 0x600, u"K7 Gaming Keyboard"}};
    ExpectSequence(trace, added, "add");

    const TrayIconData icon = MakeTrayIconData(kTask, u"K7 Gaming Keyboard");
    EXPECT_EQ(icon.owner, kTask);
    EXPECT_EQ(icon.id, 128u);
    EXPECT_EQ(icon.flags, 7u);
    EXPECT_EQ(icon.callbackMessage, 0x600u);
    EXPECT_EQ(icon.iconResource, 128u);
    EXPECT_EQ(icon.tip, u"K7 Gaming Keyboard");
}

TEST_F(TrayIcon, TipIsCutTo127Characters) {
    const std::u16string title(200, u'\u00e9');
    AddTrayIcon(desktop, kTask, title);
    ASSERT_EQ(trace.Events().size(), 1u);
    EXPECT_EQ(trace.Events()[0].text, title.substr(0, 127));
    EXPECT_EQ(MakeTrayIconData(kTask, std::u16string(127, u'x')).tip.size(), 127u);
    EXPECT_EQ(MakeTrayIconData(kTask, u"").tip, u"");

    // A character outside the basic plane that would be cut in half is left out whole.
    const std::u16string split = std::u16string(126, u'a') + u"\U0001F600" + u"b";
    EXPECT_EQ(MakeTrayIconData(kTask, split).tip, std::u16string(126, u'a'));
    const std::u16string fits = std::u16string(125, u'a') + u"\U0001F600" + u"b";
    EXPECT_EQ(MakeTrayIconData(kTask, fits).tip, fits.substr(0, 127));
}

TEST_F(TrayIcon, RemoveNamesOnlyOwnerAndId) {
    RemoveTrayIcon(desktop, kTask);
    static const Event removed[] = {{Ev::RemoveTray, kTask, 128}};
    ExpectSequence(trace, removed, "remove");
}

TEST_F(TrayNotify, OnlyDoubleClickAndRightButtonDownAct) {
    desktop.m_devicePresent = true;
    for (const std::intptr_t m : {0x200, 0x201, 0x202, 0x205, 0x206, 0x207, 0x208, 0x209, 0x400, 0x401, 0})
        EXPECT_EQ(Notify(m), 0) << m;
    ExpectSequence(trace, {}, "other mouse messages");

    EXPECT_EQ(Notify(0x204), 0);
    static const Event menu[] = {{.kind = Ev::TrayMenu, .window = kTask, .text = u"Configure|Exit"}};
    ExpectSequence(trace, menu, "right button");
}

TEST_F(TrayConfigure, AbsentKeyboardShowsMessageAndStartsNothing) {
    EXPECT_EQ(Notify(0x203), 0);
    OnConfigure(desktop, desktop, kTask, kContent);
    static const Event expected[] = {kFindDevice, kNoKeyboardBox, kFindDevice, kNoKeyboardBox};
    ExpectSequence(trace, expected, "absent");
}

TEST_F(TrayConfigure, PresentKeyboardStartsConfigProgramEachTime) {
    desktop.m_devicePresent = true;
    Notify(0x203);
    OnConfigure(desktop, desktop, kTask, kContent);
    static const Event expected[] = {kFindDevice, kStartConfig, kFindDevice, kStartConfig};
    ExpectSequence(trace, expected, "present");
}

}  // namespace
