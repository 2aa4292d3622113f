// The user-visible texts of language.xml: one process-wide string per key, named
// after the key and empty until LoadLanguageStrings fills it.
#pragma once

#include <span>
#include <string>
#include <string_view>

// Every key, once, in the order the loader reads them: X(name) for each.
// clang-format off
#define K7_LANGUAGE_KEYS(X) \
    X(str_title) X(str_players) X(str_play) X(str_stop) \
    X(str_pre) X(str_next) X(str_voldown) X(str_volup) \
    X(str_mute) X(str_back) X(str_forword) X(str_refresh) \
    X(str_b_stop) X(str_search) X(str_favorites) X(str_home) \
    X(str_mail) X(str_explorer) X(str_cal) X(str_profile) \
    X(str_mouse_left) X(str_mouse_right) X(str_mouse_middle) X(str_mouse_dbclick) \
    X(str_mouse_pre) X(str_mouse_next) X(str_swap) X(str_close) \
    X(str_lock) X(str_run) X(str_show) X(str_cut) \
    X(str_copy) X(str_past) X(str_all) X(str_find) \
    X(str_new) X(str_print) X(str_save) X(str_undo) \
    X(str_exit) X(str_config) X(str_comb) X(str_msg1) \
    X(str_msg2) X(str_msg3) X(str_msg4) X(str_startrecord) \
    X(str_stoprecord) X(str_macronew) X(str_looptime) X(str_autodelay) \
    X(str_del) X(str_move_on) X(str_move_up) X(str_new_macro) \
    X(str_newsingle) X(str_newcombo)
// clang-format on

#define K7_DECLARE_LANGUAGE_STRING(name) extern std::u16string name;
K7_LANGUAGE_KEYS(K7_DECLARE_LANGUAGE_STRING)
#undef K7_DECLARE_LANGUAGE_STRING

struct LanguageKey {
    std::u16string_view key;
    std::u16string* text;
};

#define K7_COUNT_LANGUAGE_KEY(name) +1
inline constexpr std::size_t kLanguageKeyCount = 0 K7_LANGUAGE_KEYS(K7_COUNT_LANGUAGE_KEY);
#undef K7_COUNT_LANGUAGE_KEY
static_assert(kLanguageKeyCount == 58);
std::span<const LanguageKey, kLanguageKeyCount> LanguageKeys();

// Loads the file into the process-wide language document (a file that cannot be
// read leaves it empty) and sets every string to GetConfigText("config", key).
void LoadLanguageStrings(std::u16string_view path);

// The text of the child element `key` of the first `element` below the top-level
// element (or, failing that, of an `element` nested directly inside it, and so
// on); empty when there is none.
std::u16string GetConfigText(std::u16string_view element, std::u16string_view key);

// The same lookup in another document than the process-wide one (a language file that is not
// in place).
class XmlDocument;
std::u16string GetConfigText(XmlDocument& document, std::u16string_view element, std::u16string_view key);
