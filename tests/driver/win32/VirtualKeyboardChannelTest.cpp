// The driver channel against the virtual keyboard under Wine, where it is the platform's: the
// handles it holds, a stopped keyboard, refusals as Windows errors. What the keyboard holds and
// refuses is the keyboard contract's (tests/keyboard), run here against the same keyboard.
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "keyboard/FactoryKeyTableData.h"
#include "k7testbed/VirtualKeyboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using oxkbd::State;

State ReadState() {
    State s{};
    EXPECT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    return s;
}

// Wine hands a closed handle to the driver (IRP_MJ_CLOSE) after CloseHandle has returned,
// so the handle counts settle a moment later: wait for them, at most two seconds.
template <class Settled> State WaitForHandles(Settled settled) {
    State s = ReadState();
    for (int i = 0; i < 200 && !settled(s); ++i) {
        Sleep(10);
        s = ReadState();
    }
    return s;
}

State WaitForClosedHandles(std::uint32_t closed) {
    return WaitForHandles([=](const State& s) { return s.handlesClosed >= closed; });
}

std::string LogText(const State& s) {
    std::string text;
    char line[96];
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const oxkbd::LogEntry& e = s.log[i];
        std::snprintf(line, sizeof line, "  #%u code %#x in %u out %u status %#x\n", e.sequence, e.code, e.inSize,
                      e.outSize, static_cast<unsigned>(e.status));
        text += line;
    }
    return text;
}

struct Expected {
    std::uint32_t code, inSize, outSize;
    bool accepted;
};

// The keyboard's request log, compared with an expected sequence as a whole.
void ExpectLog(const State& s, const std::vector<Expected>& expected) {
    bool same = s.logCount == expected.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i) {
        const oxkbd::LogEntry& e = s.log[i];
        same = e.sequence == i + 1 && e.code == expected[i].code && e.inSize == expected[i].inSize &&
               e.outSize == expected[i].outSize && (e.status >= 0) == expected[i].accepted;
    }
    EXPECT_TRUE(same) << "request log:\n" << LogText(s);
}

class VirtualKeyboardChannel : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError(); }

    void SetUp() override {
        // Handles of the test before are gone before the counts start again.
        EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    }
    void TearDown() override { k7testbed::FailNextRequests(0, 0); }

    CWin32DeviceIo m_io;
    CUSBDriver m_driver{m_io};
};

// The keyboard's refusals as the caller of DeviceIoControl sees them: the completion status
// becomes the thread's last error. What is refused, and why, the keyboard contract checks.
TEST_F(VirtualKeyboardChannel, RefusalsReachTheCallerAsWindowsErrors) {
    HANDLE h =
        CreateFileW(L"\\\\.\\oxkbd", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    std::vector<std::uint8_t> buffer(1024, 0x77);
    auto refuse = [&](std::uint32_t code, DWORD inSize, DWORD outSize, DWORD error) {
        DWORD returned = 0;
        SetLastError(0xdeadbeef);
        const BOOL ok = DeviceIoControl(h, code, inSize ? buffer.data() : nullptr, inSize,
                                        outSize ? buffer.data() : nullptr, outSize, &returned, nullptr);
        EXPECT_FALSE(ok) << std::hex << code << std::dec << " in " << inSize << " out " << outSize;
        EXPECT_EQ(GetLastError(), error) << std::hex << code << std::dec << " in " << inSize << " out " << outSize;
    };
    refuse(IOCTL_READ_KEY_TABLE, 0, 607, ERROR_INVALID_PARAMETER);
    buffer[0] = 3;
    refuse(IOCTL_SET_REPORT_RATE, 1, 0, ERROR_INVALID_PARAMETER);
    refuse(IoctlCode(0x906), 0, 0, ERROR_INVALID_FUNCTION);
    ASSERT_TRUE(k7testbed::FailNextRequests(IOCTL_WRITE_KEY_TABLE, 1)) << k7testbed::KeyboardError();
    refuse(IOCTL_WRITE_KEY_TABLE, 608, 0, ERROR_IO_DEVICE);
    CloseHandle(h);
    ExpectLog(ReadState(), {{IOCTL_READ_KEY_TABLE, 0, 607, false},
                            {IOCTL_SET_REPORT_RATE, 1, 0, false},
                            {IoctlCode(0x906), 0, 0, false},
                            {IOCTL_WRITE_KEY_TABLE, 608, 0, false}});
}

TEST_F(VirtualKeyboardChannel, TheChannelHoldsOneHandleAndReleasesIt) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.Open());  // reopening releases the handle it held
    State s = WaitForClosedHandles(1);
    EXPECT_EQ(s.handlesOpened, 2u);
    EXPECT_EQ(s.handlesClosed, 1u);
    EXPECT_EQ(s.handlesOpen, 1u);
    EXPECT_TRUE(m_driver.Close());
    EXPECT_TRUE(m_driver.Close());
    s = WaitForClosedHandles(2);
    EXPECT_EQ(s.handlesClosed, 2u);
    EXPECT_EQ(s.handlesOpen, 0u);
}

TEST_F(VirtualKeyboardChannel, OpenFailsWhileTheKeyboardIsStopped) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.WriteKeyTable(DeviceKeyTable{}));
    m_driver.Close();
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    EXPECT_FALSE(m_driver.Open());
    EXPECT_FALSE(m_driver.IsOpen());
    DeviceKeyTable table{};
    EXPECT_FALSE(m_driver.ReadKeyTable(table));

    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, kFactoryKeyTable);  // a fresh start holds the factory table
}

}  // namespace
