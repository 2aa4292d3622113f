#include "Trace.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char* const kNames[] = {
    "Post", "Find", "Default", "Destroy", "SetTimer", "KillTimer",
    "RegSession", "UnregSession", "RegDevice", "UnregDevice", "LoadIcon", "SetIcon",
    "AddTray", "RemoveTray", "TrayMenu", "CombWarn", "MessageBox", "StartProgram", "FindDevice",
    "DevOpen", "DevControl", "DevClose",
};
static_assert(std::size(kNames) == static_cast<std::size_t>(Ev::DevClose) + 1);

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return out;
}

std::string Dump(std::span<const Event> events) {
    std::string out;
    for (std::size_t i = 0; i < events.size(); ++i) out += "  " + std::to_string(i) + ": " + Describe(events[i]) + "\n";
    return out.empty() ? "  (nothing)\n" : out;
}

}  // namespace

std::string Describe(const Event& e) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s window=%#llx a=%#llx b=%#llx c=%#llx", kNames[static_cast<int>(e.kind)],
                  static_cast<unsigned long long>(e.window), static_cast<unsigned long long>(e.a),
                  static_cast<unsigned long long>(e.b), static_cast<unsigned long long>(e.c));
    std::string out = buf;
    if (!e.text.empty()) out += " \"" + Narrow(e.text) + "\"";
    return out;
}

std::string Trace::Dump() const { return ::Dump(m_events); }

void ExpectSequence(Trace& trace, std::span<const Event> expected, const char* context) {
    const auto& got = trace.Events();
    if (!std::equal(got.begin(), got.end(), expected.begin(), expected.end())) {
        std::size_t first = 0;
        while (first < got.size() && first < expected.size() && got[first] == expected[first]) ++first;
        ADD_FAILURE() << context << ": sequences differ at index " << first << "\nexpected:\n"
                      << Dump(expected) << "recorded:\n"
                      << Dump(got);
    }
    trace.Clear();
}
