// The readable names a profile uses for keys, media functions, shortcuts and mouse buttons.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct NamedCode {
    std::string_view name;
    std::int32_t code;
};

// Virtual-key names for remaps, macro events and combinations; only codes the agent can
// turn into a HID usage are listed.
std::span<const NamedCode> VirtualKeyNames();
// Index into the consumer-function table (assignment types 5 and 7).
std::span<const NamedCode> MediaNames();
// Code = type * 100 + parameter: types 2 (system) and 6 (edit).
std::span<const NamedCode> ShortcutNames();
// Mouse-button codes 1 to 16.
std::span<const NamedCode> MouseNames();

// -1 when the name is not in the table; the match is exact.
std::int32_t CodeForName(std::span<const NamedCode> table, std::string_view name);
// Empty when the code is not in the table.
std::string_view NameForCode(std::span<const NamedCode> table, std::int32_t code);

inline constexpr std::int32_t ShortcutCode(std::int32_t type, std::int32_t parameter) { return type * 100 + parameter; }
