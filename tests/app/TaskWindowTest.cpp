// The task window's message table, creation, destruction and apply sequences.
#include "TaskFixture.h"

#include "keyconfig/SettingsStore.h"
#include "res/resource.h"
#include "xml/ButtonPositions.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

using TaskWindow = TaskFixture;

TEST_F(TaskWindow, CreationOpensRegistersAndReadsTheKeyboardWithoutApplying) {
    keyboard.HoldTable(CustomTable(true));
    const Event expected[] = {
        Default(WM_CREATE),          {Ev::LoadIcon, 0, IDI_APP},
        {Ev::SetIcon, kTask, 0x1C0}, kOpen,
        {Ev::RegSession, kTask},     TrayAdded(),
        {Ev::RegDevice, kTask},      kReadTable,
    };
    EXPECT_EQ(Send(WM_CREATE), 0);
    ExpectSequence(trace, expected, "creation");
    EXPECT_EQ(task.m_hIcon, 0x1C0u);
    EXPECT_EQ(task.m_workTable, CustomTable(true));
    EXPECT_EQ(task.m_factoryTable, FactoryKeyTable());
    EXPECT_EQ(FindSlotForUsage(task.m_usageSlotMap, 0x14), 8);
    EXPECT_EQ(keyboard.m_tableWrites, 0);
    EXPECT_EQ(task.m_nReportRate, 8);
    EXPECT_EQ(task.m_combCache, CombinationCache{});
}

TEST_F(TaskWindow, CreationWithoutDriverLeavesTheWorkingTableZeroAndStartsNoTimer) {
    keyboard.m_present = false;
    const Event expected[] = {
        Default(WM_CREATE), {Ev::LoadIcon, 0, IDI_APP}, {Ev::SetIcon, kTask, 0x1C0}, kOpen, {Ev::RegSession, kTask},
        TrayAdded(),        {Ev::RegDevice, kTask},
    };
    EXPECT_EQ(Send(WM_CREATE), 0);
    ExpectSequence(trace, expected, "creation without driver");
    EXPECT_EQ(task.m_workTable, DeviceKeyTable{});
    EXPECT_EQ(task.m_factoryTable, FactoryKeyTable());
    EXPECT_TRUE(desktop.m_runningTimers.empty());
}

TEST_F(TaskWindow, FailedReadAtCreationLeavesTheFactoryTableNotZeros) {
    keyboard.HoldTable(CustomTable(true));
    keyboard.Model().FailRequests(IOCTL_READ_KEY_TABLE, 0, 1);
    Create();
    EXPECT_EQ(task.m_workTable, FactoryKeyTable());
    // An apply then writes a usable table, never an empty one.
    Send(WM_APPLY_SETTINGS);
    EXPECT_EQ(keyboard.Table(), FactoryKeyTable());
}

TEST_F(TaskWindow, FailedDefaultCreationStopsAtOnce) {
    desktop.m_defaultResults[WM_CREATE] = -1;
    static const Event expected[] = {Default(WM_CREATE)};
    EXPECT_EQ(Send(WM_CREATE), -1);
    ExpectSequence(trace, expected, "failed creation");
    EXPECT_FALSE(driver.IsOpen());
    // The system then destroys the window: that destruction is the agent's own.
    Send(WM_DESTROY);
    Send(WM_NCDESTROY);
    EXPECT_EQ(trace.Events().back(), Default(WM_NCDESTROY));
    EXPECT_EQ(task.Window(), 0u);
}

