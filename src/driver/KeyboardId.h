// Recognising the keyboard by its hardware identifier inside a device-interface path.
#pragma once

#include <string_view>

inline constexpr char16_t KEYBOARD_ID_PATTERN[] = u"VID_04D9&PID_A059";

// Whether `path` contains KEYBOARD_ID_PATTERN, ignoring the letter case.
bool ContainsKeyboardId(std::u16string_view path);
