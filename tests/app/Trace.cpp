#include "Trace.h"

#include "app/Messages.h"
#include "keyboard/ControlCodes.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char* const kNames[] = {
    "Post",       "Find",         "Default",    "Destroy", "SetTimer",   "KillTimer",  "RegSession", "UnregSession",
    "RegDevice",  "UnregDevice",  "LoadIcon",   "SetIcon", "AddTray",    "RemoveTray", "TrayMenu",   "CombWarn",
    "MessageBox", "StartProgram", "FindDevice", "DevOpen", "DevControl", "DevClose",
};
static_assert(std::size(kNames) == static_cast<std::size_t>(Ev::DevClose) + 1);

struct Named {
    std::uint64_t value;
    const char* name;
};

const Named kMessages[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_DEVICECHANGE, "WM_DEVICECHANGE"},
    {WM_WTSSESSION_CHANGE, "WM_WTSSESSION_CHANGE"},
    {WM_TRAY_NOTIFY, "WM_TRAY_NOTIFY"},
    {WM_APPLY_SETTINGS, "WM_APPLY_SETTINGS"},
    {WM_REGISTER_CONFIG_WINDOW, "WM_REGISTER_CONFIG_WINDOW"},
    {WM_APPLY_PROGRESS, "WM_APPLY_PROGRESS"},
    {WM_SET_REPORT_RATE, "WM_SET_REPORT_RATE"},
    {WM_ASSIGNMENT_RESET, "WM_ASSIGNMENT_RESET"},
    {WM_RESTORE_FACTORY, "WM_RESTORE_FACTORY"},
};
const Named kTimers[] = {{TIMER_DEVICE_RETRY, "TIMER_DEVICE_RETRY"}, {TIMER_TRAY_RETRY, "TIMER_TRAY_RETRY"}};
const Named kRequests[] = {
    {IOCTL_SET_REPORT_RATE, "IOCTL_SET_REPORT_RATE"},     {IOCTL_WRITE_KEY_TABLE, "IOCTL_WRITE_KEY_TABLE"},
    {IOCTL_READ_KEY_TABLE, "IOCTL_READ_KEY_TABLE"},       {IOCTL_WRITE_MACRO, "IOCTL_WRITE_MACRO"},
    {IOCTL_WRITE_COMBINATION, "IOCTL_WRITE_COMBINATION"}, {IOCTL_READ_COMBINATION, "IOCTL_READ_COMBINATION"},
};

std::string Hex(std::uint64_t value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%#llx", static_cast<unsigned long long>(value));
    return buf;
}

template <std::size_t N> std::string NameOr(const Named (&names)[N], std::uint64_t value) {
    for (const Named& n : names)
        if (n.value == value) return n.name;
    return Hex(value);
}

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return out;
}

// What a field holds for each kind: its label, and for the first number how it is named.
enum class Naming { Number, Message, Timer, Request };
struct Layout {
    const char* window;
    const char* a;
    const char* b;
    const char* c;
    Naming naming;
    bool text = false;
};

Layout LayoutOf(Ev kind) {
    switch (kind) {
    case Ev::Post:
    case Ev::Default: return {"to", "", "wParam", "lParam", Naming::Message};
    case Ev::SetTimer: return {"window", "", "ms", nullptr, Naming::Timer};
    case Ev::KillTimer: return {"window", "", nullptr, nullptr, Naming::Timer};
    case Ev::LoadIcon: return {nullptr, "resource", nullptr, nullptr, Naming::Number};
    case Ev::SetIcon: return {"window", "icon", nullptr, nullptr, Naming::Number};
    case Ev::AddTray: return {"owner", "id", "flags", "callback", Naming::Number, true};
    case Ev::RemoveTray: return {"owner", "id", nullptr, nullptr, Naming::Number};
    case Ev::TrayMenu:
    case Ev::MessageBox: return {"owner", nullptr, nullptr, nullptr, Naming::Number, true};
    case Ev::Find:
    case Ev::StartProgram:
    case Ev::DevOpen: return {nullptr, nullptr, nullptr, nullptr, Naming::Number, true};
    case Ev::CombWarn: return {"reference", "parent", nullptr, nullptr, Naming::Number};
    case Ev::DevControl: return {nullptr, "", "size", "first", Naming::Request};
    case Ev::Destroy:
    case Ev::RegSession:
    case Ev::UnregSession:
    case Ev::RegDevice: return {"window", nullptr, nullptr, nullptr, Naming::Number};
    default: return {nullptr, nullptr, nullptr, nullptr, Naming::Number};
    }
}

std::string FirstNumber(Naming naming, std::uint64_t value) {
    switch (naming) {
    case Naming::Message: return NameOr(kMessages, value);
    case Naming::Timer: return NameOr(kTimers, value);
    case Naming::Request: return NameOr(kRequests, value);
    default: return Hex(value);
    }
}

// Prints a field that the event uses: its label (none for a named number) and value, or *.
void Field(std::string& out, const char* label, bool checked, const std::string& value) {
    if (label == nullptr) return;
    out += ' ';
    if (*label != '\0') out += std::string(label) + '=';
    out += checked ? value : "*";
}

std::string Dump(std::span<const Event> events) {
    std::string out;
    for (std::size_t i = 0; i < events.size(); ++i) out += "  " + std::to_string(i) + ": " + Describe(events[i]) + "\n";
    return out.empty() ? "  (nothing)\n" : out;
}

}  // namespace

bool Matches(const Event& expected, const Event& got) {
    const std::uint8_t c = expected.checks;
    return expected.kind == got.kind && (!(c & kCheckWindow) || expected.window == got.window) &&
           (!(c & kCheckA) || expected.a == got.a) && (!(c & kCheckB) || expected.b == got.b) &&
           (!(c & kCheckC) || expected.c == got.c) && (!(c & kCheckText) || expected.text == got.text);
}

std::string Describe(const Event& e) {
    const Layout layout = LayoutOf(e.kind);
    std::string out = kNames[static_cast<int>(e.kind)];
    Field(out, layout.window, e.checks & kCheckWindow, Hex(e.window));
    Field(out, layout.a, e.checks & kCheckA, FirstNumber(layout.naming, e.a));
    Field(out, layout.b, e.checks & kCheckB, Hex(e.b));
    Field(out, layout.c, e.checks & kCheckC, Hex(static_cast<std::uint64_t>(e.c)));
    if (layout.text) out += (e.checks & kCheckText) ? " \"" + Narrow(e.text) + "\"" : std::string(" *");
    return out;
}

std::string Trace::Dump() const { return ::Dump(m_events); }

void ExpectSequenceAt(const char* file, int line, Trace& trace, std::span<const Event> expected, const char* context) {
    const auto& got = trace.Events();
    std::size_t first = 0;
    while (first < got.size() && first < expected.size() && Matches(expected[first], got[first])) ++first;
    if (first < got.size() || first < expected.size()) {
        const std::string want = first < expected.size() ? Describe(expected[first]) : "(the end)";
        const std::string had = first < got.size() ? Describe(got[first]) : "(the end)";
        ADD_FAILURE_AT(file, line) << context << ": entry " << first << " expected " << want << ", recorded " << had
                                   << "\nexpected:\n"
                                   << Dump(expected) << "recorded:\n"
                                   << Dump(got);
    }
    trace.Clear();
}
