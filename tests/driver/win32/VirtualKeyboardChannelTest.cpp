// The driver channel against the virtual keyboard under Wine: what the agent sends is what
// the keyboard holds, requests of any other shape are refused, and failures reach the caller.
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using oxkbd::State;

constexpr CombinationKeys kKeys{0xE0, 0xE1, 0x04, 0x05, 0, 0, 0, 0x29};
constexpr CombinationKeys kSentinel{0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A};

MacroContent SomeMacro(std::uint8_t seed) {
    MacroContent m{};
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(seed + 3 * i);
    return m;
}

State ReadState() {
    State s{};
    EXPECT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    return s;
}

// Wine hands a closed handle to the driver (IRP_MJ_CLOSE) after CloseHandle has returned,
// so the handle counts settle a moment later: wait for them, at most two seconds.
template <class Settled>
State WaitForHandles(Settled settled) {
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

TEST_F(VirtualKeyboardChannel, WhatTheAgentWritesIsExactlyWhatTheKeyboardHolds) {
    ASSERT_TRUE(m_driver.Open());
    DeviceKeyTable table = FactoryKeyTable();
    table.slots[10] = {{KindMacro, 0, 11, 0xC0}};
    table.slots[12] = {{KindCombination, 0, 8, 8}};
    table.slots[116] = {{KindMouse, 0, 16, 1}};
    const MacroContent macro = SomeMacro(0x31);

    EXPECT_TRUE(m_driver.WriteKeyTable(table));
    EXPECT_TRUE(m_driver.WriteMacro(11, macro));
    EXPECT_TRUE(m_driver.WriteCombination(8, kKeys));
    EXPECT_TRUE(m_driver.SetReportRate(2));

    const State s = ReadState();
    EXPECT_EQ(s.table, table);
    EXPECT_EQ(s.macros[11][0], 11);
    EXPECT_EQ(std::memcmp(&s.macros[11][1], macro.data(), macro.size()), 0);
    EXPECT_EQ(s.combinations[8][0], 8);
    EXPECT_EQ(std::memcmp(&s.combinations[8][1], kKeys.data(), kKeys.size()), 0);
    EXPECT_EQ(s.reportRate, 2);
    // Nothing else changed.
    for (int n = 0; n < 11; ++n)
        EXPECT_EQ(std::count(s.macros[n], s.macros[n] + kMacroRequestSize, 0), int(kMacroRequestSize)) << n;
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(std::count(s.combinations[n], s.combinations[n] + 9, 0), 9) << n;
    ExpectLog(s, {{IOCTL_WRITE_KEY_TABLE, 608, 0, true},
                  {IOCTL_WRITE_MACRO, 193, 193, true},
                  {IOCTL_WRITE_COMBINATION, 9, 0, true},
                  {IOCTL_SET_REPORT_RATE, 1, 0, true}});
    EXPECT_EQ(s.log[1].head[0], 11);  // the macro number leads its record
}

TEST_F(VirtualKeyboardChannel, EveryRequestRoundTrips) {
    ASSERT_TRUE(m_driver.Open());
    DeviceKeyTable table{};
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, FactoryKeyTable());

    table.slots[0] = {{KindConsumer, 0, 0x02, 0x2A}};
    table.slots[kMarkSlot] = {};
    ASSERT_TRUE(m_driver.WriteKeyTable(table));
    DeviceKeyTable back{};
    ASSERT_TRUE(m_driver.ReadKeyTable(back));
    EXPECT_EQ(back, table);

    for (std::uint8_t slot : {0, 4, 8}) {
        CombinationKeys keys = kKeys;
        keys[0] = slot;
        ASSERT_TRUE(m_driver.WriteCombination(slot, keys));
        CombinationKeys got = kSentinel;
        ASSERT_TRUE(m_driver.ReadCombination(slot, got));
        EXPECT_EQ(got, keys) << int(slot);
    }
    for (std::uint8_t number : {0, 11}) {
        ASSERT_TRUE(m_driver.WriteMacro(number, SomeMacro(number)));
        const State s = ReadState();
        EXPECT_EQ(std::memcmp(&s.macros[number][1], SomeMacro(number).data(), kMacroContentSize), 0);
    }
    for (std::uint8_t rate : {1, 2, 8}) {
        ASSERT_TRUE(m_driver.SetReportRate(rate));
        EXPECT_EQ(ReadState().reportRate, rate);
    }
    const State s = ReadState();
    EXPECT_EQ(s.counters[oxkbd::kReadKeyTable].accepted, 2u);
    EXPECT_EQ(s.counters[oxkbd::kWriteKeyTable].accepted, 1u);
    EXPECT_EQ(s.counters[oxkbd::kWriteCombination].accepted, 3u);
    EXPECT_EQ(s.counters[oxkbd::kReadCombination].accepted, 3u);
    EXPECT_EQ(s.counters[oxkbd::kWriteMacro].accepted, 2u);
    EXPECT_EQ(s.counters[oxkbd::kSetReportRate].accepted, 3u);
    for (const oxkbd::Counter& c : s.counters) EXPECT_EQ(c.rejected, 0u);
}

