// The task window's message table, creation, destruction and apply sequences.
#include "TaskFixture.h"

#include "res/resource.h"

namespace {

using TaskWindow = TaskFixture;

TEST_F(TaskWindow, CreationOpensRegistersAndReadsTheKeyboardWithoutApplying) {
    keyboard.m_table = CustomTable(true);
    static const Event expected[] = {
        Default(WM_CREATE), {Ev::LoadIcon, 0, IDI_APP}, {Ev::SetIcon, kTask, 0x1C0}, kOpen,
        {Ev::RegSession, kTask}, {Ev::RegDevice, kTask}, kReadTable,
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
    static const Event expected[] = {
        Default(WM_CREATE), {Ev::LoadIcon, 0, IDI_APP}, {Ev::SetIcon, kTask, 0x1C0}, kOpen,
        {Ev::RegSession, kTask}, {Ev::RegDevice, kTask},
    };
    EXPECT_EQ(Send(WM_CREATE), 0);
    ExpectSequence(trace, expected, "creation without driver");
    EXPECT_EQ(task.m_workTable, DeviceKeyTable{});
    EXPECT_EQ(task.m_factoryTable, FactoryKeyTable());
    EXPECT_TRUE(desktop.m_runningTimers.empty());
}

TEST_F(TaskWindow, FailedReadAtCreationLeavesTheFactoryTableNotZeros) {
    keyboard.m_table = CustomTable(true);
    keyboard.m_failReads = 1;
    Create();
    EXPECT_EQ(task.m_workTable, FactoryKeyTable());
    // An apply then writes a usable table, never an empty one.
    Send(WM_APPLY_SETTINGS);
    EXPECT_EQ(keyboard.m_table, FactoryKeyTable());
}

TEST_F(TaskWindow, FailedDefaultCreationStopsAtOnce) {
    desktop.m_defaultResults[WM_CREATE] = -1;
    static const Event expected[] = {Default(WM_CREATE)};
    EXPECT_EQ(Send(WM_CREATE), -1);
    ExpectSequence(trace, expected, "failed creation");
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(TaskWindow, DestructionClosesTheConfigWindowThenReleasesEverything) {
    Create();
    RegisterConfig();
    static const Event expected[] = {
        Default(WM_DESTROY), Posted(kConfig, WM_CLOSE), kClose, {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY},
        {Ev::UnregSession, kTask}, {Ev::UnregDevice},
    };
    Send(WM_DESTROY);
    ExpectSequence(trace, expected, "destruction");
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(TaskWindow, DestructionPostsNoCloseToAHandleThatNoLongerNamesTheConfigProgram) {
    keyboard.m_present = false;
    Create();
    RegisterConfig();
    static const Event expected[] = {
        Default(WM_DESTROY), {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY}, {Ev::UnregSession, kTask}, {Ev::UnregDevice},
    };
    // The configuration program ended and another program's window got the handle.
    desktop.m_windowProcess[kConfig] = kOtherProcess;
    Send(WM_DESTROY);
    ExpectSequence(trace, expected, "destruction, handle reused");
    // ... or the handle names no window at all.
    desktop.m_windowProcess.erase(kConfig);
    Send(WM_DESTROY);
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
        Default(WM_DESTROY), kClose, {Ev::KillTimer, kTask, TIMER_DEVICE_RETRY}, {Ev::UnregSession, kTask},
        {Ev::UnregDevice},
    };
    Send(WM_DESTROY);
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
    keyboard.m_table = CustomTable(true);
    Create();
    RegisterConfig();
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25), Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
                                     kWriteTable, Posted(kConfig, WM_APPLY_PROGRESS, 0, 100)};
    EXPECT_EQ(Send(WM_APPLY_SETTINGS, 0x77, 0x88), 1);
    ExpectSequence(trace, expected, "apply");
    EXPECT_EQ(keyboard.m_table, task.m_workTable);
    // The report rate is not part of an apply.
    EXPECT_EQ(keyboard.m_reportRate, 0);
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
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25), Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
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
    static const Event expected[] = {Posted(kConfig, WM_APPLY_PROGRESS, 0, 25), Posted(kConfig, WM_APPLY_PROGRESS, 0, 50),
                                     kWriteTable, Posted(kConfig, WM_APPLY_PROGRESS, 0, 100)};
    Send(WM_APPLY_SETTINGS);
    ExpectSequence(trace, expected, "apply to stale handle");
}

TEST_F(TaskWindow, ReportRateSendsTheLowByteOfValidCodesOnly) {
    Create();
    static const Event rate2[] = {Control(IOCTL_SET_REPORT_RATE, 1, 2), Default(WM_SET_REPORT_RATE, 0x102, 7)};
    Send(WM_SET_REPORT_RATE, 0x102, 7);
    ExpectSequence(trace, rate2, "rate 0x102");
    EXPECT_EQ(keyboard.m_reportRate, 2);
    static const Event rate4[] = {Default(WM_SET_REPORT_RATE, 4)};
    Send(WM_SET_REPORT_RATE, 4);
    ExpectSequence(trace, rate4, "rate 4");
    static const Event rate8[] = {Control(IOCTL_SET_REPORT_RATE, 1, 8), Default(WM_SET_REPORT_RATE, 0xFFFF08)};
    Send(WM_SET_REPORT_RATE, 0xFFFF08);
    ExpectSequence(trace, rate8, "rate 0xFFFF08");
}

TEST_F(TaskWindow, CloseWithAnOpenWarningDialogClosesTheDialogFirst) {
    Create();
    desktop.m_topLevelTitles[kCombWarnTitle] = kWarnDialog;
    static const Event expected[] = {{.kind = Ev::Find, .text = kCombWarnTitle}, Posted(kWarnDialog, WM_CLOSE),
                                     Default(WM_CLOSE)};
    Send(WM_CLOSE);
    ExpectSequence(trace, expected, "close with dialog");
}

TEST_F(TaskWindow, CloseWithoutADialogGoesStraightToDefault) {
    Create();
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
