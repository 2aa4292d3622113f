#include "ui/TrayCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the calls the tray logic makes, as one line each.
class RecordingDesktop : public ITrayHost, public IKeyboardPresence {
public:
    bool devicePresent = false;
    std::vector<std::u16string> calls;
    std::vector<TrayIconData> added;

    IconHandle LoadAppIcon(std::uint32_t) override { return Note(u"loadicon"), 0; }
    void SetWindowIcon(WindowHandle, IconHandle) override { Note(u"seticon"); }
    bool AddTrayIcon(const TrayIconData& icon) override {
        added.push_back(icon);
        return Note(u"addtray");
    }
    void RemoveTrayIcon(WindowHandle owner, std::uint32_t id) override {
        Note(u"removetray " + Num(owner) + u" " + Num(id));
    }
    void ShowTrayMenu(WindowHandle owner, std::u16string_view config, std::u16string_view exit) override {
        Note(u"menu " + Num(owner) + u" [" + std::u16string(config) + u"] [" + std::u16string(exit) + u"]");
    }
    void ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) override {
        Note(u"msgbox " + Num(owner) + u" [" + std::u16string(text) + u"] [" + std::u16string(title) + u"]");
    }
    bool StartProgram(std::u16string_view path) override { return Note(u"start " + std::u16string(path)); }
    bool FindDevice() override { return devicePresent; }

private:
    bool Note(std::u16string line) {
        calls.push_back(std::move(line));
        return true;
    }
    static std::u16string Num(std::uintptr_t n) {
        std::u16string s;
        for (const char c : std::to_string(n)) s += static_cast<char16_t>(c);
        return s;
    }
};

constexpr WindowHandle kTask = 0x1234;
using Calls = std::vector<std::u16string>;

const TrayContent kContent{u"Configure", u"Exit", u"No keyboard", u"K7_Setting",
                           u"C:\\Program Files\\Orvex\\K7_Config.exe"};

std::intptr_t Notify(RecordingDesktop& d, std::intptr_t mouseMessage) {
    return OnTrayNotify(d, d, kTask, kTrayIconId, mouseMessage, kContent);
}

TEST(TrayIcon, RecordCarriesOwnerIdFlagsCallbackIconAndTip) {
    RecordingDesktop d;
    AddTrayIcon(d, kTask, u"K7 Gaming Keyboard");
    ASSERT_EQ(d.added.size(), 1u);
    const TrayIconData& icon = d.added[0];
    EXPECT_EQ(icon.owner, kTask);
    EXPECT_EQ(icon.id, 128u);
    EXPECT_EQ(icon.flags, 7u);
    EXPECT_EQ(icon.callbackMessage, 0x600u);
    EXPECT_EQ(icon.iconResource, 128u);
    EXPECT_EQ(icon.tip, u"K7 Gaming Keyboard");
}

TEST(TrayIcon, TipIsCutTo127Characters) {
    RecordingDesktop d;
    const std::u16string title(200, u'\u00e9');
    AddTrayIcon(d, kTask, title);
    EXPECT_EQ(d.added.at(0).tip, title.substr(0, 127));
    EXPECT_EQ(MakeTrayIconData(kTask, std::u16string(127, u'x')).tip.size(), 127u);
    EXPECT_EQ(MakeTrayIconData(kTask, u"").tip, u"");

    // A character outside the basic plane that would be cut in half is left out whole.
    const std::u16string split = std::u16string(126, u'a') + u"\U0001F600" + u"b";
    EXPECT_EQ(MakeTrayIconData(kTask, split).tip, std::u16string(126, u'a'));
    const std::u16string fits = std::u16string(125, u'a') + u"\U0001F600" + u"b";
    EXPECT_EQ(MakeTrayIconData(kTask, fits).tip, fits.substr(0, 127));
}

TEST(TrayIcon, RemoveNamesOnlyOwnerAndId) {
    RecordingDesktop d;
    RemoveTrayIcon(d, kTask);
    EXPECT_EQ(d.calls, (Calls{u"removetray 4660 128"}));
}

TEST(TrayNotify, OnlyDoubleClickAndRightButtonDownAct) {
    RecordingDesktop d;
    d.devicePresent = true;
    for (const std::intptr_t m : {0x200, 0x201, 0x202, 0x205, 0x206, 0x207, 0x208, 0x209, 0x400, 0x401, 0})
        EXPECT_EQ(Notify(d, m), 0) << m;
    EXPECT_TRUE(d.calls.empty());

    EXPECT_EQ(Notify(d, 0x204), 0);
    EXPECT_EQ(d.calls, (Calls{u"menu 4660 [Configure] [Exit]"}));
}

TEST(TrayConfigure, AbsentKeyboardShowsMessageAndStartsNothing) {
    RecordingDesktop d;
    EXPECT_EQ(Notify(d, 0x203), 0);
    OnConfigure(d, d, kTask, kContent);
    EXPECT_EQ(d.calls, (Calls{u"msgbox 4660 [No keyboard] [K7_Setting]", u"msgbox 4660 [No keyboard] [K7_Setting]"}));
}

TEST(TrayConfigure, PresentKeyboardStartsConfigProgramEachTime) {
    RecordingDesktop d;
    d.devicePresent = true;
    Notify(d, 0x203);
    OnConfigure(d, d, kTask, kContent);
    const std::u16string start = u"start C:\\Program Files\\Orvex\\K7_Config.exe";
    EXPECT_EQ(d.calls, (Calls{start, start}));
}

}  // namespace
