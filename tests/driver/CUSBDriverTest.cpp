// The driver channel against a recording device: what goes out, byte for byte.
#include "driver/CUSBDriver.h"
#include "keyboard/FactoryKeyTableData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct Call {
    char kind;  // 'O'pen, 'C'ontrol, 'X' close
    DeviceHandle handle = 0;
    std::uint32_t code = 0, inSize = 0, outSize = 0;
    std::vector<std::uint8_t> in;  // the input as it stood when sent
    bool outIsIn = false;          // the same buffer carries the answer
    std::u16string path;

    std::string Describe() const {
        return std::string(1, kind) + " h" + std::to_string(handle) + " code " + std::to_string(code) + " in " +
               std::to_string(inSize) + " out " + std::to_string(outSize);
    }
};

class RecordingDeviceIo final : public IDeviceIo {
public:
    DeviceHandle Open(std::u16string_view path) override {
        m_calls.push_back({'O', 0, 0, 0, 0, {}, false, std::u16string(path)});
        if (m_openFails) return 0;
        return m_nextHandle++;
    }
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        m_calls.push_back({'C',
                           handle,
                           code,
                           inSize,
                           outSize,
                           std::vector<std::uint8_t>(bytes, bytes + inSize),
                           out != nullptr && out == in,
                           {}});
        if (!m_accept) return false;
        auto* dst = static_cast<std::uint8_t*>(out);
        for (std::uint32_t i = 0; i < outSize && i < m_answer.size(); ++i) dst[i] = m_answer[i];
        return true;
    }
    void Close(DeviceHandle handle) override { m_calls.push_back({'X', handle, 0, 0, 0, {}, false, {}}); }

    std::vector<Call> m_calls;
    std::vector<std::uint8_t> m_answer;  // what the driver writes into the output buffer
    DeviceHandle m_nextHandle = 7;
    bool m_openFails = false;
    bool m_accept = true;
};

std::string Trace(const std::vector<Call>& calls) {
    std::string s;
    for (const Call& c : calls) s += "  " + c.Describe() + "\n";
    return s;
}

MacroContent SomeMacro() {
    MacroContent m{};
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(0xA0 ^ i);
    return m;
}

constexpr CombinationKeys kKeys{0xE0, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
constexpr CombinationKeys kSentinel{0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A};

class DriverChannel : public ::testing::Test {
protected:
    RecordingDeviceIo m_io;
    CUSBDriver m_driver{m_io};

    void OpenAndForget() {
        ASSERT_TRUE(m_driver.Open());
        m_io.m_calls.clear();
    }
    const Call& OnlyCall() {
        EXPECT_EQ(m_io.m_calls.size(), 1u) << Trace(m_io.m_calls);
        return m_io.m_calls.at(0);
    }
};

TEST_F(DriverChannel, OpenAndCloseHoldOneHandleOnTheDevicePath) {
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_TRUE(m_driver.Open());
    EXPECT_TRUE(m_driver.IsOpen());
    EXPECT_TRUE(m_driver.Close());
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_TRUE(m_driver.Close());  // closing a closed channel does nothing
    ASSERT_EQ(m_io.m_calls.size(), 2u) << Trace(m_io.m_calls);
    EXPECT_EQ(m_io.m_calls[0].kind, 'O');
    EXPECT_EQ(m_io.m_calls[0].path, u"\\\\.\\oxkbd");
    EXPECT_EQ(m_io.m_calls[1].kind, 'X');
    EXPECT_EQ(m_io.m_calls[1].handle, 7u);
}

TEST_F(DriverChannel, OpenOfAnAbsentDeviceLeavesTheChannelClosed) {
    m_io.m_openFails = true;
    EXPECT_FALSE(m_driver.Open());
    EXPECT_FALSE(m_driver.IsOpen());
    DeviceKeyTable table{};
    EXPECT_FALSE(m_driver.ReadKeyTable(table));
    EXPECT_TRUE(m_driver.Close());
    EXPECT_EQ(m_io.m_calls.size(), 1u) << Trace(m_io.m_calls);  // the open only
}

TEST_F(DriverChannel, OpenWhileHeldClosesTheOldHandleFirst) {
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.Open());
    ASSERT_TRUE(m_driver.SetReportRate(1));
    ASSERT_EQ(m_io.m_calls.size(), 4u) << Trace(m_io.m_calls);
    EXPECT_EQ(m_io.m_calls[0].kind, 'O');
    EXPECT_EQ(m_io.m_calls[1].kind, 'X');
    EXPECT_EQ(m_io.m_calls[1].handle, 7u);
    EXPECT_EQ(m_io.m_calls[2].kind, 'O');
    EXPECT_EQ(m_io.m_calls[3].handle, 8u);  // requests go to the new handle

    // A failed reopen leaves the channel closed, not holding the released handle.
    m_io.m_openFails = true;
    EXPECT_FALSE(m_driver.Open());
    EXPECT_FALSE(m_driver.IsOpen());
    EXPECT_EQ(m_io.m_calls[4].kind, 'X');
    EXPECT_EQ(m_io.m_calls[4].handle, 8u);
}

