// Shows the agent's user interface for screenshots: the warning dialog plain and with
// the pointer over a button, and the tray menu plain and with its first item highlighted. For each scene it writes the
// scene's screen rectangle to FOLDER\NAME.rect and waits for FOLDER\NAME.done, which
// the screenshot script creates once it has taken the picture.
//   ui_screens.exe FOLDER
#include <windows.h>

#include <string>

#include "ui/win32/CombWarnDlg.h"
#include "ui/win32/Gdiplus.h"
#include "ui/win32/TrayMenuWin32.h"
#include "xml/LanguageStrings.h"

namespace {

std::wstring g_folder;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsTaken(const wchar_t* name) { return Exists(g_folder + L"\\" + name + L".done"); }

// Publishes the scene's screen rectangle for the script.
void Publish(const wchar_t* name, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const std::string text = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                             std::to_string(r.left) + "+" + std::to_string(r.top) + "\n";
    const std::wstring rectFile = g_folder + L"\\" + name + L".rect";
    HANDLE file = CreateFileW(rectFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

void MoveMouse(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
}

// Ticks of a timer while the dialog is up: the plain face, then the pointer over the
// accept button; each step waits for the previous picture to be taken.
void CALLBACK PoseDialog(HWND, UINT, UINT_PTR id, DWORD) {
    static int step = 0;
    HWND dialog = FindWindowW(nullptr, L"CCombWarnDlg");
    RECT r;
    GetWindowRect(dialog, &r);
    switch (step) {
    case 0:
        Publish(L"combwarn-dialog", dialog);
        ++step;
        break;
    case 1:
        if (!IsTaken(L"combwarn-dialog")) break;
        MoveMouse(r.left + 190, r.top + 130);
        ++step;
        break;
    case 2:
        Publish(L"combwarn-dialog-hover", dialog);
        ++step;
        break;
    case 3:
        if (!IsTaken(L"combwarn-dialog-hover")) break;
        KillTimer(nullptr, id);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    }
}

LRESULT CALLBACK MenuOwnerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteMenuOwnerDraw(hWnd, msg, wParam, lParam, &result)) return result;
    // The menu's own loop must run between the steps, so each tick does one step.
    static int step = 0;
    if (msg == WM_ENTERMENULOOP) SetTimer(hWnd, 1, 300, nullptr);
    if (msg == WM_TIMER && wParam == 1) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        RECT r;
        GetWindowRect(menu, &r);
        switch (step) {
        case 0:
            Publish(L"tray-menu", menu);
            ++step;
            break;
        case 1:
            if (!IsTaken(L"tray-menu")) break;
            MoveMouse(r.left + 40, r.top + 14);  // over the first item
            ++step;
            break;
        case 2:
            Publish(L"tray-menu-highlighted", menu);
            ++step;
            break;
        case 3:
            if (!IsTaken(L"tray-menu-highlighted")) break;
            KillTimer(hWnd, 1);
            PostMessageW(hWnd, WM_CANCELMODE, 0, 0);
            break;
        }
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    g_folder = argv[1];
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    // The warning over a stand-in for the configuration program's window.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    wc.lpszClassName = L"K7UiScreens";
    RegisterClassW(&wc);
    HWND reference = CreateWindowExW(0, wc.lpszClassName, L"K7 Config", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600,
                                     400, nullptr, nullptr, wc.hInstance, nullptr);
    if (argc < 3) {
        MoveMouse(10, 700);
        SetTimer(nullptr, 0, 300, PoseDialog);
        RunCombWarnDialog(reference, nullptr);
    }
    DestroyWindow(reference);

    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"OrvexK7_Setting", WS_POPUP, 1, 1, 1, 1, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuOwnerProc));
    SetCursorPos(300, 200);
    MoveMouse(300, 200);
    if (argc >= 3) {
        const std::wstring file = argv[2];
        LoadLanguageStrings(std::u16string(file.begin(), file.end()));
        Win32ShowTrayMenu(owner, str_config, str_exit);
    } else {
        Win32ShowTrayMenu(owner, u"Config", u"Exit");
    }
    DestroyWindow(owner);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
