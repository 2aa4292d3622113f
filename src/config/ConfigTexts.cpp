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
    t.menuKey = text(u"cfg_menu_key");
    t.assign = text(u"cfg_assign");
    t.assignTitle = text(u"cfg_assign_title");
    t.assignKind = text(u"cfg_assign_kind");
    t.assignFunction = text(u"cfg_assign_function");
    t.assignKeys = text(u"cfg_assign_keys");
    t.assignKey = text(u"cfg_assign_key");
    t.noKey = text(u"cfg_assign_none");
    t.capture = text(u"cfg_assign_capture");
    t.captureArm = text(u"cfg_assign_arm");
    t.captureWaiting = text(u"cfg_assign_waiting");
    t.captureChord = text(u"cfg_assign_chord");
    t.cannotProduce = text(u"cfg_assign_cannot");
    t.noMacros = text(u"cfg_assign_no_macros");
    t.fits = text(u"cfg_assign_fits");
    t.fromApplied = text(u"cfg_from_applied");
    t.ok = text(u"cfg_ok");
    t.cancel = text(u"cfg_cancel");
    t.mouseButton = text(u"cfg_mouse_button");
    t.macroOff = text(u"cfg_macro_off");
    t.meter = text(u"cfg_meter");
    t.meterFactory = text(u"cfg_meter_factory");
    t.meterApplied = text(u"cfg_meter_applied");
    t.meterFull = text(u"cfg_meter_full");
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
