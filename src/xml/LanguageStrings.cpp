#include "xml/LanguageStrings.h"

#include <array>

#include "xml/XmlDocument.h"

std::u16string str_title;
std::u16string str_players;
std::u16string str_play;
std::u16string str_stop;
std::u16string str_pre;
std::u16string str_next;
std::u16string str_voldown;
std::u16string str_volup;
std::u16string str_mute;
std::u16string str_back;
std::u16string str_forword;
std::u16string str_refresh;
std::u16string str_b_stop;
std::u16string str_search;
std::u16string str_favorites;
std::u16string str_home;
std::u16string str_mail;
std::u16string str_explorer;
std::u16string str_cal;
std::u16string str_profile;
std::u16string str_mouse_left;
std::u16string str_mouse_right;
std::u16string str_mouse_middle;
std::u16string str_mouse_dbclick;
std::u16string str_mouse_pre;
std::u16string str_mouse_next;
std::u16string str_swap;
std::u16string str_close;
std::u16string str_lock;
std::u16string str_run;
std::u16string str_show;
std::u16string str_cut;
std::u16string str_copy;
std::u16string str_past;
std::u16string str_all;
std::u16string str_find;
std::u16string str_new;
std::u16string str_print;
std::u16string str_save;
std::u16string str_undo;
std::u16string str_exit;
std::u16string str_config;
std::u16string str_comb;
std::u16string str_msg1;
std::u16string str_msg2;
std::u16string str_msg3;
std::u16string str_msg4;
std::u16string str_startrecord;
std::u16string str_stoprecord;
std::u16string str_macronew;
std::u16string str_looptime;
std::u16string str_autodelay;
std::u16string str_del;
std::u16string str_move_on;
std::u16string str_move_up;
std::u16string str_new_macro;
std::u16string str_newsingle;
std::u16string str_newcombo;

namespace {

// Read once at start-up and looked up again for every text.
XmlDocument g_languageDocument;

const std::array<LanguageKey, kLanguageKeyCount> kKeys{{
    {u"str_title", &str_title},
    {u"str_players", &str_players},
    {u"str_play", &str_play},
    {u"str_stop", &str_stop},
    {u"str_pre", &str_pre},
    {u"str_next", &str_next},
    {u"str_voldown", &str_voldown},
    {u"str_volup", &str_volup},
    {u"str_mute", &str_mute},
    {u"str_back", &str_back},
    {u"str_forword", &str_forword},
    {u"str_refresh", &str_refresh},
    {u"str_b_stop", &str_b_stop},
    {u"str_search", &str_search},
    {u"str_favorites", &str_favorites},
    {u"str_home", &str_home},
    {u"str_mail", &str_mail},
    {u"str_explorer", &str_explorer},
    {u"str_cal", &str_cal},
    {u"str_profile", &str_profile},
    {u"str_mouse_left", &str_mouse_left},
    {u"str_mouse_right", &str_mouse_right},
    {u"str_mouse_middle", &str_mouse_middle},
    {u"str_mouse_dbclick", &str_mouse_dbclick},
    {u"str_mouse_pre", &str_mouse_pre},
    {u"str_mouse_next", &str_mouse_next},
    {u"str_swap", &str_swap},
    {u"str_close", &str_close},
    {u"str_lock", &str_lock},
    {u"str_run", &str_run},
    {u"str_show", &str_show},
    {u"str_cut", &str_cut},
    {u"str_copy", &str_copy},
    {u"str_past", &str_past},
    {u"str_all", &str_all},
    {u"str_find", &str_find},
    {u"str_new", &str_new},
    {u"str_print", &str_print},
    {u"str_save", &str_save},
    {u"str_undo", &str_undo},
    {u"str_exit", &str_exit},
    {u"str_config", &str_config},
    {u"str_comb", &str_comb},
    {u"str_msg1", &str_msg1},
    {u"str_msg2", &str_msg2},
    {u"str_msg3", &str_msg3},
    {u"str_msg4", &str_msg4},
    {u"str_startrecord", &str_startrecord},
    {u"str_stoprecord", &str_stoprecord},
    {u"str_macronew", &str_macronew},
    {u"str_looptime", &str_looptime},
    {u"str_autodelay", &str_autodelay},
    {u"str_del", &str_del},
    {u"str_move_on", &str_move_on},
    {u"str_move_up", &str_move_up},
    {u"str_new_macro", &str_new_macro},
    {u"str_newsingle", &str_newsingle},
    {u"str_newcombo", &str_newcombo},
}};

}  // namespace

std::span<const LanguageKey, kLanguageKeyCount> LanguageKeys() {
    return kKeys;
}

std::u16string GetConfigText(XmlDocument& document, std::u16string_view element, std::u16string_view key) {
    document.Rewind();
    while (document.NextChildElement(element)) {
        document.EnterElement();
        if (document.NextChildElement(key))
            return document.ChildText();
    }
    return {};
}

std::u16string GetConfigText(std::u16string_view element, std::u16string_view key) {
    return GetConfigText(g_languageDocument, element, key);
}

void LoadLanguageStrings(std::u16string_view path) {
    g_languageDocument.LoadFile(path);
    for (const LanguageKey& k : kKeys)
        *k.text = GetConfigText(u"config", k.key);
}
