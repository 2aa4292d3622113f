#include "xml/LanguageStrings.h"

#include <array>

#include "xml/XmlDocument.h"

#define K7_DEFINE_LANGUAGE_STRING(name) std::u16string name;
K7_LANGUAGE_KEYS(K7_DEFINE_LANGUAGE_STRING)
#undef K7_DEFINE_LANGUAGE_STRING

namespace {

// Read once at start-up and looked up again for every text.
XmlDocument g_languageDocument;

#define K7_LANGUAGE_KEY_ENTRY(name) {u## #name, &name},
const std::array<LanguageKey, kLanguageKeyCount> kKeys{{K7_LANGUAGE_KEYS(K7_LANGUAGE_KEY_ENTRY)}};
#undef K7_LANGUAGE_KEY_ENTRY

}  // namespace

std::span<const LanguageKey, kLanguageKeyCount> LanguageKeys() { return kKeys; }

std::u16string GetConfigText(XmlDocument& document, std::u16string_view element, std::u16string_view key) {
    document.Rewind();
    while (document.NextChildElement(element)) {
        document.EnterElement();
        if (document.NextChildElement(key)) return document.ChildText();
    }
    return {};
}

std::u16string GetConfigText(std::u16string_view element, std::u16string_view key) {
    return GetConfigText(g_languageDocument, element, key);
}

void LoadLanguageStrings(std::u16string_view path) {
    g_languageDocument.LoadFile(path);
    for (const LanguageKey& k : kKeys) *k.text = GetConfigText(u"config", k.key);
}
