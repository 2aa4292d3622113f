// Keyboard arrival and removal, the retry timer and resynchronisation.
#include "BroadcastRecord.h"
#include "TaskFixture.h"
#include "keyconfig/Translation.h"

#include <memory>

namespace {

const Event kStartTimer{Ev::SetTimer, kTask, TIMER_DEVICE_RETRY, kDeviceRetryPeriodMs};
const Event kStopTimer{Ev::KillTimer, kTask, TIMER_DEVICE_RETRY};

class DevicePresence : public TaskFixture {
protected:
    void Arrive(std::u16string_view path = kKeyboardPath) {
        EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(BroadcastRecord(path))), 0);
    }
    void Remove(std::u16string_view path = kKeyboardPath) {
        EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, AsLParam(BroadcastRecord(path))), 0);
    }
    void Tick() { EXPECT_EQ(Send(WM_TIMER, TIMER_DEVICE_RETRY), 0); }
    // Created while the driver is absent.
    void CreateClosed() {
        keyboard.m_present = false;
        Create();
    }
    void TearDown() override {
        // Never two handles, and no retrying once the channel is open.
        EXPECT_LE(keyboard.m_maxOpenHandles, 1);
        if (driver.IsOpen()) {
            EXPECT_TRUE(desktop.m_runningTimers.empty());
        }
    }
};

TEST_F(DevicePresence, ArrivalOpensAndResynchronisesWithoutWritingAMarkedTable) {
    CreateClosed();
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(true));
    static const Event expected[] = {kOpen, kReadTable, kReadTable};
    Arrive();
    ExpectSequence(trace, expected, "arrival, marked table");
    EXPECT_EQ(task.m_workTable, CustomTable(true));
    EXPECT_EQ(keyboard.m_tableWrites, 0);
    EXPECT_EQ(task.m_factoryTable, FactoryKeyTable());
    EXPECT_EQ(FindSlotForUsage(task.m_usageSlotMap, 0x14), 8);
}

TEST_F(DevicePresence, ArrivalRepairsAnUnmarkedTableOnce) {
    CreateClosed();
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(false));
    static const Event expected[] = {kOpen, kReadTable, kWriteTable, kReadTable};
    Arrive();
    ExpectSequence(trace, expected, "arrival, unmarked table");
    DeviceKeyTable repaired = CustomTable(false);
    repaired.slots[kMarkSlot] = {{KindMark, 0xFF, 0, 0}};
    EXPECT_EQ(keyboard.Table(), repaired);
    EXPECT_EQ(task.m_workTable, repaired);
    EXPECT_EQ(keyboard.m_tableWrites, 1);
}

TEST_F(DevicePresence, ArrivalWhileOpenOrOfOtherDevicesDoesNothing) {
    Create();
    Arrive();
    Arrive(kMousePath);
    Remove(kMousePath);
    ExpectSequence(trace, {}, "arrival while open, other devices");
    keyboard.m_present = false;
    driver.Close();
    trace.Clear();
    Arrive(kMousePath);
    ExpectSequence(trace, {}, "other device while closed");
    EXPECT_TRUE(desktop.m_runningTimers.empty());
}

TEST_F(DevicePresence, OnlyInterfaceRecordsAndTheTwoEventsCount) {
    CreateClosed();
    keyboard.m_present = true;
    RegisterConfig();
    // A volume or port broadcast whose bytes happen to spell the keyboard's path.
    for (std::uint32_t type : {2u, 3u}) {
        const auto record = BroadcastRecord(kKeyboardPath, type);
        Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(record));
        Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, AsLParam(record));
    }
    Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
    const auto record = BroadcastRecord(kKeyboardPath);
    for (std::uintptr_t event : {0x0007u, 0x0018u, 0x8001u, 0x8002u, 0x8003u, 0x8005u, 0x8006u, 0xFFFFu})
        EXPECT_EQ(Send(WM_DEVICECHANGE, event, AsLParam(record)), 0);
    ExpectSequence(trace, {}, "foreign broadcasts and events");
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(DevicePresence, LowerCasePathIsRecognised) {
    CreateClosed();
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(true));
    static const Event expected[] = {kOpen, kReadTable, kReadTable};
    Arrive(u"\\\\?\\usb#vid_04d9&pid_a059#5&2b1b7a3c&0&3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    ExpectSequence(trace, expected, "lower-case arrival");
}

TEST_F(DevicePresence, PatternCutByTheRecordsEndIsNotRecognised) {
    CreateClosed();
    keyboard.m_present = true;
    auto record = BroadcastRecord(u"USB#VID_04D9&PID_A05", 5, false);
    record.push_back('9');
    record.push_back(0);
    Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(record));
    ExpectSequence(trace, {}, "truncated path");
}

TEST_F(DevicePresence, ArrivalBeforeTheDriverIsReadyRetriesUntilItOpens) {
    CreateClosed();
    static const Event arrival[] = {kOpen, kStartTimer};
    Arrive();
    ExpectSequence(trace, arrival, "arrival without driver");
    static const Event failedTicks[] = {kOpen, kOpen};
    Tick();
    Tick();
    ExpectSequence(trace, failedTicks, "ticks without driver");
    EXPECT_TRUE(desktop.m_runningTimers.contains(TIMER_DEVICE_RETRY));
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(false));
    static const Event tick[] = {kOpen, kReadTable, kWriteTable, kReadTable, kStopTimer};
    Tick();
    ExpectSequence(trace, tick, "tick with driver");
    EXPECT_TRUE(desktop.m_runningTimers.empty());
    EXPECT_EQ(keyboard.m_tableWrites, 1);
}

