#include "xml/ButtonPositions.h"

#include <cstddef>

#include "xml/NumberText.h"
#include "xml/XmlDocument.h"

ButtonPosTable g_buttonPosTable;

namespace {

// The index of the first comma at or after `from`, or -1.
std::ptrdiff_t FindComma(std::u16string_view s, std::ptrdiff_t from) {
    if (from < 0 || from >= static_cast<std::ptrdiff_t>(s.size())) return -1;
    std::size_t at = s.find(u',', static_cast<std::size_t>(from));
    return at == std::u16string_view::npos ? -1 : static_cast<std::ptrdiff_t>(at);
}

// A negative start or count counts as 0; the count is cut at the end of the text.
std::int32_t NumberAt(std::u16string_view s, std::ptrdiff_t start, std::ptrdiff_t count) {
    std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    if (from > s.size()) from = s.size();
    return ParseLong(s.substr(from, count < 0 ? 0 : static_cast<std::size_t>(count)), 10);
}

}  // namespace

CRectValue ParseRect(std::u16string_view s) {
    const auto length = static_cast<std::ptrdiff_t>(s.size());
    CRectValue r;
    std::ptrdiff_t c1 = FindComma(s, 0);
    r.left = NumberAt(s, 0, c1);
    std::ptrdiff_t c2 = FindComma(s, c1 + 1);
    r.top = NumberAt(s, c1 + 1, c2 - c1 - 1);
    std::ptrdiff_t c3 = FindComma(s, c2 + 1);
    r.right = NumberAt(s, c2 + 1, c3 - c2 - 1);
    r.bottom = NumberAt(s, c3 + 1, length - c3 - 1);
    return r;
}

void LoadButtonPositions(std::u16string_view path, ButtonPosTable& table) {
    XmlDocument doc;
    if (!doc.LoadFile(path)) return;
    doc.NextElement(u"");
    for (ButtonPosRecord& record : table) {
        if (!doc.NextChildElement(u"key")) break;
        record.name = doc.ChildAttribute(u"name");
        record.vkcode = static_cast<std::uint8_t>(ParseLong(doc.ChildAttribute(u"vkcode"), 16) & 0xFF);
        record.buttontip = doc.ChildAttribute(u"buttontip");
        record.rect = ParseRect(doc.ChildAttribute(u"CRect"));
        record.kstatus = ParseLong(doc.ChildAttribute(u"kstatus"), 10) == 1 ? 1 : 0;
    }
}

void LoadButtonPositions(std::u16string_view path) { LoadButtonPositions(path, g_buttonPosTable); }
