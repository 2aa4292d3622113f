#include "config/KeyDetails.h"

#include "config/FunctionKind.h"
#include "xml/LanguageStrings.h"

namespace {

std::u16string Number(long long value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::u16string Line(const std::u16string& label, const std::u16string& value) { return label + u": " + value; }

std::u16string StoredText(const ButtonPosRecord& key, const StoredKeys& stored, const ConfigTexts& texts,
                          const IKeyFunctionText& functions) {
    switch (stored.state) {
    case StoredKeysState::NoKey:
    case StoredKeysState::NoValue: return texts.noSettings;
    case StoredKeysState::WrongType: return texts.wrongType + u" (" + Number(stored.type) + u")";
    case StoredKeysState::WrongSize: return texts.wrongSize + u" (" + Number(stored.size) + u")";
    case StoredKeysState::Unreadable: return texts.unreadable + u" (" + Number(stored.error) + u")";
    case StoredKeysState::Read: break;
    }
    const KeyAssignment* assignment = FindAssignment(stored.keys, key.vkcode);
    if (assignment == nullptr) return texts.noRecord;
    std::u16string text = functions.ShortText(*assignment);
    if (text.empty()) text = KindName(*assignment, texts);
    return text + u" (" + Number(assignment->Type()) + u", " + Number(assignment->Parameter()) + u")";
}

}  // namespace

std::u16string HexCode(unsigned value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

std::u16string KindName(const KeyAssignment& assignment, const ConfigTexts& texts) {
    switch (KindOf(assignment)) {
    case FunctionKind::Factory: return texts.factory;
    case FunctionKind::Remap: return texts.remap;
    case FunctionKind::Media: return texts.media;
    case FunctionKind::Mouse: return texts.mouse;
    case FunctionKind::Shortcut: return texts.shortcut;
    case FunctionKind::Macro: return texts.macro;
    case FunctionKind::Combination: return str_comb;
    case FunctionKind::Unknown: break;
    }
    return texts.unknown;
}

std::u16string CKindNameText::ShortText(const KeyAssignment& assignment) const {
    if (KindOf(assignment) == FunctionKind::Factory) return {};
    return KindName(assignment, m_texts);
}

std::u16string KeyDetailsText(const ButtonPosRecord& key, const StoredKeys& stored, const ConfigTexts& texts,
                              const IKeyFunctionText& functions) {
    return Line(texts.key, key.name) + u"\r\n" + Line(texts.vkcode, HexCode(key.vkcode, 2)) + u"\r\n" +
           Line(texts.stored, StoredText(key, stored, texts, functions));
}
