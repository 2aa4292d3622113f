// The node rules of the reader: one scan step over UTF-16 markup, the character
// classes behind it, element and attribute names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

enum class NodeKind : std::uint8_t {
    End,  // no node: the end of the text
    Text,
    Whitespace,
    StartTag,
    EmptyTag,
    EndTag,
    ProcessingInstruction,
    Comment,
    CData,
    Doctype,  // a DOCTYPE or another declaration
    Error,
};

enum class NodeError : std::uint8_t {
    None,
    TagNameCharacter,  // "<" followed by a character that starts nothing
    BangTag,           // "<!" followed by an unknown letter
    CommentTag,        // "<!-" not followed by "-"
    Tag,               // "<![" not followed by "C"
    Unterminated,      // the text ends inside the node
};

struct XmlNode {
    NodeKind kind = NodeKind::End;
    NodeError error = NodeError::None;
    std::size_t start = 0;                       // offset of the first character ("<" for markup)
    std::size_t end = 0;                         // offset after the last character
    std::size_t nameEnd = 0;                     // tags: offset after the name
    const char16_t* unterminatedKind = nullptr;  // for NodeError::Unterminated
};

// Scans the node that starts at `pos`; the node never reaches past text.size().
XmlNode ScanNode(std::u16string_view text, std::size_t pos);

// Space, tab, line feed or carriage return.
inline bool IsXmlSpace(char16_t c) {
    return c <= u' ' && ((1ull << c) & (1ull << u' ' | 1ull << u'\t' | 1ull << u'\n' | 1ull << u'\r')) != 0;
}

// Offset after the name of a start or end tag whose name begins at `nameBegin`.
std::size_t TagNameEnd(std::u16string_view text, std::size_t nameBegin);

// Name of the element whose "<" is at `pos`, as used for matching by name.
std::u16string_view ElementNameAt(std::u16string_view text, std::size_t pos);

// Equal length and equal characters; with ignoreCase, A-Z equal a-z.
// Inline: the reader compares names all the time, and most differ in length.
bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b);  // of equal length
inline bool NamesEqual(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
    if (a.size() != b.size()) return false;
    if (ignoreCase) return NamesEqualIgnoringCase(a, b);
    // Not a == b: char_traits<char16_t> orders the units, twice per unit, and a call
    // of memcmp costs more than the short names it would compare.
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

struct XmlAttribute {
    std::u16string_view name;
    std::u16string_view value;  // as written: references not decoded
};

// Reads the attribute of a tag (the text from its "<" through its end) at or after
// `pos` and moves `pos` past it. An attribute without "=" has its own name as value.
// False at the end of the attributes: "/", ">" or "?" outside a value, or the end of
// the tag; `pos` then stays there.
bool NextAttribute(std::u16string_view tag, std::size_t& pos, XmlAttribute& attribute);

// The raw value of the first attribute called `name` in a tag, searched from
// `afterName`.
std::optional<std::u16string_view> FindAttribute(std::u16string_view tag, std::size_t afterName,
                                                 std::u16string_view name, bool ignoreCase);