// Raw requests of any other size or code are refused and counted; the state stays.
TEST_F(VirtualKeyboardChannel, RequestsOfAnyOtherShapeAreRefusedAndCounted) {
    HANDLE h = CreateFileW(L"\\\\.\\oxkbd", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    std::vector<std::uint8_t> buffer(1024, 0x77);
    std::uint32_t refused = 0;
    auto refuse = [&](std::uint32_t code, DWORD inSize, DWORD outSize, DWORD error) {
        DWORD returned = 0;
        SetLastError(0xdeadbeef);
        const BOOL ok = DeviceIoControl(h, code, inSize ? buffer.data() : nullptr, inSize,
                                        outSize ? buffer.data() : nullptr, outSize, &returned, nullptr);
        EXPECT_FALSE(ok) << std::hex << code << std::dec << " in " << inSize << " out " << outSize;
        EXPECT_EQ(GetLastError(), error) << std::hex << code << std::dec << " in " << inSize << " out " << outSize;
        ++refused;
    };
    for (const oxkbd::RequestShape& shape : oxkbd::kRequestShapes) {
        refuse(shape.code, shape.inSize + 1, shape.outSize, ERROR_INVALID_PARAMETER);
        refuse(shape.code, shape.inSize, shape.outSize + 1, ERROR_INVALID_PARAMETER);
        if (shape.inSize) refuse(shape.code, shape.inSize - 1, shape.outSize, ERROR_INVALID_PARAMETER);
        if (shape.outSize) refuse(shape.code, shape.inSize, shape.outSize - 1, ERROR_INVALID_PARAMETER);
    }
    // Unknown functions, the private ones (they belong to the control device) and other methods.
    for (std::uint32_t code : {IoctlCode(0x906), IoctlCode(0x90A), IoctlCode(0x800), IoctlCode(0x801),
                               IOCTL_WRITE_KEY_TABLE | 3u, 0x00222418u | (1u << 14)})
        refuse(code, 0, 0, ERROR_INVALID_FUNCTION);
    // Well-sized requests with contents the keyboard cannot hold.
    buffer[0] = 12;
    refuse(IOCTL_WRITE_MACRO, 193, 193, ERROR_INVALID_PARAMETER);
    buffer[0] = 9;
    refuse(IOCTL_WRITE_COMBINATION, 9, 0, ERROR_INVALID_PARAMETER);
    refuse(IOCTL_READ_COMBINATION, 9, 9, ERROR_INVALID_PARAMETER);
    buffer[0] = 3;
    refuse(IOCTL_SET_REPORT_RATE, 1, 0, ERROR_INVALID_PARAMETER);
    CloseHandle(h);

    const State s = ReadState();
    std::uint32_t rejected = 0;
    for (const oxkbd::Counter& c : s.counters) {
        rejected += c.rejected;
        EXPECT_EQ(c.accepted, 0u);
    }
    EXPECT_EQ(rejected, refused);
    EXPECT_EQ(s.counters[oxkbd::kOther].rejected, 6u);
    EXPECT_EQ(s.table, FactoryKeyTable());
    EXPECT_EQ(s.reportRate, 0);
}

TEST_F(VirtualKeyboardChannel, RefusedRequestsYieldFalseAndLeaveTheCallersBytes) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.WriteCombination(3, kKeys));
    ASSERT_TRUE(k7testbed::FailNextRequests(IOCTL_READ_COMBINATION, 1)) << k7testbed::KeyboardError();
    CombinationKeys keys = kSentinel;
    EXPECT_FALSE(m_driver.ReadCombination(3, keys));
    EXPECT_EQ(keys, kSentinel);
    EXPECT_TRUE(m_driver.ReadCombination(3, keys));  // only the next one failed
    EXPECT_EQ(keys, kKeys);

    ASSERT_TRUE(k7testbed::FailNextRequests(IOCTL_WRITE_KEY_TABLE, 2));
    DeviceKeyTable zero{};
    EXPECT_FALSE(m_driver.WriteKeyTable(zero));
    EXPECT_FALSE(m_driver.WriteKeyTable(zero));
    EXPECT_EQ(ReadState().table, FactoryKeyTable());
    EXPECT_TRUE(m_driver.WriteKeyTable(zero));

    const State s = ReadState();
    EXPECT_EQ(s.counters[oxkbd::kReadCombination].rejected, 1u);
    EXPECT_EQ(s.counters[oxkbd::kWriteKeyTable].rejected, 2u);
    EXPECT_EQ(s.table, zero);
    EXPECT_TRUE(m_driver.IsOpen());
}

