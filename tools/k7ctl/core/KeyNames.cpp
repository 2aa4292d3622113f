#include "KeyNames.h"

namespace {

// The table keeps its rows.
// clang-format off
constexpr NamedCode kVirtualKeys[] = {
    {"A", 0x41}, {"B", 0x42}, {"C", 0x43}, {"D", 0x44}, {"E", 0x45}, {"F", 0x46}, {"G", 0x47},
    {"H", 0x48}, {"I", 0x49}, {"J", 0x4A}, {"K", 0x4B}, {"L", 0x4C}, {"M", 0x4D}, {"N", 0x4E},
    {"O", 0x4F}, {"P", 0x50}, {"Q", 0x51}, {"R", 0x52}, {"S", 0x53}, {"T", 0x54}, {"U", 0x55},
    {"V", 0x56}, {"W", 0x57}, {"X", 0x58}, {"Y", 0x59}, {"Z", 0x5A},
    {"0", 0x30}, {"1", 0x31}, {"2", 0x32}, {"3", 0x33}, {"4", 0x34},
    {"5", 0x35}, {"6", 0x36}, {"7", 0x37}, {"8", 0x38}, {"9", 0x39},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"Num0", 0x60}, {"Num1", 0x61}, {"Num2", 0x62}, {"Num3", 0x63}, {"Num4", 0x64},
    {"Num5", 0x65}, {"Num6", 0x66}, {"Num7", 0x67}, {"Num8", 0x68}, {"Num9", 0x69},
    {"NumDivide", 0x6F}, {"NumMultiply", 0x6A}, {"NumMinus", 0x6D}, {"NumPlus", 0x6B},
    {"NumEnter", 0xDA}, {"NumDecimal", 0x6E}, {"NumLock", 0x90},
    {"Enter", 0x0D}, {"Esc", 0x1B}, {"Backspace", 0x08}, {"Tab", 0x09}, {"Space", 0x20},
    {"Minus", 0xBD}, {"Equals", 0xBB}, {"LeftBracket", 0xDB}, {"RightBracket", 0xDD},
    {"Backslash", 0xDC}, {"Semicolon", 0xBA}, {"Quote", 0xDE}, {"Grave", 0xC0},
    {"Comma", 0xBC}, {"Period", 0xBE}, {"Slash", 0xBF}, {"CapsLock", 0x14},
    {"PrintScreen", 0x2C}, {"ScrollLock", 0x91}, {"Pause", 0x13},
    {"Insert", 0x2D}, {"Home", 0x24}, {"PageUp", 0x21}, {"Delete", 0x2E}, {"End", 0x23}, {"PageDown", 0x22},
    {"Up", 0x26}, {"Down", 0x28}, {"Left", 0x25}, {"Right", 0x27}, {"Menu", 0x5D},
    {"LeftCtrl", 0xA2}, {"LeftShift", 0xA0}, {"LeftAlt", 0xA4}, {"LeftWin", 0x5B},
    {"RightCtrl", 0xA3}, {"RightShift", 0xA1}, {"RightAlt", 0xA5}, {"RightWin", 0x5C},
};
// clang-format on

// In the order of the consumer-function table.
// The table keeps its rows.
// clang-format off
constexpr NamedCode kMedia[] = {
    {"MediaPlayer", 0}, {"PlayPause", 1}, {"Stop", 2}, {"PreviousTrack", 3}, {"NextTrack", 4},
    {"VolumeDown", 5}, {"VolumeUp", 6}, {"Mute", 7}, {"BrowserBack", 8}, {"BrowserForward", 9},
    {"BrowserStop", 10}, {"BrowserRefresh", 11}, {"Bookmarks", 12}, {"Search", 13}, {"Email", 14},
    {"BrowserHome", 15}, {"MyComputer", 16}, {"Calculator", 17},
};
// clang-format on

// The table keeps its rows.
// clang-format off
constexpr NamedCode kShortcuts[] = {
    {"Alt+Tab", ShortcutCode(2, 1)}, {"Alt+F4", ShortcutCode(2, 2)}, {"Win+L", ShortcutCode(2, 3)},
    {"Win+R", ShortcutCode(2, 4)},   {"Win+D", ShortcutCode(2, 5)},
    {"Ctrl+X", ShortcutCode(6, 1)},  {"Ctrl+C", ShortcutCode(6, 2)},  {"Ctrl+V", ShortcutCode(6, 3)},
    {"Ctrl+A", ShortcutCode(6, 4)},  {"Ctrl+F", ShortcutCode(6, 5)},  {"Ctrl+N", ShortcutCode(6, 6)},
    {"Ctrl+P", ShortcutCode(6, 7)},  {"Ctrl+S", ShortcutCode(6, 8)},  {"Ctrl+Z", ShortcutCode(6, 9)},
};
// clang-format on

// The table keeps its rows.
// clang-format off
constexpr NamedCode kMouse[] = {
    {"Left", 1},      {"Right", 2},     {"Middle", 3},        {"Back", 4},      {"Forward", 5},   {"Button6", 6},
    {"Button7", 7},   {"Button8", 8},   {"Button9", 9},       {"DoubleClick", 10}, {"Button11", 11},
    {"Button12", 12}, {"Button13", 13}, {"Button14", 14},     {"Button15", 15}, {"Button16", 16},
};
// clang-format on

}  // namespace

std::span<const NamedCode> VirtualKeyNames() { return kVirtualKeys; }
std::span<const NamedCode> MediaNames() { return kMedia; }
std::span<const NamedCode> ShortcutNames() { return kShortcuts; }
std::span<const NamedCode> MouseNames() { return kMouse; }

std::int32_t CodeForName(std::span<const NamedCode> table, std::string_view name) {
    for (const NamedCode& n : table)
        if (n.name == name) return n.code;
    return -1;
}

std::string_view NameForCode(std::span<const NamedCode> table, std::int32_t code) {
    for (const NamedCode& n : table)
        if (n.code == code) return n.name;
    return {};
}
