// Turning the stored key assignments into entries of the working key table.
#pragma once

#include "keyboard/KeyboardChannel.h"
#include "keyconfig/CombinationCache.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/SettingRecords.h"

#include <cstdint>

// What the translation needs from the task window's platform side.
class ITranslationHost {
public:
    virtual ~ITranslationHost() = default;

    // Runs the modal combination-key warning dialog; returns when it is closed.
    virtual void ShowCombinationWarning() = 0;

    // Posts WM_ASSIGNMENT_RESET (own handle, vk) to the configuration window.
    virtual void PostAssignmentReset(std::uint8_t vk) = 0;
};

// The task window's state the translation works on.
struct KeyConfigState {
    DeviceKeyTable& workTable;
    const DeviceKeyTable& factoryTable;
    const UsageSlotMap& usageSlotMap;
    CombinationCache& combCache;
    SettingBuffers& settings;
    IKeyboardChannel& driver;
};

// The key-table slot a record for virtual key `vk` configures; -1 when the map has none.
std::int32_t SelectSlot(const UsageSlotMap& map, std::uint8_t vk);

// Visits the 108 assignments in order, writing one entry each and sending the macros and
// combinations they refer to. A combination that finds no free device slot warns the user,
// resets its record and ends the translation early.
void TranslateAssignments(const KeyConfigState& state, ITranslationHost& host);
