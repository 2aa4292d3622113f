// Integer conversion to and from text: parsing with the rules of strtol and the range
// of a 32-bit long (the width of long on Windows), and decimal formatting.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>

// Skips leading white space, takes an optional sign and (base 16) an optional 0x or
// 0X prefix, then the digits of the base; no digit gives 0, a value outside the
// signed 32-bit range is clamped to the nearer limit.
std::int32_t ParseLong(std::u16string_view text, int base);

// The decimal digits of `n`, for status texts and messages.
std::u16string DecimalText(std::size_t n);
