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
    std::size_t start = 0;  // offset of the first character ("<" for markup)
    std::size_t end = 0;    // offset after the last character
    std::size_t nameEnd = 0;  // tags: offset after the name
    const char16_t* unterminatedKind = nullptr;  // for NodeError::Unterminated
};

// Scans the node that starts at `pos`; the node never reaches past text.size().
XmlNode ScanNode(std::u16string_view text, std::size_t pos);

bool IsXmlSpace(char16_t c);

// Offset after the name of a start or end tag whose name begins at `nameBegin`.
std::size_t TagNameEnd(std::u16string_view text, std::size_t nameBegin);

// Name of the element whose "<" is at `pos`, as used for matching by name.
std::u16string_view ElementNameAt(std::u16string_view text, std::size_t pos);

// Equal length and equal characters; with ignoreCase, A-Z equal a-z.
bool NamesEqual(std::u16string_view a, std::u16string_view b, bool ignoreCase);

// The raw value of the first attribute called `name` in a tag (the text from its
// "<" through its end), searched from `afterName`. An attribute without "=" has its
// own name as value. Searching stops at "/", ">" or "?" outside a value.
std::optional<std::u16string_view> FindAttribute(std::u16string_view tag, std::size_t afterName,
                                                 std::u16string_view name, bool ignoreCase);
