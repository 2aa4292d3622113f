#include "xml/XmlNode.h"

#include <array>

#include "xml/UnitSearch.h"

namespace {

// Character classes of the ASCII range; every unit from U+0080 up may start and
// continue a name and ends nothing. The names of tags and attributes end at a few
// units only, which are searched for directly.
enum : std::uint8_t {
    ccNameStart = 1,     // may follow "<" in a start tag
    ccMatchNameEnd = 2,  // ends a name used for matching
};

constexpr std::array<std::uint8_t, 128> MakeCharClasses() {
    std::array<std::uint8_t, 128> t{};
    for (char16_t c : std::u16string_view(u" \t\n\r<>=\\/?!\"';")) t[c] |= ccMatchNameEnd;
    t[u':'] |= ccNameStart;
    t[u'_'] |= ccNameStart;
    for (char16_t c = u'A'; c <= u'Z'; ++c) t[c] |= ccNameStart;
    for (char16_t c = u'a'; c < 128; ++c) t[c] |= ccNameStart;
    return t;
}

constexpr std::array<std::uint8_t, 128> kCharClass = MakeCharClasses();

bool Is(char16_t c, std::uint8_t cls) { return c < 128 ? (kCharClass[c] & cls) != 0 : (cls & ccNameStart) != 0; }

std::size_t SkipUntil(std::u16string_view text, std::size_t pos, std::uint8_t cls) {
    while (pos < text.size() && !Is(text[pos], cls)) ++pos;
    return pos;
}

std::size_t AttributeNameEnd(std::u16string_view tag, std::size_t nameBegin) {
    return FindUnit(tag, nameBegin, u' ', u'\t', u'\n', u'\r', u'/', u'>', u'=', u'?');
}

XmlNode Unterminated(std::u16string_view text, std::size_t start, const char16_t* kind) {
    XmlNode n;
    n.kind = NodeKind::Error;
    n.error = NodeError::Unterminated;
    n.start = start;
    n.end = text.size();
    n.unterminatedKind = kind;
    return n;
}

// A node with a markup error reaches through the next ">".
XmlNode Incorrect(std::u16string_view text, std::size_t start, NodeError error) {
    XmlNode n;
    n.kind = NodeKind::Error;
    n.error = error;
    n.start = start;
    std::size_t gt = FindUnit(text, start, u'>');
    n.end = gt == text.size() ? gt : gt + 1;
    return n;
}

XmlNode Delimited(std::u16string_view text, std::size_t start, std::size_t from, std::u16string_view close,
                  NodeKind kind, const char16_t* unterminatedKind) {
    std::size_t at = from <= text.size() ? text.find(close, from) : std::u16string_view::npos;
    if (at == std::u16string_view::npos) return Unterminated(text, start, unterminatedKind);
    XmlNode n;
    n.kind = kind;
    n.start = start;
    n.end = at + close.size();
    return n;
}

// A declaration ends at ">" outside quotes; a DOCTYPE also skips the ">" of markup
// nested inside it.
XmlNode Declaration(std::u16string_view text, std::size_t start, bool nested) {
    char16_t quote = 0;
    int depth = 0;
    for (std::size_t i = start + 2; i < text.size(); ++i) {
        char16_t c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'<' && nested) {
            ++depth;
        } else if (c == u'>') {
            if (depth == 0) {
                XmlNode n;
                n.kind = NodeKind::Doctype;
                n.start = start;
                n.end = i + 1;
                return n;
            }
            --depth;
        }
    }
    return Unterminated(text, start, u"Doctype");
}

XmlNode Bang(std::u16string_view text, std::size_t start) {
    std::size_t i = start + 2;
    if (i >= text.size()) return Unterminated(text, start, u"tag");
    switch (text[i]) {
    case u'-':
        if (i + 1 >= text.size()) return Unterminated(text, start, u"tag");
        if (text[i + 1] != u'-') return Incorrect(text, start, NodeError::CommentTag);
        return Delimited(text, start, start + 4, u"-->", NodeKind::Comment, u"Comment");
    case u'[':
        if (i + 1 >= text.size()) return Unterminated(text, start, u"tag");
        if (text[i + 1] != u'C') return Incorrect(text, start, NodeError::Tag);
        return Delimited(text, start, start + 4, u"]]>", NodeKind::CData, u"CDATA Section");
    case u'D': return Declaration(text, start, true);
    case u'E':
    case u'A':
    case u'N': return Declaration(text, start, false);
    default: return Incorrect(text, start, NodeError::BangTag);
    }
}

