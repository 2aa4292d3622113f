// What a program's windows did with the foreground, the focus, the mouse capture and their
// texts, as the system reports it to another process, so that a failed wait can say what
// happened to a click or a key rather than only that its effect did not come.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A window by its class, control identifier and text, as a reader of a failure knows it.
std::string DescribeWindow(HWND hWnd);

class CWindowEvents {
public:
    // Events of process `processId` from now on, delivered while this thread dispatches messages.
    explicit CWindowEvents(DWORD processId);
    ~CWindowEvents();
    CWindowEvents(const CWindowEvents&) = delete;
    CWindowEvents& operator=(const CWindowEvents&) = delete;

    // The last events, one per line, oldest first, with the mouse's place now.
    std::string Text() const;

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hWnd, LONG object, LONG child, DWORD thread,
                                 DWORD time);
    void Add(DWORD event, HWND hWnd, DWORD time);

    std::vector<HWINEVENTHOOK> m_hooks;
    std::vector<std::string> m_lines;
    DWORD m_dwStart;
};