// Requests that reach the window while its creation waits on the notification area.
TEST_F(TaskWindow, RequestsDuringCreationAreAnsweredAtOnceAndRunInOrderWhenItEnds) {
    keyboard.HoldTable(CustomTable(true));
    desktop.m_windowProcess[kConfig] = kConfigProcess;
    std::vector<std::intptr_t> answers;
    const std::pair<std::uint32_t, std::uintptr_t> requests[] = {{WM_REGISTER_CONFIG_WINDOW, kConfig},
                                                                 {WM_APPLY_SETTINGS, 0},
                                                                 {WM_SET_REPORT_RATE, 2},
                                                                 {WM_CLOSE, 0},
                                                                 {WM_APPLY_SETTINGS, 0}};
    desktop.m_whileAddingTray = [&] {
        for (const auto& [msg, wParam] : requests) answers.push_back(Send(msg, wParam));
    };
    const Event creation[] = {
        Default(WM_CREATE),          {Ev::LoadIcon, 0, IDI_APP},
        {Ev::SetIcon, kTask, 0x1C0}, kOpen,
        {Ev::RegSession, kTask},     TrayAdded(),
        {Ev::RegDevice, kTask},      kReadTable,
    };
    EXPECT_EQ(Send(WM_CREATE), 0);
    ExpectSequence(trace, creation, "creation with requests");
    EXPECT_EQ(answers, (std::vector<std::intptr_t>{0, 1, 0, 0, 1}));

    // The apply after the close is not carried out: the close ended the window.
    const Event afterwards[] = {
        Default(WM_REGISTER_CONFIG_WINDOW, kConfig),
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 25),
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
        kWriteTable,
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 100),
        Control(IOCTL_SET_REPORT_RATE, 1, 2),
        Default(WM_SET_REPORT_RATE, 2),
        {.kind = Ev::Find, .text = kCombWarnTitle},
        Default(WM_CLOSE),
        Default(WM_DESTROY),
        Posted(kConfig, WM_CLOSE),
        kClose,
        {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask},
        {Ev::UnregDevice},
        kTrayRemoved,
        Default(WM_NCDESTROY),
    };
    task.EndCreation();
    ExpectSequence(trace, afterwards, "end of creation");
    // The apply ran on the table read and the factory table built: the defaults put the two
    // changed keys back and leave the mark as it was.
    DeviceKeyTable applied = FactoryKeyTable();
    applied.slots[kMarkSlot] = CustomTable(true).slots[kMarkSlot];
    EXPECT_EQ(keyboard.Table(), applied);
    EXPECT_EQ(keyboard.ReportRate(), 2);
}

