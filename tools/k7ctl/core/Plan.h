// What applying a profile would send to a keyboard that holds its factory table, worked out
// by the agent's own translation over a recording device; nothing is written anywhere.
#pragma once

#include "Profile.h"
#include "driver/CUSBDriver.h"
#include "keyconfig/DeviceKeyTable.h"

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

struct ApplyPlan {
    DeviceKeyTable table;                      // the table the keyboard would receive
    std::vector<PlanMacro> macros;             // in the order sent
    std::vector<PlanCombination> combinations; // placements, without the clearing writes
    std::vector<PlanReset> resets;
};

// For each key-table slot, the index of the layout record that configures it, or -1.
std::vector<int> SlotOwners(const ButtonPosTable& layout);

ApplyPlan PlanApply(const Profile& profile, const ButtonPosTable& layout);

// Readable: the slots that differ from the factory table (slot, key, entry bytes, meaning),
// the macros and combinations sent, and any reset.
std::string FormatPlan(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout);
std::string PlanToJson(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout);
