#include "config/KeyDetails.h"

#include "config/FunctionKind.h"
#include "xml/LanguageStrings.h"

namespace {

std::u16string Number(long long value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::u16string Line(const std::u16string& label, const std::u16string& value) { return label + u": " + value; }

}  // namespace

std::u16string HexCode(unsigned value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

std::u16string KindName(std::int32_t type, const ConfigTexts& texts) {
    switch (KindOf(type)) {
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

std::u16string StoredProblem(const StoredKeys& stored, const ConfigTexts& texts) {
    switch (stored.state) {
    case StoredKeysState::NoKey:
    case StoredKeysState::NoValue: return texts.noSettings;
    case StoredKeysState::WrongType: return texts.wrongType + u" (" + Number(stored.type) + u")";
    case StoredKeysState::WrongSize: return texts.wrongSize + u" (" + Number(stored.size) + u")";
    case StoredKeysState::Unreadable: return texts.unreadable + u" (" + Number(stored.error) + u")";
    case StoredKeysState::Read: break;
    }
    return {};
}

std::u16string KeyDetailsText(const ButtonPosRecord& key, const Profile& profile, std::size_t record,
                              const ConfigTexts& texts, const IKeyFunctionText& functions) {
    const KeyFunction function = record < profile.keys.size() ? profile.keys[record] : KeyFunction{};
    std::u16string text = functions.ShortText(profile, function);
    if (text.empty()) text = KindName(function.type, texts);
    return Line(texts.key, key.name) + u"\r\n" + Line(texts.vkcode, HexCode(key.vkcode, 2)) + u"\r\n" +
           Line(texts.stored, text + u" (" + Number(function.type) + u", " + Number(function.parameter) + u")");
}
