// The byte samples that both code-page converters (iconv natively, the system's under
// Windows) convert, and the text form of their results kept in data/.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct CodePageSample {
    std::uint32_t codePage;
    std::vector<std::uint8_t> bytes;
    std::u16string text;  // the conversion's result
};

// One line: code page, bytes and UTF-16 units in hexadecimal, tab-separated.
std::string FormatSample(const CodePageSample& s);
bool ParseSample(std::string_view line, CodePageSample& s);

// The samples every code page converts: every single byte, lead and trail byte
// pairs, and sequences for the stateful and 7-bit encodings.
std::vector<std::vector<std::uint8_t>> SampleBytes();

// The code pages of the character-set table, each once, in increasing order.
std::vector<std::uint32_t> TableCodePages();

inline constexpr const char* kSamplesFile = "codepage-samples.txt";
inline constexpr const char* kDifferencesFile = "codepage-differences.txt";