XmlNode StartTag(std::u16string_view text, std::size_t start) {
    const std::size_t nameEnd = TagNameEnd(text, start + 1);
    std::size_t closingQuote = std::u16string_view::npos;
    // Quoted values may hold ">": from quote to quote, then on to the next quote or ">".
    for (std::size_t i = FindUnit(text, nameEnd, u'"', u'\'', u'>'); i < text.size();
         i = FindUnit(text, i + 1, u'"', u'\'', u'>')) {
        if (text[i] != u'>') {
            i = FindUnit(text, i + 1, text[i]);
            if (i == text.size()) break;
            closingQuote = i;
            continue;
        }
        XmlNode n;
        n.kind = NodeKind::StartTag;
        n.start = start;
        n.end = i + 1;
        n.nameEnd = nameEnd;
        // "/>" closes the element only after the name, white space or a quoted
        // value; after an unquoted value the "/" belongs to the value.
        if (text[i - 1] == u'/') {
            std::size_t slash = i - 1;
            if (slash == nameEnd || IsXmlSpace(text[slash - 1]) || slash - 1 == closingQuote)
                n.kind = NodeKind::EmptyTag;
        }
        return n;
    }
    return Unterminated(text, start, u"Element tag");
}

}  // namespace

std::size_t TagNameEnd(std::u16string_view text, std::size_t nameBegin) {
    return FindUnit(text, nameBegin, u' ', u'\t', u'\n', u'\r', u'/', u'>');
}

XmlNode ScanNode(std::u16string_view text, std::size_t pos) {
    XmlNode n;
    n.start = n.end = pos;
    if (pos >= text.size()) return n;
    if (text[pos] != u'<') {
        std::size_t i = pos;
        while (i < text.size() && IsXmlSpace(text[i])) ++i;
        n.kind = i == text.size() || text[i] == u'<' ? NodeKind::Whitespace : NodeKind::Text;
        n.end = FindUnit(text, i, u'<');
        return n;
    }
    if (pos + 1 >= text.size()) return Unterminated(text, pos, u"tag");
    char16_t c = text[pos + 1];
    if (c == u'/') {
        std::size_t nameEnd = TagNameEnd(text, pos + 2);
        std::size_t gt = FindUnit(text, nameEnd, u'>');
        if (gt == text.size()) return Unterminated(text, pos, u"Element end tag");
        n.kind = NodeKind::EndTag;
        n.end = gt + 1;
        n.nameEnd = nameEnd;
        return n;
    }
    if (c == u'?')
        return Delimited(text, pos, pos + 2, u"?>", NodeKind::ProcessingInstruction, u"Processing instruction");
    if (c == u'!') return Bang(text, pos);
    if (Is(c, ccNameStart)) return StartTag(text, pos);
    return Incorrect(text, pos, NodeError::TagNameCharacter);
}

std::u16string_view ElementNameAt(std::u16string_view text, std::size_t pos) {
    std::size_t begin = pos + 1 < text.size() ? pos + 1 : text.size();
    return text.substr(begin, SkipUntil(text, begin, ccMatchNameEnd) - begin);
}

bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool NextAttribute(std::u16string_view tag, std::size_t& pos, XmlAttribute& attribute) {
    std::size_t i = pos;
    const std::size_t n = tag.size();
    while (true) {
        while (i < n && IsXmlSpace(tag[i])) ++i;
        if (i >= n || tag[i] == u'/' || tag[i] == u'>' || tag[i] == u'?') {
            pos = i;
            return false;
        }
        std::size_t nameBegin = i;
        i = AttributeNameEnd(tag, i);
        if (i == nameBegin) {
            ++i;  // a stray "="
            continue;
        }
        attribute.name = tag.substr(nameBegin, i - nameBegin);
        attribute.value = attribute.name;
        std::size_t j = i;
        while (j < n && IsXmlSpace(tag[j])) ++j;
        if (j < n && tag[j] == u'=') {
            ++j;
            while (j < n && IsXmlSpace(tag[j])) ++j;
            if (j < n && (tag[j] == u'"' || tag[j] == u'\'')) {
                std::size_t close = FindUnit(tag, j + 1, tag[j]);
                attribute.value = tag.substr(j + 1, close - j - 1);
                i = close < n ? close + 1 : n;
            } else {
                std::size_t valueBegin = j;
                while (j < n && !IsXmlSpace(tag[j]) && tag[j] != u'>') ++j;
                attribute.value = tag.substr(valueBegin, j - valueBegin);
                i = j;
            }
        }
        pos = i;
        return true;
    }
}

std::optional<std::u16string_view> FindAttribute(std::u16string_view tag, std::size_t afterName,
                                                 std::u16string_view name, bool ignoreCase) {
    XmlAttribute attribute;
    for (std::size_t pos = afterName; NextAttribute(tag, pos, attribute);)
        if (NamesEqual(attribute.name, name, ignoreCase)) return attribute.value;
    return std::nullopt;
}
