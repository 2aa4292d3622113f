#include "config/ProfileFunctionText.h"

#include "Describe.h"
#include "KeyNames.h"
#include "config/KeyDetails.h"
#include "xml/LanguageStrings.h"
#include "xml/Utf8Text.h"

#include <span>
#include <string_view>

namespace {

// The agent's string for each function the profile library names; a function missing here
// has no string of its own (the mouse buttons 6 to 16).
struct NamedText {
    std::string_view name;
    const std::u16string* text;
};

const NamedText kFunctionTexts[] = {
    {"MediaPlayer", &str_players}, {"PlayPause", &str_play},
    {"Stop", &str_stop},           {"PreviousTrack", &str_pre},
    {"NextTrack", &str_next},      {"VolumeDown", &str_voldown},
    {"VolumeUp", &str_volup},      {"Mute", &str_mute},
    {"BrowserBack", &str_back},    {"BrowserForward", &str_forword},
    {"BrowserStop", &str_b_stop},  {"BrowserRefresh", &str_refresh},
    {"Bookmarks", &str_favorites}, {"Search", &str_search},
    {"Email", &str_mail},          {"BrowserHome", &str_home},
    {"MyComputer", &str_explorer}, {"Calculator", &str_cal},
    {"Alt+Tab", &str_swap},        {"Alt+F4", &str_close},
    {"Win+L", &str_lock},          {"Win+R", &str_run},
    {"Win+D", &str_show},          {"Ctrl+X", &str_cut},
    {"Ctrl+C", &str_copy},         {"Ctrl+V", &str_past},
    {"Ctrl+A", &str_all},          {"Ctrl+F", &str_find},
    {"Ctrl+N", &str_new},          {"Ctrl+P", &str_print},
    {"Ctrl+S", &str_save},         {"Ctrl+Z", &str_undo},
};

const NamedText kMouseTexts[] = {
    {"Left", &str_mouse_left},           {"Right", &str_mouse_right}, {"Middle", &str_mouse_middle},
    {"DoubleClick", &str_mouse_dbclick}, {"Back", &str_mouse_pre},    {"Forward", &str_mouse_next},
};

const std::u16string* TextOf(std::span<const NamedText> table, std::string_view name) {
    for (const NamedText& entry : table)
        if (entry.name == name) return entry.text;
    return nullptr;
}

std::u16string Utf16(std::string_view text) { return Utf16FromUtf8(text); }

}  // namespace

std::u16string CProfileFunctionText::ShortText(const Profile& profile, const KeyFunction& function) const {
    const std::string_view member = FunctionMember(function);
    if (function.type == AssignDefault) return {};
    // A type the profile cannot name (the agent leaves such a key as it is) says its kind.
    if (member == "default") return KindName(function.type, m_texts);
    const std::vector<std::string_view> names = FunctionNames(profile, function);
    const std::string_view name = names.empty() ? std::string_view() : names.front();
    if (member == "mouse") {
        if (const std::u16string* text = TextOf(kMouseTexts, name)) return *text;
        return m_texts.mouseButton + u" " + Utf16(std::to_string(function.parameter));
    }
    if (member == "media" || member == "media-alt" || member == "shortcut") {
        if (const std::u16string* text = TextOf(kFunctionTexts, name)) return *text;
        return KindName(function.type, m_texts);
    }
    if (member == "remap") return u"\u00BB " + Utf16(name);
    if (member == "macro") return Utf16(name);
    // A combination: its keys joined as shortcuts are written, a gap as a key left out.
    std::u16string keys;
    for (std::size_t i = 0; i < names.size(); ++i)
        keys += (i ? u"+" : u"") + (names[i].empty() ? m_texts.noKey : Utf16(names[i]));
    return keys.empty() ? str_comb : keys;
}