TEST_F(TaskWindow, RestoreDuringCreationWritesTheFactoryTableWhenItEnds) {
    DeviceKeyTable found = CustomTable(true);
    found.slots[20] = {{KindCombination, 0, 3, 8}};
    keyboard.HoldTable(found);
    keyboard.HoldCombination(3, {0, 0xE0, 0, 0x06});
    desktop.m_whileAddingTray = [&] { EXPECT_EQ(Send(WM_RESTORE_FACTORY), 0); };
    EXPECT_EQ(Send(WM_CREATE), 0);
    EXPECT_EQ(keyboard.m_tableWrites, 0);
    task.EndCreation();
    EXPECT_EQ(keyboard.Table(), FactoryKeyTable());
    EXPECT_EQ(keyboard.Combination(3), (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(task.m_combCache, CombinationCache{});
}

TEST_F(TaskWindow, DestructionClosesTheConfigWindowThenReleasesEverything) {
    Create();
    RegisterConfig();
    static const Event expected[] = {
        {Ev::Destroy, kTask},
        Default(WM_DESTROY),
        Posted(kConfig, WM_CLOSE),
        kClose,
        {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask},
        {Ev::UnregDevice},
        kTrayRemoved,
        Default(WM_NCDESTROY),
    };
    task.Destroy();
    ExpectSequence(trace, expected, "destruction");
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(task.Window(), 0u);
}

TEST_F(TaskWindow, DestructionMessagesFromAnotherProgramChangeNothing) {
    Create();
    RegisterConfig();
    EXPECT_EQ(Send(WM_DESTROY), 0);
    EXPECT_EQ(Send(WM_NCDESTROY), 0);
    ExpectSequence(trace, {}, "destruction messages from elsewhere");
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(task.Window(), kTask);
}

TEST_F(TaskWindow, DestructionPostsNoCloseToAHandleThatNoLongerNamesTheConfigProgram) {
    keyboard.m_present = false;
    Create();
    RegisterConfig();
    static const Event expected[] = {
        {Ev::Destroy, kTask},      Default(WM_DESTROY), {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask}, {Ev::UnregDevice},   kTrayRemoved,
        Default(WM_NCDESTROY),
    };
    // The configuration program ended and another program's window got the handle.
    desktop.m_windowProcess[kConfig] = kOtherProcess;
    task.Destroy();
    ExpectSequence(trace, expected, "destruction, handle reused");
    // ... or the handle names no window at all.
    desktop.m_windowProcess.erase(kConfig);
    task.Attach(kTask);
    task.Destroy();
    ExpectSequence(trace, expected, "destruction, window gone");
}

TEST_F(TaskWindow, RegistrationWithZeroClearsIt) {
    Create();
    RegisterConfig();
    static const Event reg[] = {Default(WM_REGISTER_CONFIG_WINDOW, 0, 0x55)};
    Send(WM_REGISTER_CONFIG_WINDOW, 0, 0x55);
    ExpectSequence(trace, reg, "registration with 0");
    EXPECT_EQ(task.m_hConfigWnd, 0u);
    static const Event destroy[] = {
        {Ev::Destroy, kTask},      Default(WM_DESTROY), kClose,       {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask}, {Ev::UnregDevice},   kTrayRemoved, Default(WM_NCDESTROY),
    };
    task.Destroy();
    ExpectSequence(trace, destroy, "destruction after clearing");
}

TEST_F(TaskWindow, LaterRegistrationReplacesTheEarlierOne) {
    Create();
    RegisterConfig(kConfig);
    RegisterConfig(kConfig + 0x100);
    static const Event expected[] = {Posted(kConfig + 0x100, WM_APPLY_PROGRESS, 0, 25),
                                     Posted(kConfig + 0x100, WM_APPLY_PROGRESS, 0, 50), kWriteTable,
                                     Posted(kConfig + 0x100, WM_APPLY_PROGRESS, 0, 100)};
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    ExpectSequence(trace, expected, "apply after re-registration");
}

TEST_F(TaskWindow, ApplyPostsProgressAroundTheTableWrite) {
    keyboard.HoldTable(CustomTable(true));
    Create();
    RegisterConfig();
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25),
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 50), kWriteTable,
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 100)};
    EXPECT_EQ(Send(WM_APPLY_SETTINGS, 0x77, 0x88), 1);
    ExpectSequence(trace, expected, "apply");
    EXPECT_EQ(keyboard.Table(), task.m_workTable);
    // The report rate is not part of an apply.
    EXPECT_EQ(keyboard.ReportRate(), 0);
}

TEST_F(TaskWindow, ApplyBeforeAnyRegistrationPostsNothing) {
    Create();
    static const Event expected[] = {kWriteTable};
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    ExpectSequence(trace, expected, "apply unregistered");
}

TEST_F(TaskWindow, ApplyWithTheChannelClosedOnlyPostsProgress) {
    keyboard.m_present = false;
    Create();
    RegisterConfig();
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25),
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 100)};
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    ExpectSequence(trace, expected, "apply closed");
    // The keyboard coming up later without an arrival does not change that.
    keyboard.m_present = true;
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    ExpectSequence(trace, expected, "apply closed, driver back");
}

TEST_F(TaskWindow, ProgressKeepsGoingToAStaleHandle) {
    Create();
    RegisterConfig();
    desktop.m_windowProcess.erase(kConfig);
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25),
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 50), kWriteTable,
                                     Posted(kConfig, WM_APPLY_PROGRESS, 0, 100)};
    Send(WM_APPLY_SETTINGS);
    ExpectSequence(trace, expected, "apply to stale handle");
}

TEST_F(TaskWindow, ReportRateSendsTheLowByteOfValidCodesOnly) {
    Create();
    static const Event rate2[] = {Control(IOCTL_SET_REPORT_RATE, 1, 2), Default(WM_SET_REPORT_RATE, 0x102, 7)};
    Send(WM_SET_REPORT_RATE, 0x102, 7);
    ExpectSequence(trace, rate2, "rate 0x102");
    EXPECT_EQ(keyboard.ReportRate(), 2);
    static const Event rate4[] = {Default(WM_SET_REPORT_RATE, 4)};
    Send(WM_SET_REPORT_RATE, 4);
    ExpectSequence(trace, rate4, "rate 4");
    static const Event rate8[] = {Control(IOCTL_SET_REPORT_RATE, 1, 8), Default(WM_SET_REPORT_RATE, 0xFFFF08)};
    Send(WM_SET_REPORT_RATE, 0xFFFF08);
    ExpectSequence(trace, rate8, "rate 0xFFFF08");
}

