// K7_Config.exe as a process of its own, found by its main window, and what a person does to
// it: clicks and keys through the system's input queue, names read through accessibility.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <initializer_list>
#include <string>
#include <vector>
#include <string_view>

#include "k7testbed/PersonInput.h"
#include "WindowEvents.h"
#include "xml/ButtonPosTable.h"

// Tries `done` until it holds or timeoutMs passes, dispatching this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

class CConfigProcess {
public:
    CConfigProcess() = default;
    ~CConfigProcess();
    CConfigProcess(const CConfigProcess&) = delete;
    CConfigProcess& operator=(const CConfigProcess&) = delete;

    // Starts the program beside the test program (or at `exe`, e.g. a copy in a folder of the
    // test's own); with `waitForWindow`, until its main window is up and its message loop idle.
    // The program's own data (recent files, kept edits, the window's place) of an earlier test
    // is removed first unless `keepData`: each test starts as a first start.
    bool Start(bool waitForWindow = true, const std::wstring& exe = {}, bool keepData = false);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    DWORD Id() const { return m_info.dwProcessId; }
    HWND Window() const { return m_hWindow; }
    HWND Keyboard() const;
    HWND Details() const;
    // The child window of record `record` of ButtonPos.xml.
    HWND Key(int record) const;
    // The assignment dialog while it is open, else null.
    HWND AssignDialog() const;
    // The window that has the keyboard focus in the program's thread.
    HWND Focus() const;
    // Brings the window to the front and waits until it is the foreground window.
    bool Activate() const;
    // The program's dialog (a message box, a file dialog) once it is up and in front: a click
    // or a key before then may land on the window under it. Null when none came.
    HWND Dialog() const;
    // What its windows did lately with the focus, the capture and their texts, for a failure.
    std::string Events() const { return m_pEvents ? m_pEvents->Text() : std::string(); }

private:
    PROCESS_INFORMATION m_info{};
    std::unique_ptr<CWindowEvents> m_pEvents;
    HWND m_hWindow = nullptr;
};

// Input as the user gives it.
void Click(HWND window, bool twice = false);
using k7testbed::Press;
using k7testbed::PressWith;
// Characters as typed, whatever the keyboard layout.
void Type(const std::wstring& text);

// The program's data folder (%APPDATA%\K7\Config) and a file in it.
std::wstring ProgramDataFile(const wchar_t* name);
void RemoveProgramData();
// Keys going down and up one by one, in one call so that nothing comes between them; `extended`
// as the right-hand Ctrl and Alt and the numeric pad's Enter report themselves.
struct KeyStroke {
    WORD vk;
    bool up;
    bool extended = false;
};
void Strokes(std::initializer_list<KeyStroke> strokes);

// The accessible object's name (of the window's client, OBJID_CLIENT); "<none>" when it has none.
std::wstring AccessibleName(HWND window);
