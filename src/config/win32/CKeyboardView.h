// The keyboard view: a child window that shows the keys of ButtonPos.xml at their places,
// scaled to its size. Each key is a focusable child window named after the key, so that the
// system's accessibility objects read its name back; only the chosen key is a tab stop, so Tab
// enters the keyboard at the chosen key and arrows move from key to key.
#pragma once

#include <windows.h>

#include <vector>

#include "config/ConfigDocument.h"
#include "config/KeyFunctionText.h"
#include "config/KeyboardLayout.h"
#include "xml/ButtonPosTable.h"

class CKeyboardView {
public:
    // Shows the document's profile; the owner calls Refresh when the document changes.
    CKeyboardView(const CConfigDocument& document, const IKeyFunctionText& functions);
    ~CKeyboardView();
    CKeyboardView(const CKeyboardView&) = delete;
    CKeyboardView& operator=(const CKeyboardView&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    HWND Create(HWND parent, int id, const wchar_t* name);
    HWND Window() const { return m_hWnd; }

    void Refresh();
    // The margin around the picture follows the monitor's DPI, as the window's size does.
    void SetDpi(UINT dpi);
    // The record of ButtonPos.xml the chosen key comes from.
    int Chosen() const { return m_keys.empty() ? -1 : m_keys[m_nChosen]; }
    // Marks these records (the keys the agent reset at the last apply) with a frame and adds
    // `note` to their accessible names; the first becomes the chosen key. Empty: no marks.
    void SetMarked(const std::vector<int>& records, const std::u16string& note);

private:
    static LRESULT CALLBACK ViewProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyMessage(int position, HWND hKey, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateKeys();
    void Layout();
    void Choose(int position);
    void Notify(int code) const;
    void PaintKey(int position, HWND hKey, HDC dc) const;
    void PaintBackground(HDC dc) const;

    const CConfigDocument& m_document;
    const ButtonPosTable& m_layout;
    const IKeyFunctionText& m_functions;
    KeyBox m_picture;
    std::vector<int> m_keys;      // records shown, in file order
    std::vector<HWND> m_hKeys;    // one child window per shown record
    std::vector<KeyBox> m_boxes;  // their rectangles in the view's client area
    std::vector<int> m_marked;    // positions in m_keys
    int m_nChosen = 0;            // position in m_keys
    int m_nMargin = 10;
    HWND m_hWnd = nullptr;
    HWND m_hTooltip = nullptr;
    HFONT m_hNameFont = nullptr;
    HFONT m_hFunctionFont = nullptr;
};