TEST_F(TaskWindow, CloseWithOpenWarningDialogsClosesEachFirst) {
    Create();
    RegisterConfig();
    // A nested apply can have opened a second one.
    desktop.m_ownTopLevelWindows.insert({kCombWarnTitle, kWarnDialog});
    desktop.m_ownTopLevelWindows.insert({kCombWarnTitle, kWarnDialog + 0x20});
    static const Event expected[] = {
        {.kind = Ev::Find, .text = kCombWarnTitle},
        Posted(kWarnDialog, WM_CLOSE),
        Posted(kWarnDialog + 0x20, WM_CLOSE),
        Default(WM_CLOSE),
        Default(WM_DESTROY),
        Posted(kConfig, WM_CLOSE),
        kClose,
        {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask},
        {Ev::UnregDevice},
        kTrayRemoved,
        Default(WM_NCDESTROY),
    };
    EXPECT_EQ(Send(WM_CLOSE), 0);
    ExpectSequence(trace, expected, "close with dialogs");
}

TEST_F(TaskWindow, CloseWithoutADialogGoesStraightToDefault) {
    Create();
    desktop.m_destroyMessages = nullptr;
    static const Event expected[] = {{.kind = Ev::Find, .text = kCombWarnTitle}, Default(WM_CLOSE)};
    Send(WM_CLOSE);
    ExpectSequence(trace, expected, "close");
}

TEST_F(TaskWindow, SessionChangesOnlyReachDefaultProcessing) {
    Create();
    RegisterConfig();
    const DeviceKeyTable before = task.m_workTable;
    for (std::uintptr_t event = 1; event <= 9; ++event) {
        const Event expected[] = {Default(WM_WTSSESSION_CHANGE, event, 1)};
        EXPECT_EQ(Send(WM_WTSSESSION_CHANGE, event, 1), 0);
        ExpectSequence(trace, expected, "session change");
    }
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(task.m_workTable, before);
    EXPECT_EQ(task.m_hConfigWnd, kConfig);
}

TEST_F(TaskWindow, ForeignTimersDoNothing) {
    keyboard.m_present = false;
    Create();
    for (std::uintptr_t id : {0u, 1u, 99u, 101u, 0x10064u}) {
        EXPECT_EQ(Send(WM_TIMER, id), 0);
        ExpectSequence(trace, {}, "foreign timer");
    }
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(TaskWindow, OtherMessagesPassToDefaultProcessingUnchanged) {
    Create();
    desktop.m_defaultResults[0x0084] = 0x12;
    static const Event expected[] = {Default(0x0084, 0x5, -3), Default(WM_APPLY_PROGRESS, 1, 2)};
    EXPECT_EQ(Send(0x0084, 0x5, -3), 0x12);
    EXPECT_EQ(Send(WM_APPLY_PROGRESS, 1, 2), 0);
    ExpectSequence(trace, expected, "pass-through");
}

}  // namespace

