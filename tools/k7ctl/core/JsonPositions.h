// Where each value of a JSON text stands, by JSON pointer, so that errors found after parsing
// can name a line and a column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct TextPosition {
    std::uint32_t line = 1;
    std::uint32_t column = 1;  // in characters, not bytes

    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

TextPosition PositionOfOffset(std::string_view text, std::size_t offset);

// "/" + the token with "~" and "/" escaped as RFC 6901 asks.
std::string PointerToken(std::string_view name);

class JsonPositions {
public:
    // Scans `text` iteratively; values nested deeper than kMaxDepth are not indexed (a profile
    // needs five levels), so neither memory nor time grows with the square of the nesting.
    explicit JsonPositions(std::string_view text);

    static constexpr std::size_t kMaxDepth = 8;

    // The member's name for object members, the value itself for array elements; the start of
    // the text for a pointer that was not indexed.
    TextPosition Name(std::string_view pointer) const;
    TextPosition Value(std::string_view pointer) const;

    struct Duplicate {
        std::string pointer;
        TextPosition name;  // of the later occurrence
    };
    // Members whose name their object already had, in document order.
    const std::vector<Duplicate>& Duplicates() const { return m_duplicates; }

private:
    struct Offsets {
        std::size_t name, value;
    };

    std::string_view m_text;
    std::map<std::string, Offsets, std::less<>> m_offsets;
    std::vector<Duplicate> m_duplicates;
};
