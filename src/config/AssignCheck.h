// What the keyboard cannot hold, said before anything is written: for one assignment tried in
// the dialog and, in the main window, the meter of the combination slots. Slots are counted by
// the agent's own placement (ProfileCheck.h) twice: for a keyboard in its factory state, and
// from what the keyboard held after the values last applied.
#pragma once

#include "Plan.h"
#include "Profile.h"
#include "config/ConfigTexts.h"
#include "xml/ButtonPosTable.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

struct SlotMeter {
    int factory = 0;  // slots the profile uses of a keyboard in its factory state
    int applied = 0;  // the same from the values last applied
};

SlotMeter MeasureSlots(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& applied);

// "Combination slots used: 3 of 8 (keyboard in its factory state), 3 of 8 (after the values last
// applied)", and when either is full, that a further combination would be refused.
std::u16string MeterText(const SlotMeter& meter, const ConfigTexts& texts);

// A function of the lists, or a combination of these keys.
using Assignment = std::variant<KeyFunction, ComboKeys>;

struct AssignVerdict {
    // As `k7ctl check` says them ("key \"E\": no combination slot left; ..."), those counted from
    // the values last applied after the program's words for that.
    std::vector<std::u16string> lines;
    // The keyboard in its factory state cannot hold it either: the dialog does not take it.
    bool refused = false;
};

// The profile as it would be with `assignment` on key `record`: what its check finds that the
// profile as it is does not. Nothing changes in `profile`.
AssignVerdict CheckAssignment(const Profile& profile, const ButtonPosTable& layout, std::size_t record,
                              const Assignment& assignment, const KeyboardState& applied, const ConfigTexts& texts);