// A fault armed further on: the first requests of its code pass, then one fails, or every one
// from there on. The keyboard counts what it injected and keeps the last tables it was sent,
// failed ones too.
TEST_F(VirtualKeyboardChannel, FaultsArmedFurtherOnAndTheTablesSent) {
    ASSERT_TRUE(m_driver.Open());
    CombinationKeys keys{};
    ASSERT_TRUE(k7testbed::FailRequests(IOCTL_READ_COMBINATION, 2, 1)) << k7testbed::KeyboardError();
    EXPECT_TRUE(m_driver.ReadCombination(1, keys));
    EXPECT_TRUE(m_driver.WriteKeyTable(FactoryKeyTable()));  // another code passes by
    EXPECT_TRUE(m_driver.ReadCombination(2, keys));
    State s = ReadState();
    EXPECT_EQ(s.failSkip, 0u);
    EXPECT_EQ(s.failRemaining, 1u);
    EXPECT_FALSE(m_driver.ReadCombination(3, keys));
    EXPECT_TRUE(m_driver.ReadCombination(4, keys));

    DeviceKeyTable tables[6];
    for (int i = 0; i < 6; ++i) tables[i].slots[0] = {{KindKey, static_cast<std::uint8_t>(0x04 + i), 0, 0}};
    ASSERT_TRUE(k7testbed::FailRequests(IOCTL_WRITE_KEY_TABLE, 1, oxkbd::kFailAll));
    EXPECT_TRUE(m_driver.WriteKeyTable(tables[0]));
    for (int i = 1; i < 6; ++i) EXPECT_FALSE(m_driver.WriteKeyTable(tables[i])) << i;
    s = ReadState();
    EXPECT_EQ(s.failRemaining, oxkbd::kFailAll);
    EXPECT_EQ(s.failInjected, 6u);
    EXPECT_EQ(s.counters[oxkbd::kReadCombination].rejected, 1u);
    EXPECT_EQ(s.counters[oxkbd::kWriteKeyTable].rejected, 5u);
    EXPECT_EQ(s.table, tables[0]);
    EXPECT_EQ(s.tablesReceived, 7u);
    for (std::uint32_t i = 0; i < oxkbd::kTableLogCapacity; ++i) EXPECT_EQ(s.tableLog[i], tables[2 + i]) << i;

    ASSERT_TRUE(k7testbed::FailNextRequests(IOCTL_WRITE_KEY_TABLE, 0));
    EXPECT_TRUE(m_driver.WriteKeyTable(tables[5]));
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    s = ReadState();
    EXPECT_EQ(s.failInjected, 0u);
    EXPECT_EQ(s.tablesReceived, 0u);
    EXPECT_EQ(s.table, tables[5]);
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
    EXPECT_EQ(table, FactoryKeyTable());  // a fresh start holds the factory table
}

TEST_F(VirtualKeyboardChannel, ResetStartsOverWithTheChosenTable) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.WriteMacro(4, SomeMacro(4)));
    ASSERT_TRUE(m_driver.SetReportRate(8));

    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kUnmarkedTable));
    DeviceKeyTable expected = FactoryKeyTable();
    expected.slots[kMarkSlot] = {};
    DeviceKeyTable table{};
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, expected);
    const State s = ReadState();
    EXPECT_EQ(std::count(s.macros[4], s.macros[4] + kMacroRequestSize, 0), int(kMacroRequestSize));
    EXPECT_EQ(s.reportRate, 0);

    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kZeroTable));
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, DeviceKeyTable{});
}

// The log keeps the latest requests, oldest first, numbered without gaps.
TEST_F(VirtualKeyboardChannel, RequestLogKeepsTheLatestInOrder) {
    ASSERT_TRUE(m_driver.Open());
    const std::uint32_t total = oxkbd::kLogCapacity + 6;
    for (std::uint32_t i = 0; i < total; ++i) ASSERT_TRUE(m_driver.SetReportRate(i % 2 ? 2 : 1));
    const State s = ReadState();
    ASSERT_EQ(s.logCount, oxkbd::kLogCapacity);
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const std::uint32_t sequence = total - oxkbd::kLogCapacity + 1 + i;
        EXPECT_EQ(s.log[i].sequence, sequence);
        EXPECT_EQ(s.log[i].head[0], (sequence - 1) % 2 ? 2 : 1);
    }
    EXPECT_EQ(s.counters[oxkbd::kSetReportRate].accepted, total);
}

}  // namespace
