// What the agent relies on from the keyboard. Runs against the model natively and against the
// virtual keyboard under Wine through the real channel, so that the model cannot drift from
// the keyboard the agent is tested on: what the agent writes is what the keyboard holds,
// requests of any other shape or out of range are refused, and failures reach the caller.
#include "KeyboardUnderTest.h"
#include "driver/CUSBDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using keyboard::State;

constexpr CombinationKeys kKeys{0xE0, 0xE1, 0x04, 0x05, 0, 0, 0, 0x29};
constexpr CombinationKeys kSentinel{0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A};

MacroContent SomeMacro(std::uint8_t seed) {
    MacroContent m{};
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(seed + 3 * i);
    return m;
}

std::string LogText(const State& s) {
    std::string text;
    char line[112];
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const keyboard::LogEntry& e = s.log[i];
        std::snprintf(line, sizeof line, "  #%u %s (%#x) in %u out %u status %#x\n", e.sequence,
                      keyboard::kRequestNames[keyboard::KindOfCode(e.code)], e.code, e.inSize, e.outSize,
                      static_cast<unsigned>(e.status));
        text += line;
    }
    return text;
}

struct Expected {
    std::uint32_t code, inSize, outSize;
    std::int32_t status;
};

// The keyboard's request log, compared with an expected sequence as a whole.
void ExpectLog(const State& s, const std::vector<Expected>& expected) {
    bool same = s.logCount == expected.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i) {
        const keyboard::LogEntry& e = s.log[i];
        same = e.sequence == i + 1 && e.code == expected[i].code && e.inSize == expected[i].inSize &&
               e.outSize == expected[i].outSize && e.status == expected[i].status;
    }
    EXPECT_TRUE(same) << "request log:\n" << LogText(s);
}

bool AllZero(const std::uint8_t* bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](auto b) { return b == 0; });
}

class KeyboardContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartOverKeyboardUnderTest()); }
    void TearDown() override { FailKeyboardRequests(0, 0, 0); }

    IDeviceIo& m_io = KeyboardIoUnderTest();
    CUSBDriver m_driver{m_io};
};

TEST_F(KeyboardContract, WhatTheAgentWritesIsExactlyWhatTheKeyboardHolds) {
    ASSERT_TRUE(m_driver.Open());
    DeviceKeyTable table = kFactoryKeyTable;
    table.slots[10] = {{KindMacro, 0, 11, 0xC0}};
    table.slots[12] = {{KindCombination, 0, 8, 8}};
    table.slots[116] = {{KindMouse, 0, 16, 1}};
    const MacroContent macro = SomeMacro(0x31);

    EXPECT_TRUE(m_driver.WriteKeyTable(table));
    EXPECT_TRUE(m_driver.WriteMacro(11, macro));
    EXPECT_TRUE(m_driver.WriteCombination(8, kKeys));
    EXPECT_TRUE(m_driver.SetReportRate(2));

    const State s = KeyboardStateUnderTest();
    EXPECT_EQ(s.table, table);
    EXPECT_EQ(s.macros[11][0], 11);
    EXPECT_EQ(std::memcmp(&s.macros[11][1], macro.data(), macro.size()), 0);
    EXPECT_EQ(s.combinations[8][0], 8);
    EXPECT_EQ(std::memcmp(&s.combinations[8][1], kKeys.data(), kKeys.size()), 0);
    EXPECT_EQ(s.reportRate, 2);
    // Nothing else changed.
    for (int n = 0; n < 11; ++n) EXPECT_TRUE(AllZero(s.macros[n], kMacroRequestSize)) << n;
    for (int n = 0; n < 8; ++n) EXPECT_TRUE(AllZero(s.combinations[n], kCombinationRequestSize)) << n;
    ExpectLog(s, {{IOCTL_WRITE_KEY_TABLE, 608, 0, keyboard::kStatusSuccess},
                  {IOCTL_WRITE_MACRO, 193, 193, keyboard::kStatusSuccess},
                  {IOCTL_WRITE_COMBINATION, 9, 0, keyboard::kStatusSuccess},
                  {IOCTL_SET_REPORT_RATE, 1, 0, keyboard::kStatusSuccess}});
    EXPECT_EQ(s.log[1].head[0], 11);  // the macro number leads its record
}

