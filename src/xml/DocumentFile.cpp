// Reading a text file into an XmlDocument: byte-order marks, a declared encoding,
// the leading "<", the UTF-8 test, null removal and the conversion to UTF-16. The
// status text records what was detected and done.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "xml/CharsetTable.h"
#include "xml/CodePageConversion.h"
#include "xml/FileBytes.h"
#include "xml/MemoryAdvice.h"
#include "xml/NumberText.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

namespace {

constexpr std::size_t kHeadBytes = 1024;

struct ByteOrderMark {
    std::array<std::uint8_t, 3> bytes;
    std::size_t length;
    const char16_t* encoding;
    unsigned flag;
};

constexpr std::array<ByteOrderMark, 3> kMarks{{
    {{0xEF, 0xBB, 0xBF}, 3, u"UTF-8", XmlDocument::kUtf8BomFile},
    {{0xFF, 0xFE, 0}, 2, u"UTF-16LE", XmlDocument::kUtf16LeFile},
    {{0xFE, 0xFF, 0}, 2, u"UTF-16BE", XmlDocument::kUtf16BeFile},
}};

// Passes at the end or at the first zero byte; fails on a sequence the lead byte's
// bits do not allow or that is cut off.
bool LooksLikeUtf8(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != 0;) {
        std::uint8_t b = bytes[i++];
        if (b < 0x80) continue;
        int follow = !(b & 0x20) ? 1 : !(b & 0x10) ? 2 : !(b & 0x08) ? 3 : -1;
        if (follow < 0) return false;
        for (; follow > 0; --follow, ++i)
            if (i >= bytes.size() || bytes[i] < 0x80) return false;
    }
    return true;
}

// The "charset=" word in the content attribute of a meta tag.
std::optional<std::u16string> CharsetOfContent(std::u16string_view content) {
    static constexpr std::u16string_view kCharset = u"charset";
    for (std::size_t at = 0; at + kCharset.size() <= content.size(); ++at) {
        if (!NamesEqual(content.substr(at, kCharset.size()), kCharset, true)) continue;
        std::size_t i = at + kCharset.size();
        while (i < content.size() && IsXmlSpace(content[i])) ++i;
        if (i >= content.size() || content[i] != u'=') continue;
        ++i;
        while (i < content.size() && IsXmlSpace(content[i])) ++i;
        std::size_t begin = i;
        while (i < content.size() && !IsXmlSpace(content[i]) && content[i] != u';' && content[i] != u'"' &&
               content[i] != u'\'')
            ++i;
        if (i > begin) return std::u16string(content.substr(begin, i - begin));
    }
    return std::nullopt;
}

// The encoding named by an XML declaration, or by a Content-Type meta tag of an
// HTML head, in the first part of a file.
std::optional<std::u16string> DeclaredEncoding(std::u16string_view text) {
    bool seenPiOrTag = false;
    bool seenHtml = false;
    for (std::size_t pos = 0;;) {
        XmlNode node = ScanNode(text, pos);
        if (node.kind == NodeKind::End || node.kind == NodeKind::Error) return std::nullopt;
        pos = node.end;
        std::u16string_view tag = text.substr(node.start, node.end - node.start);
        if (node.kind == NodeKind::ProcessingInstruction) {
            if (seenPiOrTag) continue;
            seenPiOrTag = true;
            std::u16string_view target = ElementNameAt(text.substr(node.start + 1), 0);
            if (!NamesEqual(target, u"xml", true)) continue;
            auto encoding = FindAttribute(tag, 2 + target.size(), u"encoding", true);
            return std::u16string(encoding.value_or(u""));
        }
        if (node.kind == NodeKind::StartTag || node.kind == NodeKind::EmptyTag) {
            seenPiOrTag = true;
            std::u16string_view name = text.substr(node.start + 1, node.nameEnd - node.start - 1);
            if (!seenHtml) {
                if (!NamesEqual(name, u"html", true)) return std::nullopt;
                seenHtml = true;
                continue;
            }
            if (!NamesEqual(name, u"meta", true)) continue;
            std::size_t afterName = node.nameEnd - node.start;
            auto equiv = FindAttribute(tag, afterName, u"http-equiv", true);
            if (!equiv || !NamesEqual(*equiv, u"Content-Type", true)) continue;
            auto content = FindAttribute(tag, afterName, u"content", true);
            return content ? CharsetOfContent(*content) : std::nullopt;
        }
        if (node.kind == NodeKind::EndTag &&
            NamesEqual(text.substr(node.start + 2, node.nameEnd - node.start - 2), u"head", true))
            return std::nullopt;
    }
}

// What the first bytes of a file tell: its byte-order mark, its encoding if they
// name it, and the opening of the status text.
struct Opening {
    const ByteOrderMark* mark = nullptr;
    std::u16string encoding;
    std::u16string text;
};

