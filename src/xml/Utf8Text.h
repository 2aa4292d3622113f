// UTF-8 and UTF-16 for text that crosses into byte strings: file names on POSIX systems,
// readable test output, the profile tool. Never produces ill-formed output: a lone
// surrogate or a number beyond U+10FFFF becomes U+FFFD.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

void AppendUtf8(std::string& out, std::uint32_t codePoint);
std::string Utf8FromUtf16(std::u16string_view text);

// An ill-formed sequence becomes one U+FFFD per maximal subpart, as Windows decodes it.
void AppendUtf16FromUtf8(std::span<const std::uint8_t> bytes, std::u16string& text);
std::u16string Utf16FromUtf8(std::string_view text);
