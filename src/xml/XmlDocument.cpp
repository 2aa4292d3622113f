#include "xml/XmlDocument.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "xml/EntityTable.h"
#include "xml/MemoryAdvice.h"
#include "xml/NumberText.h"
#include "xml/UnitSearch.h"
#include "xml/XmlNode.h"

namespace {

// How many elements of each name are open, names compared as the document compares them.
// An end tag whose name is not open is then answered at once instead of after a walk down
// every open element, which made a deep nest followed by stray end tags quadratic. Counting
// starts at the first end tag that does not end the innermost element, so a well-formed
// document never pays for it.
class COpenNames {
public:
    explicit COpenNames(bool ignoreCase) : m_counts(16, Hash{ignoreCase}, Equal{ignoreCase}) {}
    void Add(std::u16string_view name) { ++m_counts[name]; }
    void Remove(std::u16string_view name) {
        auto it = m_counts.find(name);
        if (--it->second == 0) m_counts.erase(it);
    }
    bool Contains(std::u16string_view name) const { return m_counts.contains(name); }

private:
    static char16_t Fold(char16_t c, bool ignoreCase) {
        return ignoreCase && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    }
    struct Hash {
        bool ignoreCase;
        std::size_t operator()(std::u16string_view s) const {
            std::size_t h = 14695981039346656037ull;
            for (char16_t c : s) h = (h ^ Fold(c, ignoreCase)) * 1099511628211ull;
            return h;
        }
    };
    struct Equal {
        bool ignoreCase;
        bool operator()(std::u16string_view a, std::u16string_view b) const { return NamesEqual(a, b, ignoreCase); }
    };
    std::unordered_map<std::u16string_view, std::uint32_t, Hash, Equal> m_counts;
};

std::u16string NodeMessage(const XmlNode& node) {
    std::u16string at = u" at offset " + DecimalText(node.start);
    switch (node.error) {
    case NodeError::TagNameCharacter: return u"Incorrect tag name character" + at;
    case NodeError::BangTag: return u"Incorrect ! tag" + at;
    case NodeError::CommentTag: return u"Incorrect comment tag" + at;
    case NodeError::Tag: return u"Incorrect tag" + at;
    case NodeError::Unterminated:
    case NodeError::None: break;
    }
    return node.unterminatedKind + at + u" unterminated";
}

// Code point of a reference name (the characters between "&" and ";", lower-cased,
// `unitSum` the sum of their units), or 0 when it names nothing. `allLower` tells
// whether it was written in lower case, which picks the lower-case one of two entities
// that differ only in case.
std::uint32_t ResolveReference(std::u16string_view name, std::size_t unitSum, bool allLower) {
    if (!name.empty() && name[0] == u'#') {
        bool hex = name.size() > 1 && name[1] == u'x';
        std::int32_t n = ParseLong(name.substr(hex ? 2 : 1), hex ? 16 : 10);
        // Zero, negative values and values beyond Unicode name no character.
        return n > 0 && n <= 0x10FFFF ? static_cast<std::uint32_t>(n) : 0;
    }
    auto bucket = g_entityTable.Bucket(EntityTable::BucketOfSum(unitSum));
    for (std::size_t i = 0; i < bucket.size(); ++i) {
        if (!NamesEqual(bucket[i].name, name, false)) continue;
        if (allLower && i + 1 < bucket.size() && NamesEqual(bucket[i + 1].name, name, false))
            return bucket[i + 1].value;
        return bucket[i].value;
    }
    return 0;
}

}  // namespace

XmlDocument::XmlDocument() : m_strStatus(u"Empty document"), m_aPos(1) {}

bool XmlDocument::IsWellFormed() const { return !(m_aPos[0].flags & ElementRecord::kNotWellFormed); }

void XmlDocument::ClearDocument() {
    m_strDoc.clear();
    m_iAttrElement = 0;
    m_aPos.assign(1, ElementRecord());
    Rewind();
}

void XmlDocument::SetDocumentText(std::u16string text) {
    m_strDoc = std::move(text);
    m_strStatus.clear();
    m_iAttrElement = 0;
}

