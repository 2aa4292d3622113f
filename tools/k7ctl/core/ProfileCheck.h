// Everything the keyboard cannot hold, found in a profile's data: for the whole profile, or
// again for one key, macro or combination after an edit. The rules are the ones the JSON
// reader reports with a line and column; the combination slots are counted by the agent's own
// placement (Plan.h), for a keyboard in its factory state unless another state is given.
#pragma once

#include "Plan.h"
#include "Profile.h"
#include "keyboard/ControlCodes.h"
#include "keyconfig/DeviceRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The longest delay a device macro event can wait: 127 steps of 50 ms and what rounds down to them.
inline constexpr std::uint32_t kMaxDelayMs = (kMaxDelayUnits + 1u) * kDelayUnitMs - 1u;
static_assert(kMaxDelayMs == 6399);  // the limit docs/profiles.md states

struct Finding {
    enum class Of : std::uint8_t { Profile, Key, Macro, Event, Combination };
    Of of = Of::Profile;
    std::size_t index = 0;  // of the key, macro or combination
    std::size_t event = 0;  // for Of::Event, within macro `index`
    std::string subject;    // "key \"F1\"", "macro \"burst\", event 3", "combination 2", "rate"
    std::string rule;       // "delay 6400 ms; at most 6399 ms"

    friend bool operator==(const Finding&, const Finding&) = default;
};

// Keys first (in layout order), then macros with their events, then combinations, then the
// profile as a whole: the union of the three checks below and of the profile's own rules.
std::vector<Finding> CheckProfile(const Profile& profile, const ButtonPosTable& layout,
                                  const KeyboardState& keyboard = {});

// One key: its function names something the keyboard knows, the macro or combination it uses
// exists and reaches the keyboard, and the agent finds a combination slot for it.
std::vector<Finding> CheckKey(const Profile& profile, const ButtonPosTable& layout, std::size_t key,
                              const KeyboardState& keyboard = {});
// One macro: a name of its own, at most 95 events, each a known key and a delay below 6400 ms.
std::vector<Finding> CheckMacro(const Profile& profile, std::size_t macro);
// One combination: 1 to 4 known keys.
std::vector<Finding> CheckCombination(const Profile& profile, std::size_t combination);

// What the keyboard can still hold. Slots are those the agent's placement leaves free after
// this profile (none when a key is reset for want of one); macro numbers are those no macro of
// the list takes; events are those macro `macro` could still get (0 for a macro not listed).
int FreeCombinationSlots(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& keyboard = {});
int DeviceMacroNumbersLeft(const Profile& profile);
int EventsLeft(const Profile& profile, std::size_t macro);

// What the keyboard holds after the agent applied `applied` to a factory-state keyboard: the
// state to count from when those were the values last applied.
KeyboardState KeyboardAfter(const StoredSettings& applied);

// The rules' texts, for the JSON reader, which reports them where the text says the value.
namespace rule {
std::string MacroCount(std::size_t count);
std::string EventCount(std::size_t count);
std::string Delay(std::uint64_t ms);
std::string MacroNumber(const std::string& name, std::size_t index);
std::string NameTwice();
std::string CombinationShape();
std::string NoCombinationSlot();
std::string Rate();
}  // namespace rule
