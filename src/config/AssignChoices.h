// What the assignment dialog offers for a key, kind by kind: only functions the keyboard
// knows, taken from the profile library's tables (KeyNames.h) and the profile's macro list,
// each with the text the keyboard view shows for it.
#pragma once

#include "Profile.h"
#include "config/ConfigTexts.h"
#include "config/FunctionKind.h"
#include "config/KeyFunctionText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The kinds a key can be given, in the order the dialog lists them.
inline constexpr FunctionKind kAssignKinds[] = {
    FunctionKind::Factory,  FunctionKind::Remap, FunctionKind::Media,       FunctionKind::Mouse,
    FunctionKind::Shortcut, FunctionKind::Macro, FunctionKind::Combination,
};

// The kind's name as the dialog lists it.
std::u16string KindLabel(FunctionKind kind, const ConfigTexts& texts);

struct FunctionChoice {
    KeyFunction function;
    std::u16string text;
};

// Factory: the one factory function. Remap: every key the agent can produce. Media: the 18
// consumer functions. Mouse: codes 1 to 16. Shortcut: the five system and nine edit shortcuts.
// Macro: every macro of the list by name, those past the first eleven marked as not reaching
// the keyboard. Combination: nothing (its keys are picked one by one, KeyChoices).
std::vector<FunctionChoice> FunctionChoices(FunctionKind kind, const Profile& profile, const ConfigTexts& texts,
                                            const IKeyFunctionText& functions);

// The keys a remap produces or a combination holds: the profile library's key names.
struct KeyChoice {
    std::uint8_t vk;
    std::u16string text;
};
std::vector<KeyChoice> KeyChoices();

// The position of `function` among `choices`, if it is one of them.
std::optional<std::size_t> ChoiceOf(const std::vector<FunctionChoice>& choices, const KeyFunction& function);
