// The macros window: the document's macro list (create, rename, duplicate, delete, move), the
// chosen macro's events as rows with their editor, its repeat count and fixed delay, the
// keyboard's limits as the user edits, and recording from the keys the user presses. It holds
// no copy of the profile: every change goes through the document and every view follows it.
#pragma once

#include <windows.h>

#include <optional>

#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"
#include "config/MacroRecorder.h"

class CMacrosWindow {
public:
    CMacrosWindow(CConfigDocument& document, const ConfigTexts& texts);
    ~CMacrosWindow();
    CMacrosWindow(const CMacrosWindow&) = delete;
    CMacrosWindow& operator=(const CMacrosWindow&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    // Opens the window (or brings it to the front), owned by `owner`.
    void Show(HWND owner);

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnDestroy();
    void UpdateFont();
    void Layout();
    void OnCommand(int id, int notification);
    // Fills every control from the document; the edits' own notifications are ignored meanwhile.
    void Refresh();
    void ShowEvent();
    void SetStatus(const std::u16string& text);
    // The number typed into field `id` as `parse` reads it; nothing, and the status says so,
    // when it is none. The status is cleared otherwise.
    template <typename T> std::optional<T> Typed(int id, std::optional<T> (*parse)(std::u16string_view));
    bool Chosen() const;
    const ProfileMacro& Macro() const;
    std::u16string Text(int id) const;
    int Selection(int id) const;

    void NewMacro();
    void RenameMacro();
    void DuplicateMacro();
    void DeleteMacro();
    void MoveMacro(int by);
    // The event the fields describe; nothing (and the status says why) when the delay is no number.
    std::optional<MacroStep> FieldEvent();
    void EditEvents(int id);
    void OnRepeat();
    void OnFixedDelay();
    void ToggleRecording();
    void StopRecording();
    void OnRecorded();
    void Unhook();

    CConfigDocument& m_document;
    const ConfigTexts& m_texts;
    std::size_t m_nListener;  // of the document
    HWND m_hWnd = nullptr;
    HWND m_hFocus = nullptr;  // the control that had the focus when the window was left
    HFONT m_hFont = nullptr;
    UINT m_nDpi = 96;
    int m_nMacro = -1;  // the chosen macro, an index of the document's list
    int m_nEvent = -1;  // the chosen event of that macro
    bool m_bUpdating = false;
    bool m_bFixed = false;  // the switch, read from the macro when it is chosen
    CMacroRecorder m_recorder;
    HHOOK m_hHook = nullptr;
    int m_nRecording = -1;  // the macro a recording writes into
};