TEST_F(DevicePresence, RemovalStopsTheRetryAndAnArrivalStartsOrStopsIt) {
    CreateClosed();
    static const Event arrival[] = {kOpen, kStartTimer};
    Arrive();
    ExpectSequence(trace, arrival, "arrival without driver");
    // The keyboard is not there to open: no ticks while it is away.
    static const Event removal[] = {kStopTimer};
    Remove();
    ExpectSequence(trace, removal, "removal during retry");
    EXPECT_TRUE(desktop.m_runningTimers.empty());
    // A tick already queued before the timer stopped opens nothing, here and below.
    Tick();
    ExpectSequence(trace, {}, "stale tick after removal");
    Arrive();
    ExpectSequence(trace, arrival, "next arrival without driver");
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(true));
    static const Event opened[] = {kOpen, kStopTimer, kReadTable, kReadTable};
    Arrive();
    ExpectSequence(trace, opened, "arrival during retry");
    Tick();
    ExpectSequence(trace, {}, "stale tick after arrival");
    EXPECT_EQ(keyboard.m_openHandles, 1);
}

TEST_F(DevicePresence, FailedFirstReadWritesNothingBack) {
    CreateClosed();
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(false));
    keyboard.Model().FailRequests(IOCTL_READ_KEY_TABLE, 0, 1);
    static const Event expected[] = {kOpen, kReadTable, kReadTable};
    Arrive();
    ExpectSequence(trace, expected, "first read fails");
    EXPECT_EQ(keyboard.m_tableWrites, 0);
    EXPECT_EQ(task.m_workTable, CustomTable(false));
}

TEST_F(DevicePresence, FailedSecondReadLeavesTheFactoryTable) {
    CreateClosed();
    keyboard.m_present = true;
    keyboard.HoldTable(CustomTable(true));
    keyboard.Model().FailRequests(IOCTL_READ_KEY_TABLE, 0, 2);
    Arrive();
    EXPECT_EQ(keyboard.m_tableWrites, 0);
    EXPECT_EQ(task.m_workTable, FactoryKeyTable());
    EXPECT_EQ(task.m_factoryTable, FactoryKeyTable());
}

TEST_F(DevicePresence, RemovalClosesAndTellsTheConfigWindowEachTime) {
    Create();
    RegisterConfig();
    static const Event first[] = {kClose, Posted(kConfig, WM_CLOSE)};
    Remove();
    ExpectSequence(trace, first, "first removal");
    EXPECT_FALSE(driver.IsOpen());
    static const Event second[] = {Posted(kConfig, WM_CLOSE)};
    Remove(u"\\\\?\\usb#vid_04d9&pid_a059#x");
    ExpectSequence(trace, second, "second removal");
    EXPECT_EQ(task.m_hConfigWnd, kConfig);
}

TEST_F(DevicePresence, RemovalWithoutALiveRegistrationOnlyCloses) {
    Create();
    static const Event closeOnly[] = {kClose};
    Remove();
    ExpectSequence(trace, closeOnly, "removal unregistered");
    RegisterConfig();
    Send(WM_REGISTER_CONFIG_WINDOW, 0);
    trace.Clear();
    Remove();
    ExpectSequence(trace, {}, "removal after clearing the registration");
    RegisterConfig();
    desktop.m_windowProcess[kConfig] = kOtherProcess;
    Remove();
    ExpectSequence(trace, {}, "removal with the handle reused");
}

TEST_F(DevicePresence, CombinationPlacedWhileRemovedReachesTheKeyboardAfterArrival) {
    Create();
    Remove();
    // One key gets a combination while the keyboard is away: the cache takes it, nothing is sent.
    auto keys = std::make_unique<KeySetting>(settings.keys);
    auto combinations = std::make_unique<CombSetting>();
    combinations->records[0].vks[0] = 0xA2;
    combinations->records[0].vks[1] = 0x30;
    keys->records[0].Set(AssignCombination, 0);  // the first key of the layout
    const auto* k = reinterpret_cast<const std::uint8_t*>(keys.get());
    const auto* c = reinterpret_cast<const std::uint8_t*>(combinations.get());
    registry.Put(u"Software\\Orvex\\K7", u"KeySetting", kRegBinary, {k, k + sizeof *keys});
    registry.Put(u"Software\\Orvex\\K7", u"CombSetting", kRegBinary, {c, c + sizeof *combinations});
    Send(WM_APPLY_SETTINGS);
    // The keyboard comes back holding another combination in slot 1, named by no key.
    keyboard.HoldCombination(1, {0, 0xE2, 0, 0x2B});
    Arrive();
    Send(WM_APPLY_SETTINGS);

    const KeyEntry entry = keyboard.Table().slots[SelectSlot(task.m_usageSlotMap, settings.keys.records[0].vk)];
    ASSERT_EQ(entry.b[0], KindCombination);
    ASSERT_GE(entry.b[2], 1);
    ASSERT_LE(entry.b[2], 8);
    const std::array<std::uint8_t, 8> placed{0, 0xE0, 0, 0x27, 0, 0, 0, 0};
    EXPECT_EQ(keyboard.Combination(entry.b[2]), placed);
}

}  // namespace
