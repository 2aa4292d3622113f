// The lines of the details panel for one key: its name, its virtual-key code and what the
// stored settings assign to it.
#pragma once

#include "config/ConfigTexts.h"
#include "config/KeyFunctionText.h"
#include "config/StoredKeys.h"
#include "xml/ButtonPosTable.h"

#include <string>

// "0x1B"
std::u16string HexCode(unsigned value, int digits);

// Lines separated by "\r\n", e.g. "Key: Esc", "Virtual-key code: 0x1B", "Stored assignment:
// Media function (type 5, parameter 3)".
std::u16string KeyDetailsText(const ButtonPosRecord& key, const StoredKeys& stored, const ConfigTexts& texts,
                              const IKeyFunctionText& functions);

// The kind's name; for the factory function the factory text.
std::u16string KindName(const KeyAssignment& assignment, const ConfigTexts& texts);
