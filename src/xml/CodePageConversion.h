// Conversion of text in a Windows code page to UTF-16, as MultiByteToWideChar does
// with flags 0. Windows uses the system itself; other platforms use iconv.
#pragma once

#include <cstdint>
#include <span>
#include <string>

inline constexpr std::uint32_t kCodePageDefaultAnsi = 0;
inline constexpr std::uint32_t kCodePageUtf8 = 65001;

// Appends nothing and returns false when the platform cannot convert from that code
// page; code page 0 is the system's default ANSI code page (1252 where there is no
// system setting).
bool ConvertFromCodePage(std::uint32_t codePage, std::span<const std::uint8_t> bytes, std::u16string& out);