namespace {

using TaskSettings = TaskFixture;

TEST_F(TaskSettings, CreationLoadsTheLayoutAndCreatesTheStoredValues) {
    Create();
    // Default assignment i names the key of layout record i.
    ASSERT_NE(g_buttonPosTable[0].vkcode, 0);
    EXPECT_EQ(settings.keys.records[0].vk, g_buttonPosTable[0].vkcode);
    EXPECT_EQ(settings.keys.records[107].vk, g_buttonPosTable[107].vkcode);
    for (const char16_t* name : {u"KeySetting", u"MacroSetting", u"CombSetting", u"RateSetting"}) {
        const FakeRegistry::Value* value = registry.Find(kSettingsKeyPath, name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, kRegBinary);
    }
    EXPECT_EQ(task.m_nReportRate, 8);
}

TEST_F(TaskSettings, ApplyRereadsTheStoreButSendsNoRate) {
    keyboard.HoldTable(CustomTable(true));
    Create();
    registry.Put(kSettingsKeyPath, u"RateSetting", kRegBinary, {2, 0, 0, 0});
    Send(WM_APPLY_SETTINGS);
    EXPECT_EQ(task.m_nReportRate, 2);
    EXPECT_EQ(keyboard.ReportRate(), 0);
    // The default assignments put the two swapped keys back.
    EXPECT_EQ(keyboard.Table().slots[10], FactoryKeyTable().slots[10]);
    EXPECT_EQ(keyboard.Table().slots[37], FactoryKeyTable().slots[37]);
    EXPECT_EQ(keyboard.Table(), task.m_workTable);
}

// Stores nine distinct combinations on the first nine keys: the ninth finds no free slot.
void StoreNineCombinations(FakeRegistry& registry, const KeySetting& defaults) {
    auto keys = std::make_unique<KeySetting>(defaults);
    auto combinations = std::make_unique<CombSetting>();
    const std::uint8_t vks[] = {0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A};
    for (int i = 0; i < 9; ++i) {
        combinations->records[i].vks[0] = 0xA2;
        combinations->records[i].vks[1] = static_cast<std::uint8_t>(0x30 + i);
        keys->records[i].vk = vks[i];
        keys->records[i].Set(AssignCombination, i);
    }
    registry.Put(kSettingsKeyPath, u"KeySetting", kRegBinary, BytesOf(*keys));
    registry.Put(kSettingsKeyPath, u"CombSetting", kRegBinary, BytesOf(*combinations));
}

TEST_F(TaskSettings, NinthCombinationWarnsResetsAndStillWritesTheTable) {
    Create();
    RegisterConfig();
    StoreNineCombinations(registry, settings.keys);
    static const Event expected[] = {
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 25),
        {Ev::CombWarn, kConfig, kTask},
        Posted(kConfig, WM_ASSIGNMENT_RESET, kTask, 0x4A),
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
        kWriteTable,
        Posted(kConfig, WM_APPLY_PROGRESS, 0, 100),
    };
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    trace.RemoveIf([](const Event& e) { return e.kind == Ev::DevControl && e.a == IOCTL_WRITE_COMBINATION; });
    ExpectSequence(trace, expected, "apply with nine combinations");
    EXPECT_EQ(settings.keys.records[8].Type(), AssignDefault);
    for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(task.m_combCache[slot - 1].slot, slot);
}