Opening OpeningOf(std::span<const std::uint8_t> bytes) {
    Opening o;
    for (const ByteOrderMark& mark : kMarks) {
        if (bytes.size() >= mark.length &&
            std::equal(mark.bytes.begin(), mark.bytes.begin() + mark.length, bytes.begin())) {
            o.mark = &mark;
            o.encoding = mark.encoding;
            break;
        }
    }
    if (!o.mark && !bytes.empty()) {
        std::u16string head;
        ConvertFromCodePage(kCodePageUtf8, bytes.first(std::min(bytes.size(), kHeadBytes)), head);
        // 32-bit text has no converter: such a file is read like one whose encoding
        // is not declared.
        if (auto declared = DeclaredEncoding(head); declared && CodePageForCharset(*declared) != kCodePageUtf32)
            o.encoding = *declared;
        if (o.encoding.empty() && bytes[0] == '<') o.encoding = u"UTF-8";
    }
    if (!o.encoding.empty()) o.text = o.encoding + (o.mark ? u" BOM +" : u"") + u" ";
    return o;
}

void ConvertWithFallback(std::uint32_t codePage, std::span<const std::uint8_t> bytes, std::u16string& out) {
    // A code page this system cannot convert from is read as the default ANSI one
    // rather than giving an empty document.
    if (!ConvertFromCodePage(codePage, bytes, out)) ConvertFromCodePage(kCodePageDefaultAnsi, bytes, out);
}

}  // namespace

void XmlDocument::ReadDocumentBytes(std::span<const std::uint8_t> bytes) {
    ClearDocument();

    auto [found, encoding, opening] = OpeningOf(bytes);
    m_nDocFlags &= ~kEncodingFlags;
    if (found) m_nDocFlags |= found->flag;
    const std::size_t markLength = found ? found->length : 0;
    const std::size_t unit = markLength == 2 ? 2 : 1;

    std::span<const std::uint8_t> content = bytes.subspan(markLength);
    std::u16string reading;
    if (content.empty()) {
        reading = u"0 length ";
    } else if (unit == 2) {
        std::size_t units = content.size() / 2;
        reading = u"length " + DecimalText(units) + u" ";
        const bool bigEndian = found->flag == kUtf16BeFile;
        ReserveLargeBuffer(m_strDoc, units);
        for (std::size_t i = 0; i < units; ++i) {
            std::uint8_t lo = content[2 * i], hi = content[2 * i + 1];
            if (bigEndian) std::swap(lo, hi);
            if (lo | hi) m_strDoc += static_cast<char16_t>(lo | (hi << 8));
        }
        if (std::size_t nulls = units - m_strDoc.size()) reading += u"(" + DecimalText(nulls) + u" nulls removed) ";
        if (bigEndian) reading += u"endian swap ";
    } else {
        reading = u"length " + DecimalText(content.size()) + u" ";
        std::vector<std::uint8_t> closedUp;
        std::span<const std::uint8_t> kept = content;
        if (std::memchr(content.data(), 0, content.size())) {
            closedUp.reserve(content.size());
            std::copy_if(content.begin(), content.end(), std::back_inserter(closedUp),
                         [](std::uint8_t b) { return b != 0; });
            reading += u"(" + DecimalText(content.size() - closedUp.size()) + u" nulls removed) ";
            kept = closedUp;
        }
        if (encoding.empty()) {
            if (LooksLikeUtf8(kept)) encoding = u"UTF-8";
            reading += u"(used UTF-8 detection) ";
        }
        // One unit a byte: all that UTF-8 and the single-byte code pages can need.
        ReserveLargeBuffer(m_strDoc, kept.size());
        ConvertWithFallback(CodePageForCharset(encoding).value_or(kCodePageDefaultAnsi), kept, m_strDoc);
        reading += u"to " + DecimalText(m_strDoc.size()) + u" wide chars ";
    }

    // Without an opening text, an encoding known now was found by the UTF-8 test.
    if (!opening.empty())
        m_strStatus = opening;
    else if (!encoding.empty())
        m_strStatus = encoding + u" ";
    else
        m_strStatus = u"ANSI ";
    m_strStatus += reading;
}

bool XmlDocument::ReadDocumentFile(std::u16string_view path, FileReadFunction read) {
    std::vector<std::uint8_t> bytes;
    std::u16string error;
    if (!read(path, bytes, error)) {
        ClearDocument();
        m_nDocFlags &= ~kEncodingFlags;
        // A failure within the first bytes leaves nothing detected; after them, the
        // status tells what they showed before the system's message.
        m_strStatus.clear();
        if (bytes.size() >= kHeadBytes) {
            std::u16string opening = OpeningOf(bytes).text;
            m_strStatus = opening.empty() ? u"ANSI " : opening;
        }
        m_strStatus += error;
        return false;
    }
    ReadDocumentBytes(bytes);
    return true;
}

bool XmlDocument::LoadFile(std::u16string_view path, FileReadFunction read) {
    return ReadDocumentFile(path, read) && ParseDocument();
}

bool XmlDocument::LoadBytes(std::span<const std::uint8_t> bytes) {
    ReadDocumentBytes(bytes);
    return ParseDocument();
}
