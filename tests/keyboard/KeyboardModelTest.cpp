// What the model does beyond the keyboard's contract: the caller's side of buffered I/O, and
// the state a simulation starts from.
#include "keyboard/KeyboardModel.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using keyboard::CKeyboardModel;

TEST(KeyboardModel, TheCallersOutputIsWrittenOnlyOnSuccessAndMayBeItsInput) {
    CKeyboardModel model;
    std::array<std::uint8_t, 9> request{3, 1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(model.Control(IOCTL_WRITE_COMBINATION, request.data(), 9, nullptr, 0));

    std::array<std::uint8_t, 9> io{3, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
    ASSERT_TRUE(model.Control(IOCTL_READ_COMBINATION, io.data(), 9, io.data(), 9));
    EXPECT_EQ(io, (std::array<std::uint8_t, 9>{1, 2, 3, 4, 5, 6, 7, 8, 0}));

    io = {9, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
    EXPECT_FALSE(model.Control(IOCTL_READ_COMBINATION, io.data(), 9, io.data(), 9));
    EXPECT_EQ(io, (std::array<std::uint8_t, 9>{9, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5, 0xA5}));

    model.FailRequests(IOCTL_READ_KEY_TABLE, 0, 1);
    DeviceKeyTable table{};
    EXPECT_FALSE(model.Control(IOCTL_READ_KEY_TABLE, nullptr, 0, table.Bytes(), sizeof table));
    EXPECT_EQ(table, DeviceKeyTable{});
    EXPECT_EQ(model.Inspect().logCount, 4u);
}

// A size without its buffer never reaches the keyboard, as the platform refuses such a call.
TEST(KeyboardModel, AMissingBufferIsRefusedBeforeTheKeyboard) {
    CKeyboardModel model;
    DeviceKeyTable table{};
    EXPECT_FALSE(model.Control(IOCTL_WRITE_KEY_TABLE, nullptr, sizeof table, nullptr, 0));
    EXPECT_FALSE(model.Control(IOCTL_READ_KEY_TABLE, nullptr, 0, nullptr, sizeof table));
    EXPECT_EQ(model.Inspect().logCount, 0u);
    EXPECT_EQ(model.Inspect().table, kFactoryKeyTable);
}

TEST(KeyboardModel, ASimulationStartsFromTheStateItHolds) {
    CKeyboardModel model;
    EXPECT_EQ(model.Inspect().size, sizeof(keyboard::State));
    DeviceKeyTable table{};
    table.slots[4] = {{KindCombination, 0, 2, 8}};
    model.HoldTable(table);
    const std::uint8_t keys[kCombinationKeySize] = {0, 0xE0, 0, 0x04, 0, 0, 0, 0};
    model.HoldCombination(2, keys);
    model.HoldCombination(9, keys);  // no such slot

    std::array<std::uint8_t, 9> io{2};
    ASSERT_TRUE(model.Control(IOCTL_READ_COMBINATION, io.data(), 9, io.data(), 9));
    EXPECT_EQ(io, (std::array<std::uint8_t, 9>{0, 0xE0, 0, 0x04, 0, 0, 0, 0, 0}));
    DeviceKeyTable back{};
    ASSERT_TRUE(model.Control(IOCTL_READ_KEY_TABLE, nullptr, 0, back.Bytes(), sizeof back));
    EXPECT_EQ(back, table);
    // Holding is no request: nothing counted, nothing logged.
    EXPECT_EQ(model.Inspect().logCount, 2u);
    EXPECT_EQ(model.Inspect().counters[keyboard::kWriteCombination].accepted, 0u);
}

}  // namespace
