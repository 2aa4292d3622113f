// Apply: the button, the progress bar and the whole exchange with the agent. Stores the
// document's profile as k7ctl does, registers the main window, posts WM_APPLY_SETTINGS and
// follows the agent's answers with k7ctl's CApplyMonitor to a definite result in the status
// line. Registers the window with the agent at start and whenever an agent window appears.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ApplyMonitor.h"
#include "Plan.h"
#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"
#include "config/win32/CKeyboardView.h"
#include "keyconfig/Registry.h"

class CApplyControl {
public:
    CApplyControl(CConfigDocument& document, const ConfigTexts& texts, IRegistry& registry, CKeyboardView& view);
    ~CApplyControl();
    CApplyControl(const CApplyControl&) = delete;
    CApplyControl& operator=(const CApplyControl&) = delete;

    // The button and the bar as children of the main window, next in the tab order after
    // `after`; results go to `status`.
    bool Create(HWND parent, HWND status, HWND after);
    HWND Button() const { return m_hButton; }
    HWND Progress() const { return m_hProgress; }

    // The Apply command.
    void Start();
    // From the command until its result; the rate and factory requests wait meanwhile.
    bool Applying() const { return m_phase != Phase::Idle; }
    // Whether the window's WM_CLOSE (the agent's, when the keyboard was removed or the agent
    // ends) came while an apply was in flight: the reason a next start can give.
    bool ClosedDuringApply() const { return m_bClosedDuringApply; }

    // The agent's answers, this class's timers and the main window's close and end.
    // True when the message is fully handled here.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    enum class Phase { Idle, StartingAgent, Waiting, Running };

    static void CALLBACK OnWinEvent(HWINEVENTHOOK hook, DWORD event, HWND hWnd, LONG idObject, LONG idChild,
                                    DWORD thread, DWORD time);
    void OnAgentWindow(HWND agent);
    // Tells the agent where to post, unless this agent window has been told already.
    void Register(HWND agent);
    void StartAgent();
    void Begin(HWND agent);
    void End();
    void Stop();
    void Show(const std::u16string& text) const;

    CConfigDocument& m_document;
    const ConfigTexts& m_texts;
    IRegistry& m_registry;
    CKeyboardView& m_view;
    HWND m_hParent = nullptr;
    HWND m_hStatus = nullptr;
    HWND m_hButton = nullptr;
    HWND m_hProgress = nullptr;
    HWND m_hAgent = nullptr;     // the agent window last told about ours
    HWND m_hApplying = nullptr;  // the agent window the running apply was posted to
    HWINEVENTHOOK m_hHook = nullptr;
    Phase m_phase = Phase::Idle;
    bool m_bClosedDuringApply = false;
    Profile m_written;  // what this apply stored, for the monitor's reasons
    KeyboardState m_after;
    std::optional<CApplyMonitor> m_monitor;
};