TEST_F(TaskSettings, RestoreWhileTheWarningIsOpenFollowsTheApply) {
    Create();
    RegisterConfig();
    StoreNineCombinations(registry, settings.keys);
    bool restoreAnswered = false;
    desktop.m_whileDialogOpen = [&] {
        Send(WM_RESTORE_FACTORY);
        restoreAnswered = true;
    };
    EXPECT_EQ(Send(WM_APPLY_SETTINGS), 1);
    ASSERT_TRUE(restoreAnswered);
    // The restore came last: the keyboard is left in its factory state, not with a table
    // naming the macros and combinations the restore cleared.
    std::vector<Event> restore = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 100), kWriteTable};
    for (std::uint8_t slot = 1; slot <= 8; ++slot) restore.push_back(Control(IOCTL_WRITE_COMBINATION, 9, slot));
    for (std::uint8_t macro = 1; macro <= 11; ++macro) restore.push_back(Control(IOCTL_WRITE_MACRO, 193, macro));
    trace.RemoveIf([](const Event& e) { return e.kind == Ev::Default; });
    ASSERT_GE(trace.Events().size(), restore.size());
    Trace tail;
    for (auto e = trace.Events().end() - static_cast<std::ptrdiff_t>(restore.size()); e != trace.Events().end(); ++e)
        tail.Add(*e);
    ExpectSequence(tail, restore, "restore during the warning");
    EXPECT_EQ(keyboard.Table(), FactoryKeyTable());
    for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(keyboard.Combination(slot), (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(task.m_combCache, CombinationCache{});

    // The next restore is served at once again.
    keyboard.HoldTable(CustomTable(true));
    Send(WM_RESTORE_FACTORY);
    EXPECT_EQ(keyboard.Table(), FactoryKeyTable());
}

TEST_F(TaskSettings, CreationReadsBackTheCombinationsTheTableNames) {
    DeviceKeyTable found = CustomTable(true);
    found.slots[20] = {{KindCombination, 0, 3, 8}};
    found.slots[21] = {{KindCombination, 0, 8, 8}};
    keyboard.HoldTable(found);
    keyboard.HoldCombination(3, {0, 0xE0, 0, 0x06});
    keyboard.HoldCombination(8, {0, 0xE2, 0, 0x2B});
    const Event expected[] = {
        Default(WM_CREATE),
        {Ev::LoadIcon, 0, IDI_APP},
        {Ev::SetIcon, kTask, 0x1C0},
        kOpen,
        {Ev::RegSession, kTask},
        TrayAdded(),
        {Ev::RegDevice, kTask},
        kReadTable,
        Control(IOCTL_READ_COMBINATION, 9, 3),
        Control(IOCTL_READ_COMBINATION, 9, 8),
    };
    Send(WM_CREATE);
    ExpectSequence(trace, expected, "creation with combinations");
    EXPECT_EQ(task.m_combCache[2], (CombinationCacheEntry{1, {0, 0xE0, 0, 0x06}, 3}));
    EXPECT_EQ(task.m_combCache[7], (CombinationCacheEntry{1, {0, 0xE2, 0, 0x2B}, 8}));
    EXPECT_EQ(task.m_combCache[0], CombinationCacheEntry{});
}

TEST_F(TaskSettings, RestoreFactoryWritesTheFactoryTableAndClearsTheSlots) {
    DeviceKeyTable found = CustomTable(true);
    found.slots[20] = {{KindCombination, 0, 3, 8}};
    keyboard.HoldTable(found);
    keyboard.HoldCombination(3, {0, 0xE0, 0, 0x06});
    Create();
    Send(WM_RESTORE_FACTORY, 5, 6);
    std::vector<Event> expected = {Control(IOCTL_WRITE_KEY_TABLE, 608, 0)};
    for (std::uint8_t slot = 1; slot <= 8; ++slot) expected.push_back(Control(IOCTL_WRITE_COMBINATION, 9, slot));
    for (std::uint8_t macro = 1; macro <= 11; ++macro) expected.push_back(Control(IOCTL_WRITE_MACRO, 193, macro));
    expected.push_back(Default(WM_RESTORE_FACTORY, 5, 6));
    ExpectSequence(trace, expected, "factory restore");
    EXPECT_EQ(keyboard.Table(), FactoryKeyTable());
    EXPECT_EQ(task.m_combCache, CombinationCache{});
}

}  // namespace

namespace {

using TaskTray = TaskFixture;

TEST_F(TaskTray, DoubleClickStartsTheConfigProgramOnlyWithTheKeyboardPresent) {
    Create();
    const Event absent[] = {{Ev::FindDevice},
                            {.kind = Ev::MessageBox, .window = kTask, .text = str_msg4 + u"|K7_Setting"}};
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK), 0);
    ExpectSequence(trace, absent, "double click, keyboard absent");
    desktop.m_devicePresent = true;
    const Event present[] = {{Ev::FindDevice}, {.kind = Ev::StartProgram, .text = K7_RES_DIR u"/K7_Config.exe"}};
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK), 0);
    ExpectSequence(trace, present, "double click, keyboard present");
    EXPECT_EQ(Send(WM_COMMAND, ID_TRAY_CONFIGURE), 0);
    ExpectSequence(trace, present, "configure command");
}

TEST_F(TaskTray, RightButtonOpensTheMenuAndOtherMouseMessagesDoNothing) {
    Create();
    ASSERT_FALSE(str_config.empty());
    const Event menu[] = {{.kind = Ev::TrayMenu, .window = kTask, .text = str_config + u"|" + str_exit}};
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, 128, WM_RBUTTONDOWN), 0);
    ExpectSequence(trace, menu, "right button");
    for (std::intptr_t mouse : {0x200, 0x201, 0x202, 0x205, 0x206, 0x207})
        EXPECT_EQ(Send(WM_TRAY_NOTIFY, 128, mouse), 0);
    ExpectSequence(trace, {}, "other mouse messages");
}

