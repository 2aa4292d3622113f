// The keyboard's 608-byte key table, its factory content and the two key-code lookups.
#pragma once

#include <array>
#include <cstdint>
#include <map>

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

struct DeviceKeyTable {
    std::array<KeyEntry, kSlotCount> slots{};

    std::uint8_t* Bytes() { return slots[0].b.data(); }
    const std::uint8_t* Bytes() const { return slots[0].b.data(); }
    friend bool operator==(const DeviceKeyTable&, const DeviceKeyTable&) = default;
};
static_assert(sizeof(DeviceKeyTable) == 608);

// HID usage -> lowest factory slot whose byte 1 holds it.
using UsageSlotMap = std::map<std::uint8_t, std::int32_t>;

// The factory table as constants.
const DeviceKeyTable& FactoryKeyTable();

// Stores the factory constants in `table` and inserts every (byte 1 -> slot) pair
// that `map` does not hold yet; the map is not cleared first.
void BuildFactoryTable(DeviceKeyTable& table, UsageSlotMap& map);

// The map's slot for `usage`, or -1.
std::int32_t FindSlotForUsage(const UsageSlotMap& map, std::uint8_t usage);

// HID keyboard usage of a Windows virtual-key code; 0 when the code is not listed.
std::uint8_t UsageForVk(std::uint8_t vk);

// Repairs the table mark in slot 147 when byte 0 is not 0x70 or byte 1 not 0xFF.
// Returns whether the table changed.
bool EnsureTableMark(DeviceKeyTable& table);
