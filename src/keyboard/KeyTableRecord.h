// The layout of the keyboard's 608-byte key table. Needs nothing beyond <array> and
// <cstdint> so that the virtual keyboard's kernel driver can share it.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kSlotCount = 152;
inline constexpr int kMarkSlot = 147;

// Entry kinds (byte 0 of a KeyEntry).
enum : std::uint8_t {
    KindKey = 0x00,
    KindMouse = 0x02,
    KindConsumer = 0x04,
    KindDevice7 = 0x07,
    KindDevice13 = 0x0D,
    KindCombination = 0x23,
    KindMacro = 0x53,
    KindMark = 0x70,
};

// One slot of the table. Multi-byte values inside an entry are big-endian.
struct KeyEntry {
    std::array<std::uint8_t, 4> b{};

    friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};
static_assert(sizeof(KeyEntry) == 4);

// The table mark that slot 147 holds.
inline constexpr KeyEntry kTableMark{{KindMark, 0xFF, 0, 0}};

struct DeviceKeyTable {
    std::array<KeyEntry, kSlotCount> slots{};

    std::uint8_t* Bytes() { return slots[0].b.data(); }
    const std::uint8_t* Bytes() const { return slots[0].b.data(); }
    friend bool operator==(const DeviceKeyTable&, const DeviceKeyTable&) = default;
};
static_assert(sizeof(DeviceKeyTable) == 608);
