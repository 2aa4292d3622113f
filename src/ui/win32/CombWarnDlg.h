// The combination-key warning: a modal window without caption or border whose face
// is a picture, with three image buttons (accept, cancel, corner close).
#pragma once

#include <windows.h>

#include "ui/TrayHost.h"
#include "ui/win32/CBitmapBtn.h"
#include "ui/win32/PngResource.h"

class CCombWarnDlg {
public:
    // Button rectangles in the dialog's client pixels, also their areas of the pictures.
    static constexpr RECT kAcceptRect{173, 120, 215, 141};
    static constexpr RECT kCancelRect{240, 120, 284, 141};
    static constexpr RECT kCloseRect{292, 13, 307, 26};

    // reference: the window to centre over (may be none or stale); parent: the owner.
    CCombWarnDlg(HWND reference, HWND parent) : m_hReference(reference), m_hParent(parent) {}
    CCombWarnDlg(const CCombWarnDlg&) = delete;
    CCombWarnDlg& operator=(const CCombWarnDlg&) = delete;

    // Runs the dialog modally: IDOK or IDCANCEL (-1 when it could not be created).
    INT_PTR DoModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnPaint();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    RECT ReferenceRect() const;

    HWND m_hWnd = nullptr;
    bool m_bDestroying = false;  // the system is destroying the dialog (not another program)
    CPngPicture m_background;    // 138: the face, and every button's normal look
    CPngPicture m_hover;         // 139
    CPngPicture m_pressed;       // 137: pressed and disabled looks
    HWND m_hReference;
    HWND m_hParent;
    CBitmapBtn m_btnAccept;
    CBitmapBtn m_btnCancel;
    CBitmapBtn m_btnClose;
};

// Shows the warning over the reference window, owned by parent; IDOK or IDCANCEL.
INT_PTR RunCombWarnDialog(HWND reference, HWND parent);

// The warning-dialog role of the desktop.
class CWin32WarningDialog final : public IWarningDialog {
public:
    int ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) override {
        return static_cast<int>(RunCombWarnDialog(reinterpret_cast<HWND>(reference), reinterpret_cast<HWND>(parent)));
    }
};
