// The record that the message-counting hook (MessageCountHook.cpp), loaded into another
// process, fills for the test that reads it: how many messages one window of the hooked
// thread received, and how many the thread's other windows (or the thread itself) did.
// It lives in a named file mapping that the test creates before it installs the hooks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace messagecount {

enum Kind : std::uint32_t {
    kPostedToWindow,  // taken from the queue for the counted window: posted, timer, paint...
    kSentToWindow,    // sent to the counted window, from any thread
    kPostedToOther,   // taken from the queue for another window of the thread, or for the thread
    kSentToOther,
    kKindCount
};

struct Arrival {
    std::uint32_t message;
    std::uint32_t kind;
};

inline constexpr std::uint32_t kRingSize = 16;

struct Counts {
    std::uint64_t window;  // the counted window's handle, set by the test
    volatile LONG byKind[kKindCount];
    volatile LONG arrivals;  // all kinds; the last kRingSize are kept in the ring
    Arrival ring[kRingSize];
};
static_assert(sizeof(Counts) == 8 + 4 * 5 + 4 + 8 * kRingSize);

// The mapping's name for the hooked thread: the hook knows only the thread it runs on.
inline std::wstring MappingName(DWORD thread) { return L"K7MessageCount-" + std::to_wstring(thread); }

}  // namespace messagecount
