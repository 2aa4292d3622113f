// The configuration program's texts of its own. They live in language.xml beside the agent's
// (element `config`, keys `cfg_...`, which the agent does not read); docs/config-program.md
// lists them. Texts that the agent's 58 keys already hold come from those (str_title, str_comb).
#pragma once

#include <string>

struct ConfigTexts {
    std::u16string keyboard;      // cfg_keyboard: the name of the keyboard view
    std::u16string details;       // cfg_details: the name of the details panel
    std::u16string key;           // cfg_key
    std::u16string vkcode;        // cfg_vkcode
    std::u16string stored;        // cfg_stored
    std::u16string factory;       // cfg_factory: kind names
    std::u16string remap;         // cfg_remap
    std::u16string media;         // cfg_media
    std::u16string mouse;         // cfg_mouse
    std::u16string shortcut;      // cfg_shortcut
    std::u16string macro;         // cfg_macro
    std::u16string unknown;       // cfg_unknown
    std::u16string noSettings;    // cfg_no_settings
    std::u16string wrongType;     // cfg_wrong_type
    std::u16string wrongSize;     // cfg_wrong_size
    std::u16string unreadable;    // cfg_unreadable
    std::u16string fewerKeys;     // cfg_fewer_keys
    std::u16string rate;          // cfg_rate: the label of the report-rate codes
    std::u16string rateCodes[3];  // cfg_rate_1, cfg_rate_2, cfg_rate_8
    std::u16string setRate;       // cfg_set_rate: the button
    std::u16string restore;       // cfg_restore: the button
    std::u16string restoreAsk;    // cfg_restore_ask: the confirmation
    std::u16string rateAsked;     // cfg_rate_asked: results in the status line
    std::u16string restoreAsked;  // cfg_restore_asked
    std::u16string noAgent;       // cfg_no_agent
    std::u16string noAnswer;      // cfg_no_answer
    std::u16string menuFile;      // cfg_menu_file: the menu bar
    std::u16string menuKeyboard;  // cfg_menu_keyboard
    std::u16string menuExit;      // cfg_exit
    // Assigning keys and the combination meter.
    std::u16string menuKey;               // cfg_menu_key
    std::u16string assign;                // cfg_assign
    std::u16string assignTitle;           // cfg_assign_title
    std::u16string assignKind;            // cfg_assign_kind
    std::u16string assignFunction;        // cfg_assign_function
    std::u16string assignKeys;            // cfg_assign_keys
    std::u16string assignKey;             // cfg_assign_key
    std::u16string noKey;                 // cfg_assign_none
    std::u16string capture;               // cfg_assign_capture
    std::u16string captureArm;               // cfg_assign_arm
    std::u16string captureWaiting;        // cfg_assign_waiting
    std::u16string captureChord;          // cfg_assign_chord
    std::u16string cannotProduce;         // cfg_assign_cannot
    std::u16string noMacros;              // cfg_assign_no_macros
    std::u16string fits;                  // cfg_assign_fits
    std::u16string fromApplied;           // cfg_from_applied
    std::u16string ok;                    // cfg_ok
    std::u16string cancel;                // cfg_cancel
    std::u16string mouseButton;           // cfg_mouse_button
    std::u16string macroOff;              // cfg_macro_off
    std::u16string meter;                 // cfg_meter
    std::u16string meterFactory;          // cfg_meter_factory
    std::u16string meterApplied;          // cfg_meter_applied
    std::u16string meterFull;             // cfg_meter_full
    // Languages: the Language menu and the outcomes of choosing a language file.
    std::u16string menuLanguage;        // cfg_menu_language
    std::u16string languageSet;         // cfg_language_set
    std::u16string languageNoAgent;     // cfg_language_no_agent
    std::u16string languageNotEnded;    // cfg_language_not_ended
    std::u16string languageNotStarted;  // cfg_language_not_started
    std::u16string languageReadOnly;    // cfg_language_read_only
    std::u16string languageFailed;      // cfg_language_failed
};

// The report-rate codes the agent passes on to the keyboard, in the order the texts list them.
inline constexpr int kReportRateCodes[3] = {1, 2, 8};

// From the language document LoadLanguageStrings has read; a missing key leaves its text empty,
// as the agent's own strings are.
ConfigTexts LoadConfigTexts();
