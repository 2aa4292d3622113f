// The File menu's work and the program's own data: New, Open, Save and Save as in k7ctl's
// profile format, the recent files, the title, the question before unsaved edits are dropped,
// the edits kept when the agent closes the program and offered again at the next start, and
// the window's place. Everything it changes of the profile goes through the document.
#pragma once

#include <windows.h>

#include <string>

#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"
#include "config/ProgramData.h"
#include "keyconfig/Registry.h"

class CProfileFiles {
public:
    CProfileFiles(CConfigDocument& document, const ConfigTexts& texts, IRegistry& registry);
    ~CProfileFiles() { m_document.RemoveListener(m_nListener); }
    CProfileFiles(const CProfileFiles&) = delete;
    CProfileFiles& operator=(const CProfileFiles&) = delete;

    // In the main window's WM_CREATE: the window whose title follows the document, and the
    // menu that lists the recent files.
    void Attach(HWND window, HMENU fileMenu);
    // Before the window is first shown: puts it where it was last closed; the show command.
    int PlaceWindow(int show) const;
    // Once the window shows: offers the edits kept at the last close. Returns what the user
    // should read at the start (damaged files, stored values of a wrong type or size, what a
    // profile cannot express of them), one line each; empty when all is well.
    std::u16string Start();

    // IDM_NEW ... IDM_RECENT_LAST; false for other commands.
    bool OnCommand(int id);
    // The user closes (or replaces the profile): unsaved edits are saved, dropped or kept on
    // the user's word. False when the user cancelled or the save failed.
    bool QuerySave();
    // A WM_CLOSE from the agent: the unsaved edits and the reason are kept for the next start.
    void KeepForNextStart(bool duringApply);
    // In WM_DESTROY.
    void SavePlacement() const;

private:
    void New();
    void Open();
    bool OpenPath(const std::wstring& path);
    bool Save();
    bool SaveAs();
    bool SaveTo(const std::wstring& path);
    void OpenRecent(std::size_t index);
    void ReadRecent();
    void WriteRecent();
    void ShowRecent();
    void UpdateTitle();
    void OfferKeptEdits();
    CloseReason WhyClosed() const;
    std::wstring DataFile(const char16_t* name) const;
    int Say(const std::u16string& text, UINT flags) const;

    CConfigDocument& m_document;
    const ConfigTexts& m_texts;
    IRegistry& m_registry;
    std::size_t m_nListener = 0;
    HWND m_hWnd = nullptr;
    HMENU m_hFileMenu = nullptr;
    std::wstring m_strFolder;  // empty when the profile has no place for it
    RecentFiles m_recent;
    std::u16string m_notices;
};
