// A hook library that counts what one thread's windows receive, for a test in another
// process: the test installs CountRemovedMessage (WH_GETMESSAGE) and CountSentMessage
// (WH_CALLWNDPROC) on that thread, and the system loads this library into the thread's
// process to call them. The counts go to the test's named mapping (MessageCount.h).
#include "MessageCount.h"

namespace {

messagecount::Counts* SharedCounts() {
    // Opened on the first call, on the hooked thread, whose id names the mapping.
    static messagecount::Counts* const counts = [] {
        const std::wstring name = messagecount::MappingName(GetCurrentThreadId());
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
        if (mapping == nullptr) return static_cast<messagecount::Counts*>(nullptr);
        void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(messagecount::Counts));
        CloseHandle(mapping);  // the view keeps the section
        return static_cast<messagecount::Counts*>(view);
    }();
    return counts;
}

void Count(HWND hwnd, UINT message, bool sent) {
    messagecount::Counts* counts = SharedCounts();
    if (counts == nullptr) return;
    const bool toWindow = reinterpret_cast<std::uint64_t>(hwnd) == counts->window;
    const std::uint32_t kind = toWindow ? (sent ? messagecount::kSentToWindow : messagecount::kPostedToWindow)
                                        : (sent ? messagecount::kSentToOther : messagecount::kPostedToOther);
    const LONG n = InterlockedIncrement(&counts->arrivals) - 1;
    counts->ring[n % messagecount::kRingSize] = {message, kind};
    InterlockedIncrement(&counts->byKind[kind]);
}

}  // namespace

// Called for every message GetMessage or PeekMessage returns; only PM_REMOVE takes it
// from the queue (a PM_NOREMOVE look would count the same message twice).
extern "C" __declspec(dllexport) LRESULT CALLBACK CountRemovedMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        Count(msg->hwnd, msg->message, false);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Called before a window procedure receives a sent message.
extern "C" __declspec(dllexport) LRESULT CALLBACK CountSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        Count(msg->hwnd, msg->message, true);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
