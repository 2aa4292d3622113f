// The four stored values as they are found: a value of another type or size than the agent
// writes is named, with what the program shows for it, before the user edits on top of it.
#pragma once

#include "config/ConfigTexts.h"
#include "keyconfig/Registry.h"
#include "keyconfig/SettingsStore.h"

#include <string>
#include <string_view>
#include <vector>

// One message per value that is not binary or not of its size; none when the key is missing
// (the agent has stored nothing yet) or every value is as the agent writes it.
std::vector<std::u16string> StoredValueProblems(IRegistry& registry, const ConfigTexts& texts,
                                                std::u16string_view keyPath = kSettingsKeyPath);
