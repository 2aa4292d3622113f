// The yardstick for the agent's start-up: the least a Windows program with a window does,
// a hidden window with a title and a message loop.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"K7MinimalWindow";
    RegisterClassW(&wc);
    if (!CreateWindowExW(0, wc.lpszClassName, L"K7MinimalWindow", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