std::u16string_view XmlDocument::ElementName(std::uint32_t e) const { return ElementNameAt(m_strDoc, m_aPos[e].start); }

std::uint32_t XmlDocument::AddElement(std::uint32_t parent, std::size_t start, std::size_t startTagLength) {
    auto e = static_cast<std::uint32_t>(m_aPos.size());
    ElementRecord r;
    r.start = static_cast<std::uint32_t>(start);
    r.length = r.startTagLength = static_cast<std::uint32_t>(startTagLength);
    r.parent = parent;
    r.prevSibling = e;
    m_aPos.push_back(r);
    ElementRecord& p = m_aPos[parent];
    if (p.firstChild == 0) {
        p.firstChild = e;
    } else {
        std::uint32_t last = m_aPos[p.firstChild].prevSibling;
        m_aPos[last].nextSibling = e;
        m_aPos[e].prevSibling = last;
        m_aPos[p.firstChild].prevSibling = e;
    }
    return e;
}

// Each open element is the last child of the one before it, so when a run of them
// is closed as not ended their children simply follow them, in document order,
// under the parent of the outermost. Done as one pass so that a deep nest costs
// no more than its size.
void XmlDocument::CloseNotEnded(std::span<const std::uint32_t> chain) {
    const std::uint32_t parent = m_aPos[chain.front()].parent;
    std::uint32_t tail = chain.front();
    for (std::uint32_t e : chain) {
        ElementRecord& r = m_aPos[e];
        r.length = r.startTagLength;
        r.flags |= ElementRecord::kNotEnded;
        std::uint32_t first = r.firstChild;
        if (first == 0) continue;
        r.firstChild = 0;
        m_aPos[tail].nextSibling = first;
        m_aPos[first].prevSibling = tail;
        for (std::uint32_t c = first; c != 0; c = m_aPos[c].nextSibling) {
            m_aPos[c].parent = parent;
            tail = c;
        }
    }
    m_aPos[m_aPos[parent].firstChild].prevSibling = tail;
}

bool XmlDocument::ParseDocument() {
    std::u16string kept = m_strStatus;
    m_iAttrElement = 0;
    m_aPos.clear();
    ReserveLargeBuffer(m_aPos, m_strDoc.size() / 64 + 8);
    m_aPos.emplace_back();
    std::u16string parseText;
    auto problem = [&](const std::u16string& message) {
        m_aPos[0].flags |= ElementRecord::kNotWellFormed;
        if (parseText.empty()) parseText = message;
    };

    if (m_strDoc.empty()) {
        parseText = u"Empty document";
        m_aPos[0].flags |= ElementRecord::kNotWellFormed;
    } else {
        const bool ignoreCase = m_nDocFlags & kIgnoreCase;
        std::vector<std::uint32_t> open;
        COpenNames openNames(ignoreCase);
        bool counting = false;
        auto closeFrom = [&](std::size_t k) {
            for (std::size_t i = k; counting && i < open.size(); ++i) openNames.Remove(ElementName(open[i]));
            open.resize(k);
        };
        std::u16string_view text = m_strDoc;
        for (std::size_t pos = 0;;) {
            // Text and white space make no record: only their end matters here.
            if (pos < text.size() && text[pos] != u'<') pos = FindUnit(text, pos, u'<');
            XmlNode node = ScanNode(text, pos);
            if (node.kind == NodeKind::End) break;
            pos = node.end;
            switch (node.kind) {
            case NodeKind::StartTag:
            case NodeKind::EmptyTag: {
                std::uint32_t e = AddElement(open.empty() ? 0 : open.back(), node.start, node.end - node.start);
                if (node.kind == NodeKind::StartTag) {
                    open.push_back(e);
                    if (counting) openNames.Add(ElementName(e));
                }
                break;
            }
            case NodeKind::EndTag: {
                std::u16string_view name = text.substr(node.start + 2, node.nameEnd - node.start - 2);
                std::size_t k = open.size();
                if (k > 0 && !NamesEqual(ElementName(open.back()), name, ignoreCase)) {
                    if (!counting) {
                        counting = true;
                        for (std::uint32_t e : open) openNames.Add(ElementName(e));
                    }
                    if (!openNames.Contains(name)) k = 0;
                    while (k > 0 && !NamesEqual(ElementName(open[k - 1]), name, ignoreCase)) --k;
                }
                if (k == 0) {
                    problem(u"No start tag for end tag '" + std::u16string(name) + u"' at offset " +
                            DecimalText(node.start));
                    break;
                }
                if (k < open.size()) {
                    problem(u"End tag '" + std::u16string(name) + u"' at offset " + DecimalText(node.start + 1) +
                            u" does not match start tag '" + std::u16string(ElementName(open.back())) +
                            u"' at offset " + DecimalText(m_aPos[open.back()].start));
                    CloseNotEnded(std::span(open).subspan(k));
                    closeFrom(k);
                }
                ElementRecord& r = m_aPos[open.back()];
                r.length = static_cast<std::uint32_t>(node.end - r.start);
                r.endTagLength = static_cast<std::uint32_t>(node.end - node.start);
                closeFrom(open.size() - 1);
                break;
            }
            case NodeKind::Error: problem(NodeMessage(node)); break;
            default: break;
            }
        }
        if (!open.empty()) {
            problem(u"Element '" + std::u16string(ElementName(open.back())) + u"' at offset " +
                    DecimalText(m_aPos[open.back()].start) + u" not ended");
            CloseNotEnded(open);
        }
        std::uint32_t root = m_aPos[0].firstChild;
        if (root == 0)
            parseText = u"No root element";
        else if (m_aPos[root].nextSibling != 0)
            parseText += u"Root element has sibling";
    }

    if (!kept.empty() && !parseText.empty())
        m_strStatus = kept + u" " + parseText;
    else
        m_strStatus = kept.empty() ? parseText : kept;
    Rewind();
    std::uint32_t root = m_aPos[0].firstChild;
    return IsWellFormed() && root != 0 && m_aPos[root].nextSibling == 0;
}

