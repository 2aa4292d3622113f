// What applying a profile would send to a keyboard, worked out by the agent's own translation
// over a recording device; nothing is written anywhere.
#pragma once

#include "Profile.h"
#include "StoredEncoding.h"
#include "driver/CUSBDriver.h"
#include "keyconfig/DeviceKeyTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct PlanMacro {
    std::uint8_t number;
    MacroContent content;
};

struct PlanCombination {
    std::uint8_t slot;
    CombinationKeys keys;
};

struct PlanReset {
    std::uint8_t vk;
    bool noCombinationSlot;  // the agent warned that all eight slots were taken
};

// What the keyboard holds before an apply, as far as placing combinations is concerned.
struct KeyboardState {
    DeviceKeyTable table = FactoryKeyTable();
    std::array<CombinationKeys, kMaxCombinationSlot> slots{};  // device slot k + 1
};

struct ApplyPlan {
    DeviceKeyTable table;                       // the table the keyboard would receive
    std::vector<PlanMacro> macros;              // in the order sent
    std::vector<PlanCombination> combinations;  // placements, without the clearing writes
    std::vector<PlanReset> resets;
    std::array<CombinationKeys, kMaxCombinationSlot> slots{};  // what the slots hold afterwards
    int freeSlots = 0;  // combination slots the agent's placement would still find free
};

// For each key-table slot, the index of the layout record that configures it, or -1.
std::vector<int> SlotOwners(const ButtonPosTable& layout);

ApplyPlan PlanApply(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& from = {});
// The same for values as they are stored.
ApplyPlan PlanStoredApply(const StoredSettings& stored, const KeyboardState& from = {});

// What the keyboard holds once `plan` is applied.
KeyboardState StateAfter(const ApplyPlan& plan);

// Readable: the slots that differ from the factory table (slot, key, entry bytes, meaning),
// the macros and combinations sent, and any reset.
std::string FormatPlan(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout);
std::string PlanToJson(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout);
