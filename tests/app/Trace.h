// One ordered record of everything the agent does through its seams (desktop calls
// and device requests), compared with expected sequences the way Wine's message
// tests do: an expected static array against the recording, with the whole trace
// printed on a mismatch.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class Ev {
    Post, Find, Default, Destroy, SetTimer, KillTimer,
    RegSession, UnregSession, RegDevice, UnregDevice, LoadIcon, SetIcon,
    AddTray, RemoveTray, TrayMenu, CombWarn, MessageBox, StartProgram, FindDevice,
    DevOpen, DevControl, DevClose,
};

// Field use by kind: Post/Default (window, msg, wParam, lParam); SetTimer (window, id,
// period); KillTimer (window, id); Reg*/Unreg* (window); LoadIcon (-, resource);
// SetIcon (window, icon); AddTray (owner, id, flags, callback, tip); RemoveTray (owner,
// id); TrayMenu (owner, text "config|exit"); CombWarn (reference, parent);
// MessageBox (owner, text "text|title"); StartProgram (text); Find (text);
// DevOpen (text); DevControl (-, code, input size, first input byte); DevClose.
struct Event {
    Ev kind{};
    std::uint64_t window = 0;
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::int64_t c = 0;
    std::u16string text;

    friend bool operator==(const Event&, const Event&) = default;
};

std::string Describe(const Event& e);

class Trace {
public:
    void Add(Event e) { m_events.push_back(std::move(e)); }
    void Clear() { m_events.clear(); }
    // Leaves out the events a test does not look at.
    template <class Pred>
    void RemoveIf(Pred pred) {
        std::erase_if(m_events, pred);
    }
    const std::vector<Event>& Events() const { return m_events; }
    std::string Dump() const;

private:
    std::vector<Event> m_events;
};

// Adds a test failure naming `context` and printing both sequences when the trace
// differs from `expected`; clears the trace either way.
void ExpectSequence(Trace& trace, std::span<const Event> expected, const char* context);
