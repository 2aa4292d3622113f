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
    return t;
}
