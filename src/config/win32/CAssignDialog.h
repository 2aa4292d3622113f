// The assignment dialog: one key's function of any kind, chosen from the lists of what the
// keyboard knows or by pressing the key (or the keys of a combination) into a capture field
// that takes every key, those the dialog would act on included. What the keyboard cannot hold
// is said as the choice changes, and a choice the keyboard cannot hold at all is not taken.
// The document gets the function on OK, through its edits; nothing else is kept.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "config/AssignCheck.h"
#include "config/AssignChoices.h"
#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"
#include "config/KeyCapture.h"
#include "config/KeyFunctionText.h"

class CAssignDialog {
public:
    CAssignDialog(CConfigDocument& document, const ConfigTexts& texts, const IKeyFunctionText& functions);
    ~CAssignDialog();
    CAssignDialog(const CAssignDialog&) = delete;
    CAssignDialog& operator=(const CAssignDialog&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    // Modal over `owner` for layout record `record`; true when the document took a function.
    bool Run(HWND owner, std::size_t record);

private:
    enum class Capture { Off, Remap, Single, Together };

    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CaptureProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnInit();
    void OnCommand(int id, int code);
    void CreateControls();
    void Layout();
    void UpdateFont();
    int Scaled(int pixels96) const;
    // Shows the controls of the chosen kind and fills its list.
    void ShowKind(FunctionKind kind, const KeyFunction& current);
    FunctionKind Kind() const;
    // The assignment the controls say now, if they say one.
    std::optional<Assignment> Chosen() const;
    void Recheck();
    void Arm(Capture mode);
    void OnKey(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetComboKeys(const ComboKeys& keys);
    void End(bool ok);

    CConfigDocument& m_document;
    const ConfigTexts& m_texts;
    const IKeyFunctionText& m_functions;
    const std::vector<KeyChoice> m_keyChoices;
    std::size_t m_nRecord = 0;
    std::vector<FunctionChoice> m_choices;
    Capture m_capture = Capture::Off;
    std::optional<CKeyChord> m_chord;
    bool m_bEnded = false;
    bool m_bTaken = false;
    HWND m_hDlg = nullptr;
    HWND m_hCapture = nullptr;
    HFONT m_hFont = nullptr;
    UINT m_nDpi = 96;
};
