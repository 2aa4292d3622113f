#include "CodePageSamples.h"

#include <set>

#include "xml/CharsetTable.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned value, int digits) {
    for (int d = digits - 1; d >= 0; --d) out += kHex[(value >> (4 * d)) & 0xF];
}

bool ReadHex(std::string_view text, int digits, std::vector<unsigned>& out) {
    if (text.size() % digits) return false;
    for (std::size_t i = 0; i < text.size(); i += digits) {
        unsigned v = 0;
        for (int d = 0; d < digits; ++d) {
            char c = text[i + d];
            int n = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (n < 0) return false;
            v = v * 16 + static_cast<unsigned>(n);
        }
        out.push_back(v);
    }
    return true;
}

}  // namespace

std::string FormatSample(const CodePageSample& s) {
    std::string line = std::to_string(s.codePage) + "\t";
    for (std::uint8_t b : s.bytes) AppendHex(line, b, 2);
    line += "\t";
    for (char16_t c : s.text) AppendHex(line, c, 4);
    return line;
}

bool ParseSample(std::string_view line, CodePageSample& s) {
    std::size_t t1 = line.find('\t');
    std::size_t t2 = line.find('\t', t1 + 1);
    if (t1 == std::string_view::npos || t2 == std::string_view::npos) return false;
    s.codePage = static_cast<std::uint32_t>(std::stoul(std::string(line.substr(0, t1))));
    std::vector<unsigned> bytes, units;
    if (!ReadHex(line.substr(t1 + 1, t2 - t1 - 1), 2, bytes) || !ReadHex(line.substr(t2 + 1), 4, units)) return false;
    s.bytes.assign(bytes.begin(), bytes.end());
    s.text.assign(units.begin(), units.end());
    return true;
}

std::vector<std::vector<std::uint8_t>> SampleBytes() {
    std::vector<std::vector<std::uint8_t>> samples;
    for (unsigned b = 1; b < 256; ++b) samples.push_back({static_cast<std::uint8_t>(b)});
    for (std::uint8_t lead : {0x81, 0x88, 0x8E, 0x8F, 0xA1, 0xA4, 0xB0, 0xC8, 0xE0, 0xF0, 0xFE})
        for (std::uint8_t trail : {0x40, 0x5C, 0x7E, 0x80, 0xA1, 0xE5, 0xFE}) samples.push_back({lead, trail});
    // Shift sequences: ISO-2022 escapes, EBCDIC shift-out/shift-in, UTF-7 and UTF-8.
    samples.push_back({0x1B, '$', 'B', 0x24, 0x22, 0x30, 0x21, 0x1B, '(', 'B', 'a'});
    samples.push_back({0x1B, '$', ')', 'C', 0x0E, 0x30, 0x21, 0x0F, 'a'});
    samples.push_back({0x0E, 0x44, 0x5A, 0x45, 0x41, 0x0F, 0xC1});
    samples.push_back({'+', 'A', 'G', 'E', 'A', 'Y', 'g', 'B', 'j', '-', 'x'});
    samples.push_back({0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80, 0xC3});
    samples.push_back({'<', 'r', '>', 'x', '<', '/', 'r', '>'});
    return samples;
}

std::vector<std::uint32_t> TableCodePages() {
    std::set<std::uint32_t> pages;
    for (const NamedValue& e : CharsetNames()) pages.insert(e.value);
    return {pages.begin(), pages.end()};
}
