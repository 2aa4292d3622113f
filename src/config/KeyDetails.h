// The lines of the details panel for one key: its name, its virtual-key code and what the
// profile being edited assigns to it; and what keeps the stored key settings from being read.
#pragma once

#include "Profile.h"
#include "config/ConfigTexts.h"
#include "config/KeyFunctionText.h"
#include "config/StoredKeys.h"
#include "xml/ButtonPosTable.h"

#include <cstddef>
#include <string>

// "0x1B"
std::u16string HexCode(unsigned value, int digits);

// Lines separated by "\r\n", e.g. "Key: Esc", "Virtual-key code: 0x1B", "Assignment: Previous
// track (5, 3)": the function's text, then type and parameter as they are stored.
std::u16string KeyDetailsText(const ButtonPosRecord& key, const Profile& profile, std::size_t record,
                              const ConfigTexts& texts, const IKeyFunctionText& functions);

// Why the stored key settings could not be shown as they are (nothing stored, not binary, of
// the wrong size, unreadable; the type, size or error in brackets), or nothing when they could.
std::u16string StoredProblem(const StoredKeys& stored, const ConfigTexts& texts);

// The kind's name; for the factory function the factory text.
std::u16string KindName(std::int32_t type, const ConfigTexts& texts);