TEST_F(DriverChannel, DestructionClosesTheHandle) {
    RecordingDeviceIo io;
    {
        CUSBDriver driver(io);
        ASSERT_TRUE(driver.Open());
    }
    ASSERT_EQ(io.m_calls.size(), 2u) << Trace(io.m_calls);
    EXPECT_EQ(io.m_calls[1].kind, 'X');
}

TEST_F(DriverChannel, EveryRequestOnAClosedChannelYieldsFalseWithoutACall) {
    DeviceKeyTable table{};
    CombinationKeys keys = kSentinel;
    EXPECT_FALSE(m_driver.SetReportRate(1));
    EXPECT_FALSE(m_driver.ReadKeyTable(table));
    EXPECT_FALSE(m_driver.WriteKeyTable(kFactoryKeyTable));
    EXPECT_FALSE(m_driver.WriteMacro(0, SomeMacro()));
    EXPECT_FALSE(m_driver.WriteCombination(0, kKeys));
    EXPECT_FALSE(m_driver.ReadCombination(0, keys));
    EXPECT_TRUE(m_io.m_calls.empty()) << Trace(m_io.m_calls);
    EXPECT_EQ(table, DeviceKeyTable{});
    EXPECT_EQ(keys, kSentinel);
}

// The number, slot and code tests come first: false and nothing sent, open or closed.
TEST_F(DriverChannel, OutOfRangeArgumentsSendNothingOpenOrClosed) {
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) OpenAndForget();
        CombinationKeys keys = kSentinel;
        EXPECT_FALSE(m_driver.WriteMacro(12, SomeMacro()));
        EXPECT_FALSE(m_driver.WriteMacro(255, SomeMacro()));
        EXPECT_FALSE(m_driver.WriteCombination(9, kKeys));
        EXPECT_FALSE(m_driver.WriteCombination(255, kKeys));
        EXPECT_FALSE(m_driver.ReadCombination(9, keys));
        EXPECT_FALSE(m_driver.ReadCombination(255, keys));
        EXPECT_EQ(keys, kSentinel);
        for (int code = 0; code < 256; ++code) {
            if (code == 1 || code == 2 || code == 8) continue;
            EXPECT_FALSE(m_driver.SetReportRate(code)) << code;
        }
        EXPECT_TRUE(m_io.m_calls.empty()) << Trace(m_io.m_calls);
    }
}

TEST_F(DriverChannel, ReportRateSendsTheOneCodeByte) {
    OpenAndForget();
    for (std::uint8_t code : {1, 2, 8}) {
        EXPECT_TRUE(m_driver.SetReportRate(code));
        const Call& c = m_io.m_calls.back();
        EXPECT_EQ(c.code, 0x222414u);
        EXPECT_THAT(c.in, ElementsAre(code));
        EXPECT_EQ(c.outSize, 0u);
    }
    EXPECT_EQ(m_io.m_calls.size(), 3u);
}

