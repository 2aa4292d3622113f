// What the store relies on from the registry. Runs against the fake natively and against the
// real registry under Wine, so that the fake cannot drift from the platform.
#include "RegistryUnderTest.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint8_t kSentinel = 0xA5;

class RegistryContract : public ScratchKeyTest {
protected:
    void SetUp() override {
        ScratchKeyTest::SetUp();
        ASSERT_EQ(reg.CreateKey(kScratchKeyPath, key), kRegOk);
        ASSERT_NE(key, 0u);
    }
    void TearDown() override {
        if (key) {
            EXPECT_EQ(reg.CloseKey(key), kRegOk);
        }
        ScratchKeyTest::TearDown();
    }
    void Set(std::u16string_view name, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(reg.SetValue(key, name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())), kRegOk);
    }
    RegKey key = 0;
};

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i + 1);
    return v;
}

TEST_F(RegistryContract, MissingKeyFailsToOpenAndCreateMakesIt) {
    const std::u16string path = std::u16string(kScratchKeyPath) + u"\\A\\B";
    RegKey sub = 12345;
    EXPECT_EQ(reg.OpenKey(path, sub), kRegFileNotFound);
    EXPECT_EQ(sub, 0u);
    ASSERT_EQ(reg.CreateKey(path, sub), kRegOk);  // intermediate key A comes with it
    EXPECT_EQ(reg.CloseKey(sub), kRegOk);
    ASSERT_EQ(reg.OpenKey(path, sub), kRegOk);
    EXPECT_EQ(reg.CloseKey(sub), kRegOk);
    ASSERT_EQ(reg.CreateKey(path, sub), kRegOk);  // an existing key is opened
    EXPECT_EQ(reg.CloseKey(sub), kRegOk);
}

TEST_F(RegistryContract, MissingValueFailsAndLeavesTheBufferAlone) {
    std::array<std::uint8_t, 8> buf;
    buf.fill(kSentinel);
    std::uint32_t size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"Nothing", nullptr, buf.data(), &size), kRegFileNotFound);
    for (std::uint8_t b : buf) EXPECT_EQ(b, kSentinel);
}

TEST_F(RegistryContract, LargerValueFailsWithMoreDataLeavesTheBufferAndReportsSizeAndType) {
    Set(u"Big", kRegBinary, Counting(16));
    std::array<std::uint8_t, 32> buf;
    buf.fill(kSentinel);
    std::uint32_t type = 0, size = 15;
    EXPECT_EQ(reg.QueryValue(key, u"Big", &type, buf.data(), &size), kRegMoreData);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(type, kRegBinary);
    for (std::uint8_t b : buf) EXPECT_EQ(b, kSentinel);
}

TEST_F(RegistryContract, ShorterValueReplacesOnlyItsOwnBytes) {
    Set(u"Small", kRegBinary, Counting(5));
    std::array<std::uint8_t, 12> buf;
    buf.fill(kSentinel);
    std::uint32_t type = 0, size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"Small", &type, buf.data(), &size), kRegOk);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, kRegBinary);
    const std::array<std::uint8_t, 12> expected = {1,         2,         3,         4,         5,         kSentinel,
                                                   kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(buf, expected);
}

TEST_F(RegistryContract, BufferWithoutSizeIsRejected) {
    Set(u"V", kRegBinary, Counting(4));
    std::array<std::uint8_t, 4> buf;
    buf.fill(kSentinel);
    EXPECT_EQ(reg.QueryValue(key, u"V", nullptr, buf.data(), nullptr), kRegInvalidParameter);
    for (std::uint8_t b : buf) EXPECT_EQ(b, kSentinel);
}

TEST_F(RegistryContract, ExactFitSucceedsAndNullBufferAsksForTheSize) {
    Set(u"Exact", kRegBinary, Counting(7));
    std::array<std::uint8_t, 7> buf{};
    std::uint32_t size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"Exact", nullptr, buf.data(), &size), kRegOk);
    EXPECT_EQ(std::vector<std::uint8_t>(buf.begin(), buf.end()), Counting(7));
    std::uint32_t type = 0;
    size = 0;
    EXPECT_EQ(reg.QueryValue(key, u"Exact", &type, nullptr, &size), kRegOk);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(type, kRegBinary);
}

TEST_F(RegistryContract, TypesAreReportedAsStoredAndNamesIgnoreCase) {
    Set(u"Dword", kRegDword, {8, 0, 0, 0});
    Set(u"Text", kRegSz, {'a', 0, 'b', 0, 0, 0});
    std::array<std::uint8_t, 16> buf;
    std::uint32_t type = 0, size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"DWORD", &type, buf.data(), &size), kRegOk);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(size, 4u);
    size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"text", &type, buf.data(), &size), kRegOk);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 6u);
}

TEST_F(RegistryContract, RewriteReplacesTypeAndSizeAndEmptyValueReadsAsZeroBytes) {
    Set(u"V", kRegBinary, Counting(16));
    Set(u"V", kRegDword, {1, 2, 3, 4});
    std::array<std::uint8_t, 16> buf;
    std::uint32_t type = 0, size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"V", &type, buf.data(), &size), kRegOk);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(size, 4u);
    Set(u"Empty", kRegBinary, {});
    size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"Empty", &type, buf.data(), &size), kRegOk);
    EXPECT_EQ(size, 0u);
}

TEST_F(RegistryContract, ValuesSurviveReopening) {
    Set(u"Kept", kRegBinary, Counting(3));
    ASSERT_EQ(reg.CloseKey(key), kRegOk);
    ASSERT_EQ(reg.OpenKey(kScratchKeyPath, key), kRegOk);
    std::array<std::uint8_t, 3> buf{};
    std::uint32_t size = buf.size();
    EXPECT_EQ(reg.QueryValue(key, u"Kept", nullptr, buf.data(), &size), kRegOk);
    EXPECT_EQ(std::vector<std::uint8_t>(buf.begin(), buf.end()), Counting(3));
    EXPECT_EQ(ValueCountUnder(kScratchKeyPath), 1u);
}

}  // namespace
