// The keyboard's 608-byte key table, its factory content and the two key-code lookups.
#pragma once

#include "keyboard/KeyTableRecord.h"

#include <array>
#include <cstdint>
#include <map>

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
