// Readable names for key-table entries, for people looking at the virtual keyboard.
#pragma once

#include "keyboard/KeyTableRecord.h"

#include <string>

// "A", "Keypad Enter", ...; empty for a usage without a name here.
const char* KeyboardUsageName(std::uint8_t usage);
const char* ConsumerUsageName(std::uint16_t usage);

// What an entry does, e.g. "key A", "consumer Mute", "macro 3", "unassigned".
std::string DescribeEntry(const KeyEntry& entry);
