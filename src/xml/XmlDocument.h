// A read-only XML reader (HTML-like markup is tolerated): the decoded text of a
// file, a flat table of element records over it, and a cursor of three positions
// (parent, main, child) for walking the elements and reading attributes and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/FileBytes.h"

// One element, located in the document text by UTF-16 offsets. Lengths are kept in
// full-width fields so that no element of any size is cut short.
struct ElementRecord {
    std::uint32_t start = 0;   // offset of the element's "<"
    std::uint32_t length = 0;  // through the end tag; the start tag's length if there is none
    std::uint32_t startTagLength = 0;
    std::uint32_t endTagLength = 0;  // 0 for an empty-element tag and an element never ended
    std::uint32_t flags = 0;         // record 0: kNotWellFormed; others: kNotEnded
    std::uint32_t parent = 0;
    std::uint32_t firstChild = 0;
    std::uint32_t nextSibling = 0;
    std::uint32_t prevSibling = 0;  // for a first child: the last child of the same parent

    static constexpr std::uint32_t kNotWellFormed = 1;
    static constexpr std::uint32_t kNotEnded = 1;
};

class XmlDocument {
public:
    // Document flags.
    static constexpr unsigned kUtf16LeFile = 1;
    static constexpr unsigned kUtf16BeFile = 2;
    static constexpr unsigned kUtf8BomFile = 4;
    static constexpr unsigned kIgnoreCase = 8;  // case-insensitive name matching
    static constexpr unsigned kEncodingFlags = kUtf16LeFile | kUtf16BeFile | kUtf8BomFile;

    XmlDocument();

    // Reading a file (encoding detection and decoding) and parsing it.
    bool LoadFile(std::u16string_view path, FileReadFunction read = ReadFileBytes);
    bool ReadDocumentFile(std::u16string_view path, FileReadFunction read = ReadFileBytes);
    // The same for the bytes of a file already in memory.
    bool LoadBytes(std::span<const std::uint8_t> bytes);
    void ReadDocumentBytes(std::span<const std::uint8_t> bytes);

    // Replaces the document text and empties the status text, so that after
    // ParseDocument it describes the parse alone.
    void SetDocumentText(std::u16string text);
    bool ParseDocument();

    const std::u16string& StatusText() const { return m_strStatus; }
    const std::u16string& DocumentText() const { return m_strDoc; }
    unsigned Flags() const { return m_nDocFlags; }
    void SetFlags(unsigned flags) { m_nDocFlags = flags; }
    bool IsWellFormed() const;
    const std::vector<ElementRecord>& Elements() const { return m_aPos; }

    void Rewind();
    bool NextElement(std::u16string_view name);
    bool NextChildElement(std::u16string_view name);
    bool EnterElement();
    std::u16string ChildAttribute(std::u16string_view name) const;
    std::u16string ChildText() const;

    // Replaces character and entity references.
    static std::u16string DecodeEntities(std::u16string_view text);

private:
    enum class NodeType : std::uint8_t { None, Element };

    void ClearDocument();  // no text, no elements, all positions 0
    std::u16string_view ElementName(std::uint32_t e) const;
    std::uint32_t FindSibling(std::uint32_t candidate, std::u16string_view name) const;
    std::uint32_t AddElement(std::uint32_t parent, std::size_t start, std::size_t startTagLength);
    void CloseNotEnded(std::span<const std::uint32_t> chain);  // outermost first
    void SetMain(std::uint32_t parent, std::uint32_t main, std::uint32_t child);

    std::u16string m_strDoc;
    std::u16string m_strStatus;
    std::uint32_t m_iPosParent = 0;
    std::uint32_t m_iPos = 0;
    std::uint32_t m_iPosChild = 0;
    NodeType m_nNodeType = NodeType::None;
    unsigned m_nDocFlags = 0;
    std::vector<ElementRecord> m_aPos;

    // The attributes of one element's start tag as far as they have been read, so
    // that reading several attributes of an element scans its tag once (a document is
    // used on one thread, so const reads may keep them). Offsets are from the tag's "<".
    struct AttributeSpan {
        std::uint32_t name, nameLength, value, valueLength;
    };
    mutable std::uint32_t m_iAttrElement = 0;  // 0: nothing read since the last load
    mutable std::size_t m_nAttrNext = 0;       // where reading the tag goes on
    mutable std::vector<AttributeSpan> m_aAttr;
};
