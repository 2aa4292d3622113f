#include "config/MacroList.h"

#include "ProfileCheck.h"
#include "xml/Utf8Text.h"

#include <algorithm>

namespace {

std::u16string Number(std::size_t n) {
    const std::string s = std::to_string(n);
    return {s.begin(), s.end()};
}

}  // namespace

std::u16string MacroRowText(const Profile& profile, std::size_t macro, const ConfigTexts& texts) {
    if (macro >= profile.macros.size()) return {};
    return Number(macro + 1) + u"\t" + Utf16FromUtf8(profile.macros[macro].name) + u"\t" +
           (ReachesKeyboard(macro) ? texts.onKeyboard : texts.storedOnly);
}

std::vector<std::size_t> KeysUsingMacro(const Profile& profile, std::size_t macro) {
    std::vector<std::size_t> keys;
    for (std::size_t i = 0; i < profile.keys.size(); ++i)
        if (profile.keys[i].type == AssignMacro && profile.keys[i].parameter == static_cast<std::int32_t>(macro))
            keys.push_back(i);
    return keys;
}

std::u16string KeyNamesUsingMacro(const Profile& profile, const ButtonPosTable& layout, std::size_t macro) {
    std::u16string names;
    for (const std::size_t key : KeysUsingMacro(profile, macro)) {
        if (key >= layout.size()) continue;
        if (!names.empty()) names += u", ";
        names += layout[key].name;
    }
    return names;
}

std::string FreeMacroName(const Profile& profile, const std::string& base) {
    const auto taken = [&](const std::string& name) {
        return std::ranges::find(profile.macros, name, &ProfileMacro::name) != profile.macros.end();
    };
    if (!taken(base)) return base;
    // More names than macros are never taken, so the loop ends.
    for (std::size_t n = 2;; ++n)
        if (std::string name = base + " " + std::to_string(n); !taken(name)) return name;
}

std::string CopyName(const Profile& profile, const std::string& name) {
    const std::size_t space = name.find_last_of(' ');
    const bool numbered = space != std::string::npos && space > 0 && space + 1 < name.size() &&
                          name.find_first_not_of("0123456789", space + 1) == std::string::npos;
    return FreeMacroName(profile, numbered ? name.substr(0, space) : name);
}

std::u16string MacroCountText(const Profile& profile, const ConfigTexts& texts) {
    return texts.macroNumbersLeft + u": " + Number(static_cast<std::size_t>(DeviceMacroNumbersLeft(profile))) + u"/" +
           Number(kMaxDeviceMacros) + u"; " + texts.macrosStored + u": " + Number(profile.macros.size()) + u"/" +
           Number(kMaxProfileMacros);
}
