// The yardsticks for the agent's start-up. Built plain, the least a Windows program with a
// tray icon does: a hidden window with a title, one icon in the notification area and a
// message loop. Built with K7_STARTUP_WORK, the same after the work the agent does before
// its window: all common control classes registered and GDI+ started.
#include <windows.h>
#include <shellapi.h>

#ifdef K7_STARTUP_WORK
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef K7_STARTUP_WORK
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = K7_WINDOW_TITLE;
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, K7_WINDOW_TITLE, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    if (!Shell_NotifyIconW(NIM_ADD, &icon)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
