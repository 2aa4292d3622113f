#include "config/ConfigTexts.h"

#include "xml/LanguageStrings.h"

ConfigTexts LoadConfigTexts() {
    const auto text = [](std::u16string_view key) { return GetConfigText(u"config", key); };
    ConfigTexts t;
    t.keyboard = text(u"cfg_keyboard");
    t.details = text(u"cfg_details");
    t.key = text(u"cfg_key");
    t.vkcode = text(u"cfg_vkcode");
    t.stored = text(u"cfg_stored");
    t.factory = text(u"cfg_factory");
    t.remap = text(u"cfg_remap");
    t.media = text(u"cfg_media");
    t.mouse = text(u"cfg_mouse");
    t.shortcut = text(u"cfg_shortcut");
    t.macro = text(u"cfg_macro");
    t.unknown = text(u"cfg_unknown");
    t.noSettings = text(u"cfg_no_settings");
    t.noRecord = text(u"cfg_no_record");
    t.wrongType = text(u"cfg_wrong_type");
    t.wrongSize = text(u"cfg_wrong_size");
    t.unreadable = text(u"cfg_unreadable");
    t.fewerKeys = text(u"cfg_fewer_keys");
    t.rate = text(u"cfg_rate");
    t.rateCodes[0] = text(u"cfg_rate_1");
    t.rateCodes[1] = text(u"cfg_rate_2");
    t.rateCodes[2] = text(u"cfg_rate_8");
    t.setRate = text(u"cfg_set_rate");
    t.restore = text(u"cfg_restore");
    t.restoreAsk = text(u"cfg_restore_ask");
    t.rateAsked = text(u"cfg_rate_asked");
    t.restoreAsked = text(u"cfg_restore_asked");
    t.noAgent = text(u"cfg_no_agent");
    t.noAnswer = text(u"cfg_no_answer");
    t.menuFile = text(u"cfg_menu_file");
    t.menuKeyboard = text(u"cfg_menu_keyboard");
    t.menuExit = text(u"cfg_exit");
    t.titleStored = text(u"cfg_title_stored");
    t.titleNew = text(u"cfg_title_new");
    t.titleDraft = text(u"cfg_title_draft");
    t.menuNew = text(u"cfg_new");
    t.menuOpen = text(u"cfg_open");
    t.menuSave = text(u"cfg_save");
    t.menuSaveAs = text(u"cfg_save_as");
    t.profileFiles = text(u"cfg_profile_files");
    t.allFiles = text(u"cfg_all_files");
    t.saveAsk = text(u"cfg_save_ask");
    t.openFailed = text(u"cfg_open_failed");
    t.readFailed = text(u"cfg_read_failed");
    t.saveFailed = text(u"cfg_save_failed");
    t.recentMissing = text(u"cfg_recent_missing");
    t.notExpressed = text(u"cfg_not_expressed");
    t.closedRemoved = text(u"cfg_closed_removed");
    t.closedEnded = text(u"cfg_closed_ended");
    t.restoreDraft = text(u"cfg_restore_draft");
    t.draftDamaged = text(u"cfg_draft_damaged");
    t.dataDamaged = text(u"cfg_data_damaged");
    t.dataFailed = text(u"cfg_data_failed");
    t.valueType = text(u"cfg_value_type");
    t.valueSize = text(u"cfg_value_size");
    t.valueShorter = text(u"cfg_value_shorter");
    t.valueLonger = text(u"cfg_value_longer");
    // Languages
    t.menuLanguage = text(u"cfg_menu_language");
    t.languageSet = text(u"cfg_language_set");
    t.languageNoAgent = text(u"cfg_language_no_agent");
    t.languageNotEnded = text(u"cfg_language_not_ended");
    t.languageNotStarted = text(u"cfg_language_not_started");
    t.languageReadOnly = text(u"cfg_language_read_only");
    t.languageFailed = text(u"cfg_language_failed");
    return t;
}