TEST_F(TaskTray, ExitCommandDestroysTheTaskWindowOnly) {
    Create();
    RegisterConfig();
    desktop.m_destroyMessages = nullptr;
    static const Event expected[] = {{Ev::Destroy, kTask}};
    EXPECT_EQ(Send(WM_COMMAND, ID_TRAY_EXIT), 0);
    ExpectSequence(trace, expected, "exit command");
}

TEST_F(TaskTray, CommandsFromOtherSourcesPassToDefault) {
    Create();
    // An accelerator (code 1) or a control notification is not a menu command.
    static const Event expected[] = {Default(WM_COMMAND, 0x10000 | ID_TRAY_EXIT, 0), Default(WM_COMMAND, 0x6002, 0),
                                     Default(WM_COMMAND, 0x3000 << 16 | ID_TRAY_CONFIGURE, 0x99)};
    Send(WM_COMMAND, 0x10000 | ID_TRAY_EXIT);
    Send(WM_COMMAND, 0x6002);
    Send(WM_COMMAND, 0x3000 << 16 | ID_TRAY_CONFIGURE, 0x99);
    ExpectSequence(trace, expected, "other commands");
}

TEST_F(TaskTray, RestartedNotificationAreaGetsTheIconAgain) {
    Create();
    ASSERT_FALSE(str_title.empty());
    const Event expected[] = {TrayAdded()};
    task.OnTaskbarCreated();
    ExpectSequence(trace, expected, "taskbar created");
}

Event TrayRetryIn(std::uint32_t ms) { return {Ev::SetTimer, kTask, TIMER_TRAY_RETRY, ms}; }
const Event kTrayRetryStopped{Ev::KillTimer, kTask, TIMER_TRAY_RETRY};

TEST_F(TaskTray, ARefusedIconIsTriedAgainWithAGrowingWaitForAtMostTenMinutes) {
    // After `ticks` of timer 101, the additions and timers since the last comparison.
    auto expect = [&](int ticks, std::span<const Event> expected, const char* context) {
        for (int i = 0; i < ticks; ++i) Send(WM_TIMER, TIMER_TRAY_RETRY);
        trace.RemoveIf(
            [](const Event& e) { return e.kind != Ev::AddTray && e.kind != Ev::SetTimer && e.kind != Ev::KillTimer; });
        ExpectSequence(trace, expected, context);
    };
    // In at the third retry; a tick queued before the timer stopped adds nothing.
    desktop.m_trayFailures = 3;
    Send(WM_CREATE);
    const Event inAtTheThird[] = {TrayAdded(), TrayRetryIn(1000), TrayAdded(), TrayRetryIn(2000),
                                  TrayAdded(), TrayRetryIn(4000), TrayAdded(), kTrayRetryStopped};
    expect(4, inAtTheThird, "in at the third retry");
    // Refused throughout: tries at 1, 3, 7, ... 543 s; the next, at 603 s, would be past ten minutes.
    desktop.m_trayAvailable = false;
    task.OnTaskbarCreated();
    std::vector<Event> refused = {TrayAdded()};
    for (std::uint32_t wait : {1, 2, 4, 8, 16, 32, 60, 60, 60, 60, 60, 60, 60, 60}) {
        refused.push_back(TrayRetryIn(wait * 1000));
        refused.push_back(TrayAdded());
    }
    refused.push_back(kTrayRetryStopped);
    expect(15, refused, "refused throughout");
    // A retry also ends when a restarted notification area takes the icon, and with the window.
    task.OnTaskbarCreated();
    desktop.m_trayAvailable = true;
    task.OnTaskbarCreated();
    const Event taken[] = {TrayAdded(), TrayRetryIn(1000), TrayAdded(), kTrayRetryStopped};
    expect(0, taken, "taken after a restart");
    desktop.m_trayAvailable = false;
    task.OnTaskbarCreated();
    task.Destroy();
    const Event destroyed[] = {
        TrayAdded(), TrayRetryIn(1000), {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY}, kTrayRetryStopped};
    expect(0, destroyed, "destruction while retrying");
    EXPECT_TRUE(desktop.m_runningTimers.empty());
}

}  // namespace
