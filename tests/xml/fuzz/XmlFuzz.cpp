// Feeds arbitrary file content to the reader and walks the result with every
// navigation call, reading attributes and texts on the way.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "xml/ButtonPositions.h"
#include "xml/NumberText.h"
#include "xml/XmlDocument.h"

namespace {

void ReadChild(const XmlDocument& doc) {
    (void)ParseRect(doc.ChildAttribute(u"CRect"));
    (void)ParseLong(doc.ChildAttribute(u"vkcode"), 16);
    (void)doc.ChildAttribute(u"name");
    (void)doc.ChildText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmlDocument doc;
    doc.LoadBytes(std::span<const std::uint8_t>(data, size));
    (void)doc.StatusText();

    // Top level, then down the last child of every level.
    doc.Rewind();
    while (doc.NextElement(u"")) {
    }
    doc.Rewind();
    do {
        while (doc.NextChildElement(u"")) ReadChild(doc);
    } while (doc.EnterElement());

    // Lookups by name, as the two loaders do, with names taken from the document.
    std::u16string_view text = doc.DocumentText();
    std::u16string_view found = text.size() > 1 ? text.substr(1, 3) : u"";
    for (std::u16string_view name : {std::u16string_view(u"key"), std::u16string_view(u"config"), found}) {
        doc.Rewind();
        doc.NextElement(u"");
        while (doc.NextChildElement(name)) ReadChild(doc);
        doc.Rewind();
        while (doc.NextChildElement(name) && doc.EnterElement()) {
            if (doc.NextChildElement(name)) ReadChild(doc);
        }
        doc.Rewind();
        doc.NextElement(name);
    }

    (void)XmlDocument::DecodeEntities(doc.DocumentText());
    return 0;
}