void XmlDocument::Rewind() {
    m_iPosParent = m_iPos = m_iPosChild = 0;
    m_nNodeType = NodeType::None;
}

void XmlDocument::SetMain(std::uint32_t parent, std::uint32_t main, std::uint32_t child) {
    m_iPosParent = parent;
    m_iPos = main;
    m_iPosChild = child;
    m_nNodeType = main ? NodeType::Element : NodeType::None;
}

std::uint32_t XmlDocument::FindSibling(std::uint32_t candidate, std::u16string_view name) const {
    if (name.empty()) return candidate;
    const bool ignoreCase = m_nDocFlags & kIgnoreCase;
    while (candidate != 0 && !NamesEqual(ElementName(candidate), name, ignoreCase))
        candidate = m_aPos[candidate].nextSibling;
    return candidate;
}

bool XmlDocument::NextElement(std::u16string_view name) {
    std::uint32_t candidate = m_iPos ? m_aPos[m_iPos].nextSibling : m_aPos[m_iPosParent].firstChild;
    std::uint32_t e = FindSibling(candidate, name);
    if (e == 0) return false;
    SetMain(m_aPos[e].parent, e, 0);
    return true;
}

bool XmlDocument::NextChildElement(std::u16string_view name) {
    if (m_iPos == 0 && !NextElement(u"")) return false;
    std::uint32_t candidate = m_iPosChild ? m_aPos[m_iPosChild].nextSibling : m_aPos[m_iPos].firstChild;
    std::uint32_t e = FindSibling(candidate, name);
    if (e == 0) return false;
    std::uint32_t main = m_aPos[e].parent;
    SetMain(m_aPos[main].parent, main, e);
    return true;
}

bool XmlDocument::EnterElement() {
    if (m_iPos == 0 || m_nNodeType != NodeType::Element) return false;
    SetMain(m_iPos, m_iPosChild, 0);
    return true;
}

