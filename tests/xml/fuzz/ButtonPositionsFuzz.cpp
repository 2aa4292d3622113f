// Any file as ButtonPos.xml: the loader fills one record per key element, at most 108,
// leaves the others as they were, and never reads or writes outside its table.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <unistd.h>

#include "xml/ButtonPositions.h"
#include "xml/XmlDocument.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

const ButtonPosRecord& Sentinel() {
    static const ButtonPosRecord r{u"\xFFFD", 0xEE, u"\xFFFD", {-7, -7, -7, -7}, 77};
    return r;
}

bool IsSentinel(const ButtonPosRecord& r) {
    return r.name == Sentinel().name && r.vkcode == Sentinel().vkcode && r.buttontip == Sentinel().buttontip &&
           r.rect == Sentinel().rect && r.kstatus == Sentinel().kstatus;
}

// The number of key elements directly under the first element, as the loader walks them.
int KeyCount(std::span<const std::uint8_t> bytes) {
    XmlDocument doc;
    if (!doc.LoadBytes(bytes)) return 0;
    doc.NextElement(u"");
    int n = 0;
    while (n < BUTTON_COUNT && doc.NextChildElement(u"key")) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The loader takes a path: the input goes to a file of this process's own.
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/k7-buttonpos-fuzz-" + std::to_string(getpid()) + ".xml";
    }();
    static const std::u16string path16(path.begin(), path.end());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Check(f != nullptr);
    Check(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);

    auto table = std::make_unique<ButtonPosTable>();
    table->fill(Sentinel());
    LoadButtonPositions(path16, *table);

    const int keys = KeyCount(std::span(data, size));
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonPosRecord& r = (*table)[i];
        if (i < keys)
            Check(r.kstatus == 0 || r.kstatus == 1);
        else
            Check(IsSentinel(r));
    }
    return 0;
}
