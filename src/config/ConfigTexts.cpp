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
    // Languages
    t.menuLanguage = text(u"cfg_menu_language");
    t.languageSet = text(u"cfg_language_set");
    t.languageNoAgent = text(u"cfg_language_no_agent");
    t.languageNotEnded = text(u"cfg_language_not_ended");
    t.languageNotStarted = text(u"cfg_language_not_started");
    t.languageReadOnly = text(u"cfg_language_read_only");
    t.languageFailed = text(u"cfg_language_failed");

    t.apply = text(u"cfg_apply");
    t.applyProgress = text(u"cfg_apply_progress");
    t.applying = text(u"cfg_applying");
    t.applied = text(u"str_msg1");
    t.applyReset = text(u"cfg_apply_reset");
    t.resetSlots = text(u"cfg_reset_slots");
    t.resetMacro = text(u"cfg_reset_macro");
    t.resetReference = text(u"cfg_reset_reference");
    t.resetCode = text(u"cfg_reset_code");
    t.keyReset = text(u"cfg_key_reset");
    t.applyClosed = text(u"cfg_apply_closed");
    t.applyTimeout = text(u"cfg_apply_timeout");
    t.applyInvalid = text(u"cfg_apply_invalid");
    t.applyNotStored = text(u"cfg_apply_not_stored");
    t.applyBusy = text(u"cfg_apply_busy");
    t.startAgentAsk = text(u"cfg_start_agent_ask");
    t.agentNotStarted = text(u"cfg_agent_not_started");
    t.agentNoWindow = text(u"cfg_agent_no_window");
    return t;
}
