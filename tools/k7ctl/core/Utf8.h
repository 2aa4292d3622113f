// UTF-8 for the profile side, UTF-16 for the layout file's names and the Windows APIs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

void AppendUtf8(std::string& out, std::uint32_t codePoint);
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);  // malformed bytes become U+FFFD
