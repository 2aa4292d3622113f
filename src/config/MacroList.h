// The macro list as the macros window shows it: each macro's row with whether it reaches the
// keyboard, the keys that use a macro (named before a deletion), and the names a new or
// duplicated macro gets. The list itself is the document's; the edits are ProfileEdit.h's.
#pragma once

#include "Profile.h"
#include "config/ConfigTexts.h"
#include "xml/ButtonPosTable.h"

#include <cstddef>
#include <string>
#include <vector>

// Only the first kMaxDeviceMacros macros of the list have a device macro number.
inline constexpr bool ReachesKeyboard(std::size_t macro) { return macro < kMaxDeviceMacros; }

// "3\tburst\ton the keyboard" (tab stops line the columns up).
std::u16string MacroRowText(const Profile& profile, std::size_t macro, const ConfigTexts& texts);

// The layout records whose key plays macro `macro`, in layout order.
std::vector<std::size_t> KeysUsingMacro(const Profile& profile, std::size_t macro);

// The names of those keys, "F1, F2"; empty when no key uses it.
std::u16string KeyNamesUsingMacro(const Profile& profile, const ButtonPosTable& layout, std::size_t macro);

// `base` when no macro has it, else "base 2", "base 3", ...: the first name the list lacks.
std::string FreeMacroName(const Profile& profile, const std::string& base);

// The name of a copy of `name`: its free name after any number of its own ("burst 2" copies as
// "burst 3", not "burst 2 2").
std::string CopyName(const Profile& profile, const std::string& name);

// "Macro numbers left on the keyboard: 4 of 11; stored: 7 of 100".
std::u16string MacroCountText(const Profile& profile, const ConfigTexts& texts);