TEST_F(KeyboardContract, EveryRequestRoundTrips) {
    ASSERT_TRUE(m_driver.Open());
    DeviceKeyTable table{};
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, kFactoryKeyTable);

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
        const State s = KeyboardStateUnderTest();
        EXPECT_EQ(std::memcmp(&s.macros[number][1], SomeMacro(number).data(), kMacroContentSize), 0);
    }
    for (std::uint8_t rate : {1, 2, 8}) {
        ASSERT_TRUE(m_driver.SetReportRate(rate));
        EXPECT_EQ(KeyboardStateUnderTest().reportRate, rate);
    }
    const State s = KeyboardStateUnderTest();
    EXPECT_EQ(s.counters[keyboard::kReadKeyTable].accepted, 2u);
    EXPECT_EQ(s.counters[keyboard::kWriteKeyTable].accepted, 1u);
    EXPECT_EQ(s.counters[keyboard::kWriteCombination].accepted, 3u);
    EXPECT_EQ(s.counters[keyboard::kReadCombination].accepted, 3u);
    EXPECT_EQ(s.counters[keyboard::kWriteMacro].accepted, 2u);
    EXPECT_EQ(s.counters[keyboard::kSetReportRate].accepted, 3u);
    for (const keyboard::Counter& c : s.counters) EXPECT_EQ(c.rejected, 0u);
}

// Raw requests of any other size or code, or with contents the keyboard cannot hold, are
// refused, counted and logged with why; the state stays, and the caller's buffer too.
TEST_F(KeyboardContract, RequestsOfAnyOtherShapeAreRefusedAndCounted) {
    const DeviceHandle h = m_io.Open(DEVICE_PATH);
    ASSERT_NE(h, 0u);
    std::vector<std::uint8_t> buffer(1024, 0x77);
    std::vector<Expected> expected;
    auto refuse = [&](std::uint32_t code, std::uint32_t inSize, std::uint32_t outSize, std::int32_t status) {
        EXPECT_FALSE(
            m_io.Control(h, code, inSize ? buffer.data() : nullptr, inSize, outSize ? buffer.data() : nullptr, outSize))
            << std::hex << code << std::dec << " in " << inSize << " out " << outSize;
        expected.push_back({code, inSize, outSize, status});
    };
    for (const keyboard::RequestShape& shape : keyboard::kRequestShapes) {
        refuse(shape.code, shape.inSize + 1, shape.outSize, keyboard::kStatusInvalidParameter);
        refuse(shape.code, shape.inSize, shape.outSize + 1, keyboard::kStatusInvalidParameter);
        if (shape.inSize) refuse(shape.code, shape.inSize - 1, shape.outSize, keyboard::kStatusInvalidParameter);
        if (shape.outSize) refuse(shape.code, shape.inSize, shape.outSize - 1, keyboard::kStatusInvalidParameter);
    }
    // Unknown functions, the private ones of the test bed's control device and other methods.
    for (std::uint32_t code : {IoctlCode(0x906), IoctlCode(0x90A), IoctlCode(0x800), IoctlCode(0x801),
                               IOCTL_WRITE_KEY_TABLE | 3u, 0x00222418u | (1u << 14)})
        refuse(code, 0, 0, keyboard::kStatusInvalidDeviceRequest);
    // Well-sized requests with contents the keyboard cannot hold: macro 12, slot 9, rate 3.
    buffer[0] = 12;
    refuse(IOCTL_WRITE_MACRO, 193, 193, keyboard::kStatusInvalidParameter);
    buffer[0] = 9;
    refuse(IOCTL_WRITE_COMBINATION, 9, 0, keyboard::kStatusInvalidParameter);
    refuse(IOCTL_READ_COMBINATION, 9, 9, keyboard::kStatusInvalidParameter);
    for (std::uint8_t rate : {0, 3, 4, 16}) {
        buffer[0] = rate;
        refuse(IOCTL_SET_REPORT_RATE, 1, 0, keyboard::kStatusInvalidParameter);
    }
    m_io.Close(h);
    EXPECT_TRUE(std::all_of(buffer.begin() + 1, buffer.end(), [](auto b) { return b == 0x77; }));

    const State s = KeyboardStateUnderTest();
    std::uint32_t rejected = 0;
    for (const keyboard::Counter& c : s.counters) {
        rejected += c.rejected;
        EXPECT_EQ(c.accepted, 0u);
    }
    EXPECT_EQ(rejected, expected.size());
    EXPECT_EQ(s.counters[keyboard::kOther].rejected, 6u);
    ExpectLog(s, expected);
    EXPECT_EQ(s.table, kFactoryKeyTable);
    EXPECT_EQ(s.reportRate, 0);
    for (const auto& macro : s.macros) EXPECT_TRUE(AllZero(macro, kMacroRequestSize));
    for (const auto& slot : s.combinations) EXPECT_TRUE(AllZero(slot, kCombinationRequestSize));
}

