// One ordered record of everything the agent does through its seams (desktop calls
// and device requests), compared with expected sequences the way Wine's message
// tests do (ok_sequence): an expected static array against the recording, reported at
// the caller's line with both sequences printed by name, where each expected entry
// may say which fields it checks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class Ev {
    Post,
    Find,
    Default,
    Destroy,
    SetTimer,
    KillTimer,
    RegSession,
    UnregSession,
    RegDevice,
    UnregDevice,
    LoadIcon,
    SetIcon,
    AddTray,
    RemoveTray,
    TrayMenu,
    CombWarn,
    MessageBox,
    StartProgram,
    FindDevice,
    DevOpen,
    DevControl,
    DevClose,
};

// Field use by kind: Post/Default (window, msg, wParam, lParam); SetTimer (window, id,
// period); KillTimer (window, id); Reg*/Unreg* (window); LoadIcon (-, resource);
// SetIcon (window, icon); AddTray (owner, id, flags, callback, tip); RemoveTray (owner,
// id); TrayMenu (owner, text "config|exit"); CombWarn (reference, parent);
// MessageBox (owner, text "text|title"); StartProgram (text); Find (text);
// DevOpen (text); DevControl (-, code, input size, first input byte); DevClose.
// The fields an expected entry checks, like Wine's `sent|wparam`; the kind is always
// checked. Recorded events carry kCheckAll.
enum : std::uint8_t {
    kCheckWindow = 1 << 0,
    kCheckA = 1 << 1,
    kCheckB = 1 << 2,
    kCheckC = 1 << 3,
    kCheckText = 1 << 4,
    kCheckAll = 0x1F,
    // The same bits by what they hold for messages (Post, Default) and requests (DevControl).
    kCheckMsg = kCheckA,
    kCheckWParam = kCheckB,
    kCheckLParam = kCheckC,
    kCheckCode = kCheckA,
    kCheckSize = kCheckB,
};

struct Event {
    Ev kind{};
    std::uint64_t window = 0;
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::int64_t c = 0;
    std::u16string text;
    std::uint8_t checks = kCheckAll;

    friend bool operator==(const Event&, const Event&) = default;
};

// Whether `got` agrees with `expected` in every field that `expected` checks.
bool Matches(const Event& expected, const Event& got);

// One line naming the kind, messages, timers and requests; fields the event does not check
// are shown as *.
std::string Describe(const Event& e);

class Trace {
public:
    void Add(Event e) { m_events.push_back(std::move(e)); }
    void Clear() { m_events.clear(); }
    // Leaves out the events a test does not look at.
    template <class Pred> void RemoveIf(Pred pred) { std::erase_if(m_events, pred); }
    const std::vector<Event>& Events() const { return m_events; }
    std::string Dump() const;

private:
    std::vector<Event> m_events;
};

// Adds a test failure at `file`:`line`, naming `context`, the first entry that differs and
// both sequences, when the trace differs from `expected`; clears the trace either way.
void ExpectSequenceAt(const char* file, int line, Trace& trace, std::span<const Event> expected, const char* context);

// The check as a test writes it: a failure is reported at the test's own line.
#define ExpectSequence(trace, expected, context) ExpectSequenceAt(__FILE__, __LINE__, trace, expected, context)
