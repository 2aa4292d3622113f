#include "ui/win32/CombWarnDlg.h"

#include <windowsx.h>

#include <vector>

#include "ui/TrayHost.h"
#include "res/resource.h"

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A window with an area on the visible desktop: not message-only, not empty, not minimised
// and on a monitor. A minimised window reports its rectangle near (-32000, -32000), so a dialog
// centred on it would open where nobody can see it, and the apply would wait behind it.
bool HasScreenArea(HWND hWnd, RECT& rect) {
    if (!hWnd || !IsWindow(hWnd) || !GetWindowRect(hWnd, &rect)) return false;
    if (GetAncestor(GetAncestor(hWnd, GA_ROOT), GA_PARENT) != GetDesktopWindow()) return false;
    if (IsIconic(hWnd) || !MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return false;
    return Width(rect) > 0 && Height(rect) > 0;
}

}  // namespace

namespace {

// The dialogs running on this thread (an apply inside one's loop can open another).
thread_local std::vector<CCombWarnDlg*> t_openDialogs;

}  // namespace

INT_PTR CCombWarnDlg::DoModal() {
    // Another program can send the dialog WM_DESTROY or WM_NCDESTROY: the latter would detach it
    // from this object (and free the system's dialog state), so that it no longer answers its own
    // close and the apply waits for ever. Each real destruction (after EndDialog, or with the
    // owner) is announced to the thread's CBT hook before its messages come.
    HHOOK watch = SetWindowsHookExW(WH_CBT, WatchDestruction, nullptr, GetCurrentThreadId());
    t_openDialogs.push_back(this);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COMBWARN), m_hParent,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    std::erase(t_openDialogs, this);
    if (watch != nullptr) UnhookWindowsHookEx(watch);
    return result;
}

LRESULT CALLBACK CCombWarnDlg::WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) {
        for (CCombWarnDlg* dialog : t_openDialogs)
            if (dialog->m_hWnd == reinterpret_cast<HWND>(wParam)) dialog->m_bDestroying = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK CCombWarnDlg::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // WM_INITDIALOG carries a plain number that any program can post: only the first one,
    // from the dialog's creation, names the object.
    if (msg == WM_INITDIALOG && GetWindowLongPtrW(hWnd, DWLP_USER) == 0) {
        auto* dialog = reinterpret_cast<CCombWarnDlg*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CCombWarnDlg*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (!dialog) return FALSE;
    switch (msg) {
    case WM_PAINT: dialog->OnPaint(); return TRUE;
    case WM_DRAWITEM: {
        const auto& request = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!dialog->m_btnAccept.ReflectDrawItem(request) && !dialog->m_btnCancel.ReflectDrawItem(request) &&
            !dialog->m_btnClose.ReflectDrawItem(request))
            return FALSE;
        SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_COMMAND: dialog->OnCommand(wParam, lParam); return TRUE;
    case WM_LBUTTONDOWN: {
        // Dragging by the surface: the platform moves the window as if by its caption.
        // WM_NCLBUTTONDOWN carries screen coordinates.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hWnd, &point);
        PostMessageW(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        return FALSE;
    }
    case WM_DESTROY:
        // Taken (TRUE) so that the system's dialog processing does not run either.
        return !dialog->m_bDestroying;
    case WM_NCDESTROY:
        if (!dialog->m_bDestroying) return TRUE;
        SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

RECT CCombWarnDlg::ReferenceRect() const {
    RECT rect{};
    if (HasScreenArea(m_hReference, rect)) return rect;
    // No usable reference window: centre on the primary monitor's work area.
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0))
        rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return rect;
}

BOOL CCombWarnDlg::OnInitDialog() {
    SetWindowTextW(m_hWnd, reinterpret_cast<const wchar_t*>(kCombWarnTitle));

    HMODULE module = GetModuleHandleW(nullptr);
    LoadPngResource(module, IDB_PNG_BACKGROUND, m_background);
    LoadPngResource(module, IDB_PNG_HOVER, m_hover);
    LoadPngResource(module, IDB_PNG_PRESSED, m_pressed);

    const RECT reference = ReferenceRect();
    RECT own{};
    GetWindowRect(m_hWnd, &own);
    UINT width = Width(own), height = Height(own);  // the template's size if the face is missing
    if (m_background.Bitmap()) {
        gdip::GdipGetImageWidth(m_background.Bitmap(), &width);
        gdip::GdipGetImageHeight(m_background.Bitmap(), &height);
    }
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    MoveWindow(m_hWnd, reference.left + (Width(reference) - w) / 2, reference.top + (Height(reference) - h) / 2, w, h,
               TRUE);

    const struct {
        CBitmapBtn& button;
        RECT rect;
    } buttons[] = {{m_btnAccept, kAcceptRect}, {m_btnCancel, kCancelRect}, {m_btnClose, kCloseRect}};
    for (const auto& [button, rect] : buttons) {
        button.Create(u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, m_hWnd, 0);
        button.SetImages(m_background.Bitmap(), m_hover.Bitmap(), m_pressed.Bitmap(), m_pressed.Bitmap(), rect.left,
                         rect.top, Width(rect), Height(rect));
    }

    // Come to the foreground although another program may own it.
    const DWORD ownThread = GetCurrentThreadId();
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attach = foregroundThread && foregroundThread != ownThread;
    if (attach) AttachThreadInput(foregroundThread, ownThread, TRUE);
    SetForegroundWindow(m_hWnd);
    if (attach) AttachThreadInput(foregroundThread, ownThread, FALSE);
    return TRUE;
}

void CCombWarnDlg::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    GpGraphics* graphics = nullptr;
    if (m_background.Bitmap() && gdip::GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok) {
        RECT own{};
        GetWindowRect(m_hWnd, &own);
        gdip::GdipDrawImageRectI(graphics, m_background.Bitmap(), 0, 0, Width(own), Height(own));
        gdip::GdipDeleteGraphics(graphics);
    }
    EndPaint(m_hWnd, &paint);
}

void CCombWarnDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Any notification from a button's window counts; their control ids are all 0.
    HWND from = reinterpret_cast<HWND>(lParam);
    if (from && from == m_btnAccept.Window())
        EndDialog(m_hWnd, IDOK);
    else if (from && (from == m_btnCancel.Window() || from == m_btnClose.Window()))
        EndDialog(m_hWnd, IDCANCEL);
    else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)  // Enter, Escape, WM_CLOSE
        EndDialog(m_hWnd, LOWORD(wParam));
}

INT_PTR RunCombWarnDialog(HWND reference, HWND parent) {
    CCombWarnDlg dialog(reference, parent);
    return dialog.DoModal();
}
