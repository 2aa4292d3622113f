#include "Describe.h"

#include "KeyNames.h"

#include <algorithm>

std::string_view FunctionMember(const KeyFunction& f) {
    switch (f.type) {
    case AssignSystemShortcut:
    case AssignEditShortcut: return "shortcut";
    case AssignMouseButton: return "mouse";
    case AssignMacro: return "macro";
    case AssignConsumer: return "media";
    case AssignConsumerAlt: return "media-alt";
    case AssignCombination: return "combination";
    case AssignKeyRemap: return "remap";
    default: return "default";
    }
}

std::vector<std::string_view> FunctionNames(const Profile& profile, const KeyFunction& f) {
    const auto index = static_cast<std::size_t>(f.parameter);
    switch (f.type) {
    case AssignSystemShortcut:
    case AssignEditShortcut: return {NameForCode(ShortcutNames(), ShortcutCode(f.type, f.parameter))};
    case AssignMouseButton: return {NameForCode(MouseNames(), f.parameter)};
    case AssignMacro:
        if (f.parameter < 0 || index >= profile.macros.size()) return {};
        return {profile.macros[index].name};
    case AssignConsumer:
    case AssignConsumerAlt: return {NameForCode(MediaNames(), f.parameter)};
    case AssignKeyRemap: return {NameForCode(VirtualKeyNames(), f.parameter)};
    case AssignCombination: {
        if (f.parameter < 0 || index >= profile.combinations.size()) return {};
        const ComboKeys& keys = profile.combinations[index];
        const auto end = std::find_if(keys.rbegin(), keys.rend(), [](std::uint8_t vk) { return vk != 0; }).base();
        std::vector<std::string_view> names;
        for (auto it = keys.begin(); it != end; ++it)
            names.push_back(*it ? NameForCode(VirtualKeyNames(), *it) : std::string_view());
        return names;
    }
    default: return {};
    }
}

std::string DescribeFunction(const Profile& profile, const KeyFunction& f) {
    const std::string_view member = FunctionMember(f);
    if (member == "default") return "default";
    const std::vector<std::string_view> names = FunctionNames(profile, f);
    std::string text = std::string(member) + " ";
    if (names.empty()) return text + "(none)";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += std::string(i ? "+" : "") + (names[i].empty() ? "(none)" : std::string(names[i]));
    return text;
}