TEST_F(KeyboardContract, RefusedRequestsYieldFalseAndLeaveTheCallersBytes) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.WriteCombination(3, kKeys));
    ASSERT_TRUE(FailKeyboardRequests(IOCTL_READ_COMBINATION, 0, 1));
    CombinationKeys keys = kSentinel;
    EXPECT_FALSE(m_driver.ReadCombination(3, keys));
    EXPECT_EQ(keys, kSentinel);
    EXPECT_TRUE(m_driver.ReadCombination(3, keys));  // only the next one failed
    EXPECT_EQ(keys, kKeys);

    ASSERT_TRUE(FailKeyboardRequests(IOCTL_WRITE_KEY_TABLE, 0, 2));
    DeviceKeyTable zero{};
    EXPECT_FALSE(m_driver.WriteKeyTable(zero));
    EXPECT_FALSE(m_driver.WriteKeyTable(zero));
    EXPECT_EQ(KeyboardStateUnderTest().table, kFactoryKeyTable);
    EXPECT_TRUE(m_driver.WriteKeyTable(zero));

    const State s = KeyboardStateUnderTest();
    EXPECT_EQ(s.counters[keyboard::kReadCombination].rejected, 1u);
    EXPECT_EQ(s.counters[keyboard::kWriteKeyTable].rejected, 2u);
    EXPECT_EQ(s.log[1].status, keyboard::kStatusIoDeviceError) << LogText(s);
    EXPECT_EQ(s.table, zero);
    EXPECT_TRUE(m_driver.IsOpen());
}

