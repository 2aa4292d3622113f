#include "config/AssignChoices.h"

#include "KeyNames.h"
#include "config/KeyDetails.h"
#include "xml/Utf8Text.h"

#include <algorithm>

namespace {

void AddNamed(std::vector<FunctionChoice>& out, std::span<const NamedCode> table, std::int32_t type,
              const Profile& profile, const IKeyFunctionText& functions) {
    for (const NamedCode& named : table) {
        // Shortcut codes carry their type: type * 100 + parameter.
        const KeyFunction f = type == AssignSystemShortcut ? KeyFunction{named.code / 100, named.code % 100}
                                                           : KeyFunction{type, named.code};
        out.push_back({f, functions.ShortText(profile, f)});
    }
}

}  // namespace

std::u16string KindLabel(FunctionKind kind, const ConfigTexts& texts) {
    // A type of the kind names it.
    switch (kind) {
    case FunctionKind::Remap: return KindName(AssignKeyRemap, texts);
    case FunctionKind::Media: return KindName(AssignConsumer, texts);
    case FunctionKind::Mouse: return KindName(AssignMouseButton, texts);
    case FunctionKind::Shortcut: return KindName(AssignSystemShortcut, texts);
    case FunctionKind::Macro: return KindName(AssignMacro, texts);
    case FunctionKind::Combination: return KindName(AssignCombination, texts);
    case FunctionKind::Factory:
    case FunctionKind::Unknown: break;
    }
    return KindName(AssignDefault, texts);
}

std::vector<FunctionChoice> FunctionChoices(FunctionKind kind, const Profile& profile, const ConfigTexts& texts,
                                            const IKeyFunctionText& functions) {
    std::vector<FunctionChoice> out;
    switch (kind) {
    case FunctionKind::Factory: out.push_back({KeyFunction{}, texts.factory}); break;
    case FunctionKind::Remap:
        for (const KeyChoice& key : KeyChoices()) out.push_back({{AssignKeyRemap, key.vk}, key.text});
        break;
    case FunctionKind::Media: AddNamed(out, MediaNames(), AssignConsumer, profile, functions); break;
    case FunctionKind::Mouse: AddNamed(out, MouseNames(), AssignMouseButton, profile, functions); break;
    case FunctionKind::Shortcut: AddNamed(out, ShortcutNames(), AssignSystemShortcut, profile, functions); break;
    case FunctionKind::Macro:
        for (std::size_t i = 0; i < profile.macros.size(); ++i) {
            std::u16string text = Utf16FromUtf8(profile.macros[i].name);
            if (i >= kMaxDeviceMacros) text += u" (" + texts.macroOff + u")";
            out.push_back({{AssignMacro, static_cast<std::int32_t>(i)}, std::move(text)});
        }
        break;
    case FunctionKind::Combination:
    case FunctionKind::Unknown: break;
    }
    return out;
}

std::vector<KeyChoice> KeyChoices() {
    std::vector<KeyChoice> out;
    for (const NamedCode& named : VirtualKeyNames())
        out.push_back({static_cast<std::uint8_t>(named.code), Utf16FromUtf8(named.name)});
    return out;
}

std::optional<std::size_t> ChoiceOf(const std::vector<FunctionChoice>& choices, const KeyFunction& function) {
    const auto it = std::ranges::find(choices, function, &FunctionChoice::function);
    if (it == choices.end()) return std::nullopt;
    return static_cast<std::size_t>(it - choices.begin());
}
