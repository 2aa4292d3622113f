// The virtual keyboard's state as text for people or as JSON for scripts.
#pragma once

#include "OxkbdProtocol.h"

#include <cstdio>
#include <string>

void PrintKeyTable(std::FILE* out, const DeviceKeyTable& table, bool json);
void PrintState(std::FILE* out, const oxkbd::State& state, bool json);

// "WRITE_KEY_TABLE" for a control code of the keyboard, "" for any other.
const char* RequestName(std::uint32_t code);

// "01 A2 FF": bytes in upper-case hex, separated by spaces.
std::string Hex(const std::uint8_t* bytes, std::size_t count);
bool AllZero(const std::uint8_t* bytes, std::size_t count);