// A fault armed further on: the first requests of its code pass, then one fails, or every one
// from there on. The keyboard counts what it injected and keeps the last tables it was sent,
// failed ones too.
TEST_F(KeyboardContract, FaultsArmedFurtherOnAndTheTablesSent) {
    ASSERT_TRUE(m_driver.Open());
    CombinationKeys keys{};
    ASSERT_TRUE(FailKeyboardRequests(IOCTL_READ_COMBINATION, 2, 1));
    EXPECT_TRUE(m_driver.ReadCombination(1, keys));
    EXPECT_TRUE(m_driver.WriteKeyTable(kFactoryKeyTable));  // another code passes by
    EXPECT_TRUE(m_driver.ReadCombination(2, keys));
    State s = KeyboardStateUnderTest();
    EXPECT_EQ(s.failSkip, 0u);
    EXPECT_EQ(s.failRemaining, 1u);
    EXPECT_FALSE(m_driver.ReadCombination(3, keys));
    EXPECT_TRUE(m_driver.ReadCombination(4, keys));

    DeviceKeyTable tables[6];
    for (int i = 0; i < 6; ++i) tables[i].slots[0] = {{KindKey, static_cast<std::uint8_t>(0x04 + i), 0, 0}};
    ASSERT_TRUE(FailKeyboardRequests(IOCTL_WRITE_KEY_TABLE, 1, keyboard::kFailAll));
    EXPECT_TRUE(m_driver.WriteKeyTable(tables[0]));
    for (int i = 1; i < 6; ++i) EXPECT_FALSE(m_driver.WriteKeyTable(tables[i])) << i;
    s = KeyboardStateUnderTest();
    EXPECT_EQ(s.failRemaining, keyboard::kFailAll);
    EXPECT_EQ(s.failInjected, 6u);
    EXPECT_EQ(s.counters[keyboard::kReadCombination].rejected, 1u);
    EXPECT_EQ(s.counters[keyboard::kWriteKeyTable].rejected, 5u);
    EXPECT_EQ(s.table, tables[0]);
    EXPECT_EQ(s.tablesReceived, 7u);
    for (std::uint32_t i = 0; i < keyboard::kTableLogCapacity; ++i) EXPECT_EQ(s.tableLog[i], tables[2 + i]) << i;

    ASSERT_TRUE(FailKeyboardRequests(IOCTL_WRITE_KEY_TABLE, 0, 0));
    EXPECT_TRUE(m_driver.WriteKeyTable(tables[5]));
    ASSERT_TRUE(ClearKeyboardCountersUnderTest());
    s = KeyboardStateUnderTest();
    EXPECT_EQ(s.failInjected, 0u);
    EXPECT_EQ(s.tablesReceived, 0u);
    EXPECT_EQ(s.table, tables[5]);
}

TEST_F(KeyboardContract, ResetStartsOverWithTheChosenTable) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.WriteMacro(4, SomeMacro(4)));
    ASSERT_TRUE(m_driver.WriteCombination(5, kKeys));
    ASSERT_TRUE(m_driver.SetReportRate(8));

    ASSERT_TRUE(ResetKeyboardUnderTest(keyboard::kUnmarkedTable));
    DeviceKeyTable expected = kFactoryKeyTable;
    expected.slots[kMarkSlot] = {};
    DeviceKeyTable table{};
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, expected);
    const State s = KeyboardStateUnderTest();
    EXPECT_TRUE(AllZero(s.macros[4], kMacroRequestSize));
    EXPECT_TRUE(AllZero(s.combinations[5], kCombinationRequestSize));
    EXPECT_EQ(s.reportRate, 0);
    EXPECT_EQ(s.counters[keyboard::kWriteMacro].accepted, 1u);  // a reset keeps the counts

    ASSERT_TRUE(ResetKeyboardUnderTest(keyboard::kZeroTable));
    ASSERT_TRUE(m_driver.ReadKeyTable(table));
    EXPECT_EQ(table, DeviceKeyTable{});
}

// The log keeps the latest requests, oldest first, numbered without gaps.
TEST_F(KeyboardContract, RequestLogKeepsTheLatestInOrder) {
    ASSERT_TRUE(m_driver.Open());
    const std::uint32_t total = keyboard::kLogCapacity + 6;
    for (std::uint32_t i = 0; i < total; ++i) ASSERT_TRUE(m_driver.SetReportRate(i % 2 ? 2 : 1));
    const State s = KeyboardStateUnderTest();
    ASSERT_EQ(s.logCount, keyboard::kLogCapacity);
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const std::uint32_t sequence = total - keyboard::kLogCapacity + 1 + i;
        EXPECT_EQ(s.log[i].sequence, sequence);
        EXPECT_EQ(s.log[i].head[0], (sequence - 1) % 2 ? 2 : 1);
    }
    EXPECT_EQ(s.counters[keyboard::kSetReportRate].accepted, total);
}

}  // namespace
