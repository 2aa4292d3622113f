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
    // Profiles, files and kept edits.
    std::u16string titleStored;        // cfg_title_stored: the title's part for what the document shows
    std::u16string titleNew;           // cfg_title_new
    std::u16string titleDraft;         // cfg_title_draft
    std::u16string menuNew;            // cfg_new: the File menu
    std::u16string menuOpen;           // cfg_open
    std::u16string menuSave;           // cfg_save
    std::u16string menuSaveAs;         // cfg_save_as
    std::u16string profileFiles;       // cfg_profile_files: the file dialogs' filters
    std::u16string allFiles;           // cfg_all_files
    std::u16string saveAsk;            // cfg_save_ask: questions and messages; %1, %2 ... are filled in
    std::u16string openFailed;         // cfg_open_failed
    std::u16string readFailed;         // cfg_read_failed
    std::u16string saveFailed;         // cfg_save_failed
    std::u16string recentMissing;      // cfg_recent_missing
    std::u16string notExpressed;       // cfg_not_expressed
    std::u16string closedRemoved;      // cfg_closed_removed
    std::u16string closedEnded;        // cfg_closed_ended
    std::u16string closedDuringApply;  // cfg_closed_during_apply: added to either
    std::u16string restoreDraft;       // cfg_restore_draft
    std::u16string draftDamaged;       // cfg_draft_damaged
    std::u16string dataDamaged;        // cfg_data_damaged
    std::u16string dataFailed;         // cfg_data_failed
    std::u16string valueType;          // cfg_value_type
    std::u16string valueSize;          // cfg_value_size
    std::u16string valueShorter;       // cfg_value_shorter
    std::u16string valueLonger;        // cfg_value_longer

    // The macros window (its buttons also take str_macronew, str_del, str_move_up, str_move_on,
    // str_looptime, str_autodelay, str_startrecord and str_stoprecord).
    std::u16string menuMacros;        // cfg_menu_macros: the menu bar
    std::u16string editMacros;        // cfg_edit_macros: the menu item and the main window's button
    std::u16string macros;            // cfg_macros: the window's title, the list's name
    std::u16string macroName;         // cfg_macro_name: the name field's label
    std::u16string rename;            // cfg_rename
    std::u16string duplicate;         // cfg_duplicate
    std::u16string onKeyboard;        // cfg_on_keyboard: a macro with a device macro number
    std::u16string storedOnly;        // cfg_stored_only: one beyond the eleventh
    std::u16string macroNumbersLeft;  // cfg_macro_numbers_left
    std::u16string macrosStored;      // cfg_macros_stored
    std::u16string macroListFull;     // cfg_macro_list_full
    std::u16string deleteAsk;         // cfg_delete_macro_ask: the keys' names follow
    std::u16string events;            // cfg_events: the event list's name
    std::u16string keyDown;           // cfg_key_down
    std::u16string keyUp;             // cfg_key_up
    std::u16string eventKind;         // cfg_event_kind
    std::u16string eventKey;          // cfg_event_key: the event fields' labels
    std::u16string eventDelay;        // cfg_event_delay
    std::u16string addEvent;          // cfg_add_event
    std::u16string changeEvent;       // cfg_change_event
    std::u16string deleteEvent;       // cfg_delete_event
    std::u16string eventUp;           // cfg_event_up
    std::u16string eventDown;         // cfg_event_down
    std::u16string fixedDelay;        // cfg_fixed_delay: the fixed delay's label
    std::u16string eventsOnKeyboard;  // cfg_events_on_keyboard
    std::u16string delaySteps;        // cfg_delay_steps
    std::u16string cannotSave;        // cfg_cannot_save: the checker's reasons follow
    std::u16string badNumber;         // cfg_bad_number
    std::u16string recording;         // cfg_recording: the captured events follow
    std::u16string refusedKey;        // cfg_refused_key: the key's name follows
    std::u16string recordFailed;      // cfg_record_failed
    std::u16string noMacro;           // cfg_no_macro: the editor without a chosen macro
    // Assigning keys and the combination meter.
    std::u16string menuKey;         // cfg_menu_key
    std::u16string assign;          // cfg_assign
    std::u16string assignTitle;     // cfg_assign_title
    std::u16string assignKind;      // cfg_assign_kind
    std::u16string assignFunction;  // cfg_assign_function
    std::u16string assignKeys;      // cfg_assign_keys
    std::u16string assignKey;       // cfg_assign_key
    std::u16string noKey;           // cfg_assign_none
    std::u16string capture;         // cfg_assign_capture
    std::u16string captureArm;      // cfg_assign_arm
    std::u16string captureWaiting;  // cfg_assign_waiting
    std::u16string captureChord;    // cfg_assign_chord
    std::u16string cannotProduce;   // cfg_assign_cannot
    std::u16string noMacros;        // cfg_assign_no_macros
    std::u16string fits;            // cfg_assign_fits
    std::u16string fromApplied;     // cfg_from_applied
    std::u16string ok;              // cfg_ok
    std::u16string cancel;          // cfg_cancel
    std::u16string mouseButton;     // cfg_mouse_button
    std::u16string macroOff;        // cfg_macro_off
    std::u16string meter;           // cfg_meter
    std::u16string meterFactory;    // cfg_meter_factory
    std::u16string meterApplied;    // cfg_meter_applied
    std::u16string meterFull;       // cfg_meter_full
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
