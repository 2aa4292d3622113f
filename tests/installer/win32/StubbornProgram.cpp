// A program with a main window that refuses WM_CLOSE: the installer tests put it into an
// installation as K7_Config.exe to stand for a configuration program that does not end.
#include <windows.h>

namespace {

LRESULT CALLBACK StubbornProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;  // the request to end, refused
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StubbornProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"K7StubbornProgram";
    RegisterClassW(&wc);
    CreateWindowExW(0, wc.lpszClassName, L"K7 stubborn program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                    nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
