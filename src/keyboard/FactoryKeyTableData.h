// The factory content of the key table as constants. Shared by the agent and the
// virtual keyboard's kernel driver; needs nothing beyond the record header.
#pragma once

#include "keyboard/KeyTableRecord.h"

namespace factory_detail {

constexpr KeyEntry K(std::uint8_t usage) { return {{KindKey, usage, 0, 0}}; }
// The table keeps its rows.
// clang-format off
constexpr KeyEntry C(std::uint16_t usage) {
    return {{KindConsumer, 0, static_cast<std::uint8_t>(usage >> 8), static_cast<std::uint8_t>(usage & 0xFF)}};
}
constexpr KeyEntry M(std::uint8_t number) { return {{KindMacro, 0, number, 0xC0}}; }
constexpr KeyEntry D7(std::uint8_t v) { return {{KindDevice7, v, 0, 0}}; }
constexpr KeyEntry D13(std::uint8_t v) { return {{KindDevice13, v, 0, 0}}; }
constexpr KeyEntry kNone{};

constexpr DeviceKeyTable Make() {
    const KeyEntry entries[kSlotCount] = {
        // 0-7
        K(0x48), D7(1), kNone, D7(2), K(0xE4), D7(4), K(0xE0), K(0x3E),
        // 8-15
        K(0x14), K(0x2B), K(0x04), K(0x29), K(0x1D), K(0x8B), K(0x35), K(0x1E),
        // 16-23
        K(0x1A), K(0x39), K(0x16), K(0x64), K(0x1B), K(0x8A), K(0x3A), K(0x1F),
        // 24-31
        K(0x08), K(0x3C), K(0x07), K(0x3D), K(0x06), K(0x88), K(0x3B), K(0x20),
        // 32-39
        K(0x15), K(0x17), K(0x09), K(0x0A), K(0x19), K(0x05), K(0x22), K(0x21),
        // 40-47
        K(0x18), K(0x1C), K(0x0D), K(0x0B), K(0x10), K(0x11), K(0x23), K(0x24),
        // 48-55
        K(0x0C), K(0x30), K(0x0E), K(0x3F), K(0x36), K(0x87), K(0x2E), K(0x25),
        // 56-63
        K(0x12), K(0x40), K(0x0F), M(0), K(0x37), K(0x65), K(0x41), K(0x26),
        // 64-71
        K(0x13), K(0x2F), K(0x33), K(0x34), K(0x32), K(0x38), K(0x2D), K(0x27),
        // 72-79
        K(0x47), M(1), kNone, K(0xE2), M(2), K(0xE6), M(3), K(0x46),
        // 80-87
        K(0x89), K(0x2A), K(0x31), K(0x44), K(0x28), K(0x45), K(0x42), K(0x43),
        // 88-95
        K(0x5F), K(0x5C), K(0x59), K(0x2C), K(0x53), K(0x51), K(0x4C), M(4),
        // 96-103
        K(0x60), K(0x5D), K(0x5A), K(0x62), K(0x54), K(0x4F), K(0x49), M(5),
        // 104-111
        K(0x61), K(0x5E), K(0x5B), K(0x63), K(0x55), K(0x56), K(0x4B), K(0x4E),
        // 112-119
        K(0x57), K(0x85), K(0x58), K(0x52), C(0x00CD), K(0x50), K(0x4A), K(0x4D),
        // 120-127
        M(6), K(0xE1), K(0xE5), C(0x00EA), C(0x00E9), C(0x00B5), C(0x00B6), C(0x0183),
        // 128-135
        C(0x018A), K(0xE3), C(0x0225), C(0x0226), C(0x0224), C(0x0227), C(0x00E2), C(0x0221),
        // 136-143
        K(0x91), C(0x022A), K(0xE7), C(0x0194), C(0x00B7), C(0x0192), C(0x0223), K(0x90),
        // 144-151
        M(7), M(8), M(9), kTableMark, D13(2), D13(3), D13(0), D13(1),
    };
    // clang-format on
    DeviceKeyTable t{};
    for (int i = 0; i < kSlotCount; ++i) t.slots[i] = entries[i];
    return t;
}

}  // namespace factory_detail

inline constexpr DeviceKeyTable kFactoryKeyTable = factory_detail::Make();
