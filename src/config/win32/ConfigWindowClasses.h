// The window classes and control identifiers of K7_Config.exe, by which a second start finds
// the first and by which tests and accessibility tools find the parts of its window.
#pragma once

inline constexpr wchar_t kConfigMainClass[] = L"K7ConfigMain";
inline constexpr wchar_t kKeyboardViewClass[] = L"K7ConfigKeyboard";
inline constexpr wchar_t kKeyClass[] = L"K7ConfigKey";
inline constexpr wchar_t kCaptureClass[] = L"K7ConfigCapture";
// Session-local (no Global\ prefix): one program per logged-on user, as the agent.
inline constexpr wchar_t kConfigInstanceMutex[] = L"K7_CONFIG_MUTEX";

inline constexpr int IDC_KEYBOARD = 100;
inline constexpr int IDC_DETAILS = 101;
inline constexpr int IDC_RATE_LABEL = 102;
inline constexpr int IDC_RATE = 103;
inline constexpr int IDC_SET_RATE = 104;
inline constexpr int IDC_RESTORE = 105;
inline constexpr int IDC_STATUS = 106;
// The menu's commands, in ranges by the part of the program that carries them out.
inline constexpr int IDM_EXIT = 200;  // 200-249: the profile files
inline constexpr int IDM_NEW = 201;
inline constexpr int IDM_OPEN = 202;
inline constexpr int IDM_SAVE = 203;
inline constexpr int IDM_SAVE_AS = 204;
inline constexpr int IDM_RECENT_FIRST = 210;  // the recent files, the last used first
inline constexpr int IDM_RECENT_LAST = 217;
inline constexpr int IDM_RECENT_SEPARATOR = 218;
inline constexpr int IDM_SET_RATE = 300;  // 300-349: the requests to the agent: rate, factory, apply
inline constexpr int IDM_RESTORE = 301;
inline constexpr int IDM_ASSIGN = 250;  // 250-299: assigning keys
inline constexpr int IDM_APPLY = 302;
inline constexpr int IDM_MACROS = 350;  // 350-399: macros
// 400-499: the language files of the Language menu, in the order FindLanguageFiles lists them.
inline constexpr int IDM_LANGUAGE_FIRST = 400;
inline constexpr int IDM_LANGUAGE_LAST = 499;

// The macros window: the list, the editor of the chosen macro's events, the recording.
inline constexpr wchar_t kMacrosClass[] = L"K7ConfigMacros";
inline constexpr int IDC_MACRO_LIST = 2600;
inline constexpr int IDC_MACRO_NAME_LABEL = 2601;
inline constexpr int IDC_MACRO_NAME = 2602;
inline constexpr int IDC_MACRO_NEW = 2603;
inline constexpr int IDC_MACRO_RENAME = 2604;
inline constexpr int IDC_MACRO_DUPLICATE = 2605;
inline constexpr int IDC_MACRO_DELETE = 2606;
inline constexpr int IDC_MACRO_UP = 2607;
inline constexpr int IDC_MACRO_DOWN = 2608;
inline constexpr int IDC_MACRO_COUNT = 2609;
inline constexpr int IDC_EVENT_LIST = 2620;
inline constexpr int IDC_EVENT_KIND_LABEL = 2621;
inline constexpr int IDC_EVENT_KIND = 2622;
inline constexpr int IDC_EVENT_KEY_LABEL = 2623;
inline constexpr int IDC_EVENT_KEY = 2624;
inline constexpr int IDC_EVENT_DELAY_LABEL = 2625;
inline constexpr int IDC_EVENT_DELAY = 2626;
inline constexpr int IDC_EVENT_ADD = 2627;
inline constexpr int IDC_EVENT_CHANGE = 2628;
inline constexpr int IDC_EVENT_DELETE = 2629;
inline constexpr int IDC_EVENT_UP = 2630;
inline constexpr int IDC_EVENT_DOWN = 2631;
inline constexpr int IDC_REPEAT_LABEL = 2632;
inline constexpr int IDC_REPEAT = 2633;
inline constexpr int IDC_FIXED = 2634;
inline constexpr int IDC_FIXED_DELAY_LABEL = 2635;
inline constexpr int IDC_FIXED_DELAY = 2636;
inline constexpr int IDC_RECORD = 2637;
inline constexpr int IDC_MACRO_STATUS = 2638;
inline constexpr int IDC_MACRO_LIMITS = 2639;

// 2200-2399: applying.
inline constexpr int IDC_APPLY = 2200;
inline constexpr int IDC_APPLY_PROGRESS = 2201;

// Assigning keys (2000-2199): the main window's combination meter and the assignment dialog.
inline constexpr int IDC_METER = 2000;
inline constexpr int IDC_ASSIGN_KIND_LABEL = 2001;
inline constexpr int IDC_ASSIGN_KIND = 2002;
inline constexpr int IDC_ASSIGN_LIST_LABEL = 2003;
inline constexpr int IDC_ASSIGN_LIST = 2004;
inline constexpr int IDC_ASSIGN_KEYS_LABEL = 2005;
inline constexpr int IDC_ASSIGN_KEY1 = 2006;  // to IDC_ASSIGN_KEY1 + 3
inline constexpr int IDC_ASSIGN_SINGLE = 2010;
inline constexpr int IDC_ASSIGN_TOGETHER = 2011;
inline constexpr int IDC_ASSIGN_CAPTURE_LABEL = 2012;
inline constexpr int IDC_ASSIGN_CAPTURE = 2013;
inline constexpr int IDC_ASSIGN_VERDICT = 2014;

// Key i of ButtonPos.xml is the child window with this identifier plus i.
inline constexpr int IDC_FIRST_KEY = 1000;

// Notification codes of the keyboard view, sent to its parent in WM_COMMAND.
inline constexpr int KVN_SELECTED = 1;  // a key was chosen (mouse, arrow keys, Tab)
inline constexpr int KVN_OPEN = 2;      // Enter or a double click on the chosen key
