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
    std::u16string noRecord;      // cfg_no_record
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
    // Languages: the Language menu and the outcomes of choosing a language file.
    std::u16string menuLanguage;        // cfg_menu_language
    std::u16string languageSet;         // cfg_language_set
    std::u16string languageNoAgent;     // cfg_language_no_agent
    std::u16string languageNotEnded;    // cfg_language_not_ended
    std::u16string languageNotStarted;  // cfg_language_not_started
    std::u16string languageReadOnly;    // cfg_language_read_only
    std::u16string languageFailed;      // cfg_language_failed

    // Applying the profile (CApplyControl)
    std::u16string apply;            // cfg_apply: the button and Keyboard > Apply
    std::u16string applyProgress;    // cfg_apply_progress: the progress bar's name
    std::u16string applying;         // cfg_applying: the status line while the agent works
    std::u16string applied;          // str_msg1: the settings reached the keyboard
    std::u16string applyReset;       // cfg_apply_reset: a key reset, its name and reason follow
    std::u16string resetSlots;       // cfg_reset_slots: the reasons
    std::u16string resetMacro;       // cfg_reset_macro
    std::u16string resetReference;   // cfg_reset_reference
    std::u16string resetCode;        // cfg_reset_code: a code no key of ButtonPos.xml has
    std::u16string keyReset;         // cfg_key_reset: added to a reset key's accessible name
    std::u16string applyClosed;      // cfg_apply_closed
    std::u16string applyTimeout;     // cfg_apply_timeout
    std::u16string applyInvalid;     // cfg_apply_invalid: the first finding follows
    std::u16string applyNotStored;   // cfg_apply_not_stored
    std::u16string applyBusy;        // cfg_apply_busy
    std::u16string startAgentAsk;    // cfg_start_agent_ask
    std::u16string agentNotStarted;  // cfg_agent_not_started
    std::u16string agentNoWindow;    // cfg_agent_no_window
};

// The report-rate codes the agent passes on to the keyboard, in the order the texts list them.
inline constexpr int kReportRateCodes[3] = {1, 2, 8};

// From the language document LoadLanguageStrings has read; a missing key leaves its text empty,
// as the agent's own strings are.
ConfigTexts LoadConfigTexts();
