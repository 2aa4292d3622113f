#include "WindowEvents.h"

#include "config/win32/DataFolder.h"
#include "xml/Utf8Text.h"

#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// The callback has no context of its own: each hook's recorder, for two programs at once.
std::vector<std::pair<HWINEVENTHOOK, CWindowEvents*>> g_recorders;

constexpr std::size_t kKept = 60;

constexpr std::pair<DWORD, const char*> kEventNames[] = {
    {EVENT_SYSTEM_FOREGROUND, "foreground"},
    {EVENT_SYSTEM_CAPTURESTART, "capture start"},
    {EVENT_SYSTEM_CAPTUREEND, "capture end"},
    {EVENT_SYSTEM_DIALOGSTART, "dialog start"},
    {EVENT_SYSTEM_DIALOGEND, "dialog end"},
    {EVENT_OBJECT_FOCUS, "focus"},
    {EVENT_OBJECT_STATECHANGE, "state change"},
    {EVENT_OBJECT_NAMECHANGE, "name change"},
    {EVENT_OBJECT_SHOW, "show"},
    {EVENT_OBJECT_HIDE, "hide"},
};

}  // namespace

std::string DescribeWindow(HWND hWnd) {
    if (hWnd == nullptr) return "(none)";
    wchar_t cls[64] = {};
    wchar_t text[48] = {};
    GetClassNameW(hWnd, cls, static_cast<int>(std::size(cls)));
    // Not WM_GETTEXT: a window of a hung thread would hold the recorder.
    InternalGetWindowText(hWnd, text, static_cast<int>(std::size(text)));
    const LONG_PTR style = GetWindowLongPtrW(hWnd, GWL_STYLE);
    std::string out = Utf8FromUtf16(ToUtf16(cls));
    if ((style & WS_CHILD) != 0) out += " #" + std::to_string(GetDlgCtrlID(hWnd));
    if (text[0] != 0) out += " \"" + Utf8FromUtf16(ToUtf16(text)) + "\"";
    return out;
}

CWindowEvents::CWindowEvents(DWORD processId) : m_dwStart(GetTickCount()) {
    // The system events, then the object events up to text changes; the cursor's flood of
    // location changes among them is dropped by its object in OnEvent.
    for (const auto& [first, last] : {std::pair{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_DIALOGEND},
                                      std::pair{EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE}}) {
        HWINEVENTHOOK hook = SetWinEventHook(first, last, nullptr, OnEvent, processId, 0, WINEVENT_OUTOFCONTEXT);
        if (hook == nullptr) continue;
        m_hooks.push_back(hook);
        g_recorders.emplace_back(hook, this);
    }
}

CWindowEvents::~CWindowEvents() {
    for (HWINEVENTHOOK hook : m_hooks) UnhookWinEvent(hook);
    std::erase_if(g_recorders, [this](const auto& entry) { return entry.second == this; });
}

void CALLBACK CWindowEvents::OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hWnd, LONG object, LONG, DWORD, DWORD time) {
    if (object != OBJID_WINDOW && object != OBJID_CLIENT) return;
    for (const auto& [own, recorder] : g_recorders)
        if (own == hook) recorder->Add(event, hWnd, time);
}

void CWindowEvents::Add(DWORD event, HWND hWnd, DWORD time) {
    const char* name = nullptr;
    for (const auto& [id, text] : kEventNames)
        if (id == event) name = text;
    if (name == nullptr) return;
    char when[16];
    std::snprintf(when, sizeof when, "%7lu ms ", static_cast<unsigned long>(time - m_dwStart));
    if (m_lines.size() == kKept) m_lines.erase(m_lines.begin());
    m_lines.push_back(when + std::string(name) + ": " + DescribeWindow(hWnd));
}

std::string CWindowEvents::Text() const {
    std::string out = "last window events of the program:\n";
    for (const std::string& line : m_lines) out += "  " + line + "\n";
    POINT at{};
    GetCursorPos(&at);
    out += "  now: " + std::to_string(GetTickCount() - m_dwStart) + " ms, mouse at " + std::to_string(at.x) + "," +
           std::to_string(at.y) + " over " + DescribeWindow(WindowFromPoint(at)) + "\n";
    return out;
}
