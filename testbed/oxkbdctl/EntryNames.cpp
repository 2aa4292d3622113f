#include "EntryNames.h"

#include <cstdio>

namespace {

// HID Keyboard/Keypad page, usages 0x04 to 0x65.
// The table keeps its rows.
// clang-format off
constexpr const char* kKeys04[] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T",
    "U", "V", "W", "X", "Y", "Z", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0",
    "Enter", "Escape", "Backspace", "Tab", "Space", "-", "=", "[", "]", "\\", "Non-US #", ";", "'", "`",
    ",", ".", "/", "Caps Lock", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "Print Screen", "Scroll Lock", "Pause", "Insert", "Home", "Page Up", "Delete", "End", "Page Down",
    "Right", "Left", "Down", "Up", "Num Lock", "Keypad /", "Keypad *", "Keypad -", "Keypad +",
    "Keypad Enter", "Keypad 1", "Keypad 2", "Keypad 3", "Keypad 4", "Keypad 5", "Keypad 6", "Keypad 7",
    "Keypad 8", "Keypad 9", "Keypad 0", "Keypad .", "Non-US \\", "Application",
};
// clang-format on
static_assert(sizeof kKeys04 / sizeof kKeys04[0] == 0x65 - 0x04 + 1);

constexpr const char* kModifiers[] = {"Left Ctrl",  "Left Shift",  "Left Alt",  "Left GUI",
                                      "Right Ctrl", "Right Shift", "Right Alt", "Right GUI"};

struct Named {
    std::uint16_t usage;
    const char* name;
};

constexpr Named kOtherKeys[] = {
    {0x85, "Keypad Comma"},    {0x87, "International 1"}, {0x88, "International 2"}, {0x89, "International 3"},
    {0x8A, "International 4"}, {0x8B, "International 5"}, {0x90, "Lang 1"},          {0x91, "Lang 2"},
};

// The table keeps its rows.
// clang-format off
constexpr Named kConsumer[] = {
    {0x00B5, "Next Track"}, {0x00B6, "Previous Track"}, {0x00B7, "Stop"}, {0x00CD, "Play/Pause"},
    {0x00E2, "Mute"}, {0x00E9, "Volume Up"}, {0x00EA, "Volume Down"}, {0x0183, "Media Player"},
    {0x018A, "Email"}, {0x0192, "Calculator"}, {0x0194, "My Computer"}, {0x0221, "Search"},
    {0x0223, "Home Page"}, {0x0224, "Back"}, {0x0225, "Forward"}, {0x0226, "Stop Loading"},
    {0x0227, "Refresh"}, {0x022A, "Bookmarks"},
};
// clang-format on

// The table keeps its rows.
// clang-format off
const char* Find(const Named* table, std::size_t count, std::uint16_t usage) {
    for (std::size_t i = 0; i < count; ++i)
        if (table[i].usage == usage) return table[i].name;
    return "";
}

}  // namespace

const char* KeyboardUsageName(std::uint8_t usage) {
    if (usage >= 0x04 && usage <= 0x65) return kKeys04[usage - 0x04];
    if (usage >= 0xE0 && usage <= 0xE7) return kModifiers[usage - 0xE0];
    return Find(kOtherKeys, std::size(kOtherKeys), usage);
}

const char* ConsumerUsageName(std::uint16_t usage) { return Find(kConsumer, std::size(kConsumer), usage); }

std::string DescribeEntry(const KeyEntry& e) {
    char text[64];
    const auto withName = [&](const char* kind, unsigned usage, const char* name) {
        if (*name) std::snprintf(text, sizeof text, "%s %s", kind, name);
        else std::snprintf(text, sizeof text, "%s usage 0x%02X", kind, usage);
    };
    // clang-format on
    switch (e.b[0]) {
    case KindKey:
        if (e == KeyEntry{}) return "unassigned";
        withName("key", e.b[1], KeyboardUsageName(e.b[1]));
        break;
    case KindMouse:
        std::snprintf(text, sizeof text, "mouse button %u%s", e.b[2], e.b[3] == 1 ? " double-click" : "");
        break;
    case KindConsumer: {
        const std::uint16_t usage = static_cast<std::uint16_t>(e.b[2] << 8 | e.b[3]);  // big-endian
        withName("consumer", usage, ConsumerUsageName(usage));
        break;
    }
    case KindDevice7:
    case KindDevice13: std::snprintf(text, sizeof text, "device function %u/%u", e.b[0], e.b[1]); break;
    case KindCombination: std::snprintf(text, sizeof text, "combination %u", e.b[2]); break;
    case KindMacro: std::snprintf(text, sizeof text, "macro %u", e.b[2]); break;
    case KindMark: return "table mark";
    default: std::snprintf(text, sizeof text, "unknown kind 0x%02X", e.b[0]);
    }
    return text;
}
