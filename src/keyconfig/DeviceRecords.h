// The keyboard's own macro and combination records: conversion from the stored records,
// the combination-slot cache, and clearing them for the factory restore.
#pragma once

#include "keyboard/KeyboardChannel.h"
#include "keyconfig/CombinationCache.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/SettingRecords.h"

#include <cstdint>

// A device macro holds at most this many events; each delay at most this many units.
inline constexpr int kDeviceMacroEvents = 95;
inline constexpr std::uint8_t kMaxDelayUnits = 127;
inline constexpr std::uint32_t kDelayUnitMs = 50;

// The 192 content bytes of a device macro (everything but its number).
MacroContent MacroContentFromRecord(const MacroRecord& record);

// Sends stored macro `index` (0 to 99) as device macro index + 1; numbers above 11 are not sent.
void DownloadMacro(IKeyboardChannel& driver, const MacroSetting& macros, std::int32_t index);

CombinationKeys CombinationKeysFromRecord(const CombinationRecord& record);

struct CombinationSlot {
    std::int32_t slot;  // 1 to 8, or -1 when every slot holds another combination
    bool found;         // the keys were already held, so nothing needs sending
};

// Finds `keys` in the cache or takes the lowest free entry; every free device slot is cleared
// on the way. The caller sends the keys when they were not found.
CombinationSlot AllocateCombinationSlot(IKeyboardChannel& driver, CombinationCache& cache, const CombinationKeys& keys);

// Refills the cache entries that the table's combination references name, from the device (a
// failed read holds its entry with kUnreadCombination), and empties the others.
void ReadBackCombinations(IKeyboardChannel& driver, const DeviceKeyTable& workTable, CombinationCache& cache);

void ClearAllCombinations(IKeyboardChannel& driver, CombinationCache& cache);
void ClearAllMacros(IKeyboardChannel& driver);

// Factory table to the device (when open), then every combination and macro cleared.
void RestoreFactoryState(IKeyboardChannel& driver, const DeviceKeyTable& factoryTable, CombinationCache& cache);
