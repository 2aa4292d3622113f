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

    t.menuMacros = text(u"cfg_menu_macros");
    t.editMacros = text(u"cfg_edit_macros");
    t.macros = text(u"cfg_macros");
    t.macroName = text(u"cfg_macro_name");
    t.rename = text(u"cfg_rename");
    t.duplicate = text(u"cfg_duplicate");
    t.onKeyboard = text(u"cfg_on_keyboard");
    t.storedOnly = text(u"cfg_stored_only");
    t.macroNumbersLeft = text(u"cfg_macro_numbers_left");
    t.macrosStored = text(u"cfg_macros_stored");
    t.macroListFull = text(u"cfg_macro_list_full");
    t.deleteAsk = text(u"cfg_delete_macro_ask");
    t.events = text(u"cfg_events");
    t.keyDown = text(u"cfg_key_down");
    t.keyUp = text(u"cfg_key_up");
    t.eventKind = text(u"cfg_event_kind");
    t.eventKey = text(u"cfg_event_key");
    t.eventDelay = text(u"cfg_event_delay");
    t.addEvent = text(u"cfg_add_event");
    t.changeEvent = text(u"cfg_change_event");
    t.deleteEvent = text(u"cfg_delete_event");
    t.eventUp = text(u"cfg_event_up");
    t.eventDown = text(u"cfg_event_down");
    t.fixedDelay = text(u"cfg_fixed_delay");
    t.eventsOnKeyboard = text(u"cfg_events_on_keyboard");
    t.delaySteps = text(u"cfg_delay_steps");
    t.cannotSave = text(u"cfg_cannot_save");
    t.badNumber = text(u"cfg_bad_number");
    t.recording = text(u"cfg_recording");
    t.refusedKey = text(u"cfg_refused_key");
    t.noMacro = text(u"cfg_no_macro");
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
