// The user-visible texts of language.xml: one process-wide string per key, named
// after the key and empty until LoadLanguageStrings fills it.
#pragma once

#include <span>
#include <string>
#include <string_view>

extern std::u16string str_title;
extern std::u16string str_players;
extern std::u16string str_play;
extern std::u16string str_stop;
extern std::u16string str_pre;
extern std::u16string str_next;
extern std::u16string str_voldown;
extern std::u16string str_volup;
extern std::u16string str_mute;
extern std::u16string str_back;
extern std::u16string str_forword;
extern std::u16string str_refresh;
extern std::u16string str_b_stop;
extern std::u16string str_search;
extern std::u16string str_favorites;
extern std::u16string str_home;
extern std::u16string str_mail;
extern std::u16string str_explorer;
extern std::u16string str_cal;
extern std::u16string str_profile;
extern std::u16string str_mouse_left;
extern std::u16string str_mouse_right;
extern std::u16string str_mouse_middle;
extern std::u16string str_mouse_dbclick;
extern std::u16string str_mouse_pre;
extern std::u16string str_mouse_next;
extern std::u16string str_swap;
extern std::u16string str_close;
extern std::u16string str_lock;
extern std::u16string str_run;
extern std::u16string str_show;
extern std::u16string str_cut;
extern std::u16string str_copy;
extern std::u16string str_past;
extern std::u16string str_all;
extern std::u16string str_find;
extern std::u16string str_new;
extern std::u16string str_print;
extern std::u16string str_save;
extern std::u16string str_undo;
extern std::u16string str_exit;
extern std::u16string str_config;
extern std::u16string str_comb;
extern std::u16string str_msg1;
extern std::u16string str_msg2;
extern std::u16string str_msg3;
extern std::u16string str_msg4;
extern std::u16string str_startrecord;
extern std::u16string str_stoprecord;
extern std::u16string str_macronew;
extern std::u16string str_looptime;
extern std::u16string str_autodelay;
extern std::u16string str_del;
extern std::u16string str_move_on;
extern std::u16string str_move_up;
extern std::u16string str_new_macro;
extern std::u16string str_newsingle;
extern std::u16string str_newcombo;

struct LanguageKey {
    std::u16string_view key;
    std::u16string* text;
};

// The keys in the order the loader reads them.
inline constexpr std::size_t kLanguageKeyCount = 58;
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