TEST_F(DriverChannel, KeyTableTravelsWholeBothWays) {
    OpenAndForget();
    DeviceKeyTable sent = kFactoryKeyTable;
    sent.slots[10] = {{KindMacro, 0, 3, 0xC0}};
    ASSERT_TRUE(m_driver.WriteKeyTable(sent));
    const Call write = OnlyCall();
    EXPECT_EQ(write.code, 0x22241Cu);
    EXPECT_EQ(write.handle, 7u);
    EXPECT_THAT(write.in, ElementsAreArray(sent.Bytes(), 608));
    EXPECT_EQ(write.outSize, 0u);

    m_io.m_calls.clear();
    m_io.m_answer.assign(sent.Bytes(), sent.Bytes() + 608);
    DeviceKeyTable got{};
    ASSERT_TRUE(m_driver.ReadKeyTable(got));
    const Call read = OnlyCall();
    EXPECT_EQ(read.code, 0x222420u);
    EXPECT_EQ(read.inSize, 0u);
    EXPECT_EQ(read.outSize, 608u);
    EXPECT_EQ(got, sent);
}

TEST_F(DriverChannel, MacroRequestIsNumberThenContentInOneSharedBuffer) {
    OpenAndForget();
    const MacroContent content = SomeMacro();
    for (std::uint8_t number : {0, 11}) {
        m_io.m_calls.clear();
        ASSERT_TRUE(m_driver.WriteMacro(number, content));
        const Call c = OnlyCall();
        EXPECT_EQ(c.code, 0x222424u);
        ASSERT_EQ(c.inSize, 193u);
        EXPECT_EQ(c.outSize, 193u);
        EXPECT_TRUE(c.outIsIn);
        EXPECT_EQ(c.in[0], number);
        EXPECT_TRUE(std::equal(content.begin(), content.end(), c.in.begin() + 1));
    }
}

TEST_F(DriverChannel, CombinationWriteIsSlotThenKeys) {
    OpenAndForget();
    for (std::uint8_t slot : {0, 8}) {
        m_io.m_calls.clear();
        ASSERT_TRUE(m_driver.WriteCombination(slot, kKeys));
        const Call c = OnlyCall();
        EXPECT_EQ(c.code, 0x22242Cu);
        EXPECT_THAT(c.in, ElementsAre(slot, 0xE0, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A));
        EXPECT_EQ(c.outSize, 0u);
    }
}

TEST_F(DriverChannel, CombinationReadSendsTheSlotAndTakesAnswerBytesZeroToSeven) {
    OpenAndForget();
    m_io.m_answer = {1, 2, 3, 4, 5, 6, 7, 8, 0xEE};
    CombinationKeys keys = kSentinel;
    ASSERT_TRUE(m_driver.ReadCombination(5, keys));
    const Call c = OnlyCall();
    EXPECT_EQ(c.code, 0x222430u);
    EXPECT_THAT(c.in, ElementsAre(5, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(c.outSize, 9u);
    EXPECT_TRUE(c.outIsIn);
    EXPECT_THAT(keys, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
}

TEST_F(DriverChannel, RejectedRequestsYieldFalseAndLeaveTheCallersBytes) {
    OpenAndForget();
    m_io.m_accept = false;
    CombinationKeys keys = kSentinel;
    EXPECT_FALSE(m_driver.ReadCombination(0, keys));
    EXPECT_EQ(keys, kSentinel);
    EXPECT_FALSE(m_driver.SetReportRate(2));
    EXPECT_FALSE(m_driver.WriteKeyTable(kFactoryKeyTable));
    EXPECT_FALSE(m_driver.WriteMacro(0, SomeMacro()));
    EXPECT_FALSE(m_driver.WriteCombination(0, kKeys));
    EXPECT_EQ(m_io.m_calls.size(), 5u) << Trace(m_io.m_calls);  // each sent once, none retried
    EXPECT_TRUE(m_driver.IsOpen());
}

}  // namespace