std::u16string XmlDocument::ChildAttribute(std::u16string_view name) const {
    if (m_iPosChild == 0 || m_nNodeType != NodeType::Element) return {};
    const ElementRecord& r = m_aPos[m_iPosChild];
    const std::u16string_view tag = std::u16string_view(m_strDoc).substr(r.start, r.startTagLength);
    const bool ignoreCase = m_nDocFlags & kIgnoreCase;
    if (m_iAttrElement != m_iPosChild) {
        m_iAttrElement = m_iPosChild;
        m_nAttrNext = TagNameEnd(tag, 1);
        m_aAttr.clear();
    }
    for (const AttributeSpan& a : m_aAttr)
        if (NamesEqual(tag.substr(a.name, a.nameLength), name, ignoreCase))
            return DecodeEntities(tag.substr(a.value, a.valueLength));
    XmlAttribute attribute;
    while (NextAttribute(tag, m_nAttrNext, attribute)) {
        auto offset = [&](std::u16string_view part) { return static_cast<std::uint32_t>(part.data() - tag.data()); };
        m_aAttr.push_back({offset(attribute.name), static_cast<std::uint32_t>(attribute.name.size()),
                           offset(attribute.value), static_cast<std::uint32_t>(attribute.value.size())});
        if (NamesEqual(attribute.name, name, ignoreCase)) return DecodeEntities(attribute.value);
    }
    return {};
}

std::u16string XmlDocument::ChildText() const {
    if (m_iPosChild == 0) return {};
    const ElementRecord& r = m_aPos[m_iPosChild];
    if (r.firstChild != 0 || r.endTagLength == 0) return {};
    std::size_t begin = r.start + r.startTagLength;
    std::size_t end = r.start + r.length - r.endTagLength;
    std::u16string_view upToEnd = std::u16string_view(m_strDoc).substr(0, end);
    if (FindUnit(upToEnd, begin, u'<') == end) return DecodeEntities(upToEnd.substr(begin));
    std::u16string out;
    for (std::size_t pos = begin;;) {
        XmlNode node = ScanNode(upToEnd, pos);
        if (node.kind == NodeKind::End) break;
        pos = node.end;
        if (node.kind == NodeKind::Text) {
            out += DecodeEntities(upToEnd.substr(node.start, node.end - node.start));
        } else if (node.kind == NodeKind::CData) {
            // "<![CDATA[" opens the section; only its first four characters were checked.
            std::size_t from = std::min(node.start + 9, node.end - 3);
            out += upToEnd.substr(from, node.end - 3 - from);
        }
    }
    return out;
}

std::u16string XmlDocument::DecodeEntities(std::u16string_view text) {
    constexpr std::size_t kMaxName = 9;
    const std::size_t n = text.size();
    std::size_t i = FindUnit(text, 0, u'&');
    if (i == n) return std::u16string(text);
    // A reference is never shorter than what it stands for, so the decoded text is
    // written over a copy of the whole, from the first "&" on.
    std::u16string out(text);
    char16_t* to = out.data() + i;
    std::size_t copied = i;  // text before this is in `out`
    for (; i < n; i = FindUnit(text, i + 1, u'&')) {
        char16_t name[kMaxName];
        std::size_t len = 0, sum = 0;
        bool allLower = true;
        std::size_t j = i + 1;
        for (; j < n && text[j] != u';' && text[j] < 0x80 && len < kMaxName; ++j) {
            char16_t c = text[j];
            if (c >= u'A' && c <= u'Z') {
                c = static_cast<char16_t>(c + 32);
                allLower = false;
            }
            name[len++] = c;
            sum += c;
        }
        std::uint32_t code = 0;
        if (j < n && text[j] == u';') code = ResolveReference(std::u16string_view(name, len), sum, allLower);
        // A reference that names nothing stays as written.
        if (code == 0) continue;
        to = std::copy(text.data() + copied, text.data() + i, to);
        if (code < 0x10000) {
            *to++ = static_cast<char16_t>(code);
        } else {
            *to++ = static_cast<char16_t>(((code - 0x10000) >> 10) | 0xD800);
            *to++ = static_cast<char16_t>((code & 0x3FF) | 0xDC00);
        }
        copied = j + 1;
        i = j;
    }
    to = std::copy(text.data() + copied, text.data() + n, to);
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}
