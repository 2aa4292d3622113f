// Messages another process may send the task window: device notifications that are cut
// short, oversized, of other types or without the path's terminating zero; registrations of
// windows that do not exist; and a burst of apply requests. The agent stays correct.
#include "AgentRig.h"
#include "BroadcastRecord.h"
#include "app/DeviceBroadcast.h"

#include <cstring>

namespace {

void SetSizeField(std::vector<std::uint8_t>& record, std::uint32_t size) {
    for (int i = 0; i < 4 && i < static_cast<int>(record.size()); ++i)
        record[i] = static_cast<std::uint8_t>(size >> (8 * i));
}

// The records: each allocation exactly as long as the record claims (the system copies a
// notification from another process by its size field), so a read past it is a finding.
// Every record holds at least its size field.
std::vector<std::vector<std::uint8_t>> HostileRecords() {
    std::vector<std::vector<std::uint8_t>> records;
    const auto whole = BroadcastRecord(kKeyboardPath);
    for (std::size_t size = 4; size < whole.size(); size += size < kBroadcastPathOffset + 4 ? 1 : 17) {
        auto r = std::vector<std::uint8_t>(whole.begin(), whole.begin() + size);
        SetSizeField(r, static_cast<std::uint32_t>(size));
        records.push_back(r);
        // The same bytes claiming less than they hold.
        auto claimsLess = r;
        SetSizeField(claimsLess, static_cast<std::uint32_t>(size / 2));
        records.push_back(claimsLess);
    }
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 6u, 0x80000005u, 0xFFFFFFFFu})
        records.push_back(BroadcastRecord(kKeyboardPath, type));
    records.push_back(BroadcastRecord(kKeyboardPath, 5, false));
    records.push_back(BroadcastRecord(std::u16string(40000, u'A') + kKeyboardPath, 5, false));  // 80 KB
    records.push_back(BroadcastRecord(std::u16string(kKeyboardPath) + std::u16string(1, u'\0') + u"tail", 5, false));
    return records;
}

class HostileMessages : public testing::Test {
protected:
    void SetUp() override { rig->Create(); }
    void TearDown() override {
        EXPECT_EQ(rig->faulty.m_wrongRequests, 0);
        EXPECT_LE(rig->keyboard.m_maxOpenHandles, 1);
        ExpectOnlyKnownTables(*rig, true, "after the hostile messages");
        // Still correct: an apply writes the whole configuration and reports its progress.
        rig->trace.Clear();
        rig->faulty.m_written.clear();
        rig->Send(WM_REGISTER_CONFIG_WINDOW, kConfig);
        rig->Send(WM_APPLY_SETTINGS);
        if (rig->driver.IsOpen()) {
            EXPECT_EQ(rig->faulty.m_written.size(), 1u);
        }
        EXPECT_EQ(Progress(), (std::vector<std::intptr_t>{25, 50, 100}));
    }
    std::vector<std::intptr_t> Progress() const {
        std::vector<std::intptr_t> p;
        for (const Event& e : rig->trace.Events())
            if (e.kind == Ev::Post && e.window == kConfig && e.a == WM_APPLY_PROGRESS) p.push_back(e.c);
        return p;
    }
    std::unique_ptr<Rig> rig = std::make_unique<Rig>();
};

TEST_F(HostileMessages, DeviceNotificationsCutShortOversizedOrOfOtherTypes) {
    const std::uintptr_t events[] = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, 0x8001, 0x8003, 0x0007, 0xFFFF};
    for (const auto& record : HostileRecords()) {
        for (std::uintptr_t event : events) {
            // A copy of its own, so that the allocation ends exactly where the record does.
            auto copy = std::make_unique<std::uint8_t[]>(record.size());
            if (!record.empty()) std::memcpy(copy.get(), record.data(), record.size());
            EXPECT_EQ(
                rig->Send(WM_DEVICECHANGE, event, record.empty() ? 0 : reinterpret_cast<std::intptr_t>(copy.get())), 0);
        }
    }
    // A whole record still works: the keyboard leaves and comes back.
    rig->Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, AsLParam(BroadcastRecord(kKeyboardPath)));
    EXPECT_FALSE(rig->driver.IsOpen());
    rig->Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(BroadcastRecord(kKeyboardPath)));
    EXPECT_TRUE(rig->driver.IsOpen());
}

TEST_F(HostileMessages, RegistrationsOfWindowsThatDoNotExist) {
    for (std::uintptr_t window : {std::uintptr_t{0}, std::uintptr_t{1}, std::uintptr_t{0xDEAD0},
                                  std::uintptr_t{0xFFFFFFFF}, ~std::uintptr_t{0}}) {
        rig->Send(WM_REGISTER_CONFIG_WINDOW, window);
        rig->Send(WM_APPLY_SETTINGS);
        rig->Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, AsLParam(BroadcastRecord(kKeyboardPath)));
        rig->Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(BroadcastRecord(kKeyboardPath)));
    }
    // A removal never told a window that was not alive when it registered to close.
    for (const Event& e : rig->trace.Events()) {
        if (e.kind == Ev::Post && e.a == WM_CLOSE) {
            EXPECT_EQ(e.window, kConfig);
        }
    }
}

// A short burst here; tools/stress runs the long one.
TEST_F(HostileMessages, BurstOfApplyRequests) {
    int count = 500;
    if (const char* env = std::getenv("K7_APPLY_BURST")) count = std::atoi(env);
    rig->Send(WM_REGISTER_CONFIG_WINDOW, kConfig);
    rig->trace.Clear();
    rig->faulty.m_written.clear();
    for (int i = 0; i < count; ++i) rig->Send(WM_APPLY_SETTINGS);
    ASSERT_EQ(rig->faulty.m_written.size(), static_cast<std::size_t>(count));
    for (const DeviceKeyTable& t : rig->faulty.m_written) EXPECT_EQ(t, rig->faulty.m_written.front());
    const std::vector<std::intptr_t> progress = Progress();
    ASSERT_EQ(progress.size(), 3u * count);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ((std::vector<std::intptr_t>(progress.begin() + 3 * i, progress.begin() + 3 * i + 3)),
                  (std::vector<std::intptr_t>{25, 50, 100}));
    EXPECT_EQ(rig->keyboard.Table(), rig->faulty.m_written.back());
}

}  // namespace
