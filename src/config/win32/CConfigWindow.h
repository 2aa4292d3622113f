// The main window of K7_Config.exe: the keyboard view and, below it, the details panel of the
// chosen key and the meter of the combination slots. Per-monitor DPI aware: it starts at the picture's size for its
// monitor's DPI and follows WM_DPICHANGED.
#pragma once

#include <windows.h>

#include <optional>

#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"
#include "config/KeyFunctionText.h"
#include "config/win32/CApplyControl.h"
#include "config/win32/CAssignDialog.h"
#include "config/win32/CKeyboardView.h"
#include "config/win32/CProfileFiles.h"
#include "config/win32/CMacrosWindow.h"
#include "config/win32/LanguageMenu.h"
#include "keyconfig/Registry.h"
#include "xml/ButtonPosTable.h"

class CConfigWindow {
public:
    CConfigWindow(CConfigDocument& document, const ConfigTexts& texts, const IKeyFunctionText& functions,
                  IRegistry& registry);
    ~CConfigWindow();
    CConfigWindow(const CConfigWindow&) = delete;
    CConfigWindow& operator=(const CConfigWindow&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    HWND Create(HINSTANCE instance, const wchar_t* title, int show);
    HWND Window() const { return m_hWnd; }
    // After the window ended for a language chosen from its menu: what came of the choice, and
    // where the window was, for the window that replaces it in the new language.
    bool LanguageChosen() const { return m_bLanguageChosen; }
    const LanguageChoice& Language() const { return m_language; }
    const WINDOWPLACEMENT& Placement() const { return m_placement; }
    void SetStatus(const std::u16string& text);

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void Layout();
    void ShowDetails();
    void UpdateFont();
    int DetailsHeight() const;
    int Scaled(int pixels96) const;
    // Everything below the keyboard: the row of rate and factory controls, details, status.
    int ControlsHeight() const;
    void OnCommand(int id);
    void OnSetRate();
    void OnRestore();
    // Sends one of the agent's requests; the status line says what came of it.
    void AskAgent(UINT msg, WPARAM wParam, const std::u16string& asked);
    // The assignment dialog for the chosen key; the view, the panel and the meter follow the
    // document.
    void Assign();
    void OnDocumentChanged();
    void OnLanguage(int index);

    CConfigDocument& m_document;
    const ButtonPosTable& m_layout;
    const ConfigTexts& m_texts;
    const IKeyFunctionText& m_functions;
    IRegistry& m_registry;
    CKeyboardView m_view;
    CProfileFiles m_files;
    CMacrosWindow m_macros;
    CApplyControl m_apply;
    CAssignDialog m_assign;
    HWND m_hWnd = nullptr;
    HWND m_hDetails = nullptr;
    HWND m_hRateLabel = nullptr;
    HWND m_hRate = nullptr;
    HWND m_hSetRate = nullptr;
    HWND m_hRestore = nullptr;
    HWND m_hStatus = nullptr;
    HWND m_hMeter = nullptr;
    std::optional<std::size_t> m_listener;  // of the document, ended with the window object
    HWND m_hFocus = nullptr;                // the control that had the focus when the window was left
    HFONT m_hFont = nullptr;
    UINT m_nDpi = 96;
    int m_nDrawn = 0;  // keys of ButtonPos.xml with a place in the picture
    bool m_bLanguageChosen = false;
    LanguageChoice m_language;
    WINDOWPLACEMENT m_placement{};
};
