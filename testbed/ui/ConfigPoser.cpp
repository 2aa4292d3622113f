// Poses K7_Config.exe for the documentation's screenshot of a key being assigned: a double click
// on key RECORD of ButtonPos.xml, as a person gives it, then the screen rectangle of the main
// window and its assignment dialog together on standard output once the dialog is up.
//   config_poser.exe RECORD
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "config/win32/ConfigWindowClasses.h"

namespace {

// The window of `owner` that is a visible dialog, or null.
HWND DialogOf(HWND owner) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
}

void Mouse(DWORD flags, int x, int y, INPUT& input) {
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const int record = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    HWND main = nullptr, key = nullptr;
    // The program is started beside this one; up to 60 s for its window under a loaded machine.
    for (int i = 0; i < 600 && key == nullptr; ++i, Sleep(100)) {
        main = FindWindowW(kConfigMainClass, nullptr);
        if (main != nullptr) key = GetDlgItem(GetDlgItem(main, IDC_KEYBOARD), IDC_FIRST_KEY + record);
    }
    if (key == nullptr) return 1;
    SetForegroundWindow(main);
    RECT r;
    GetWindowRect(key, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    // One call: the two clicks carry one time and make a double click.
    INPUT inputs[5] = {};
    Mouse(MOUSEEVENTF_MOVE, x, y, inputs[0]);
    Mouse(MOUSEEVENTF_LEFTDOWN, x, y, inputs[1]);
    Mouse(MOUSEEVENTF_LEFTUP, x, y, inputs[2]);
    Mouse(MOUSEEVENTF_LEFTDOWN, x, y, inputs[3]);
    Mouse(MOUSEEVENTF_LEFTUP, x, y, inputs[4]);
    SendInput(5, inputs, sizeof(INPUT));
    HWND dialog = nullptr;
    for (int i = 0; i < 600 && dialog == nullptr; ++i, Sleep(100)) dialog = DialogOf(main);
    if (dialog == nullptr) return 1;
    RECT m, d;
    GetWindowRect(main, &m);
    GetWindowRect(dialog, &d);
    const RECT both{std::min(m.left, d.left), std::min(m.top, d.top), std::max(m.right, d.right),
                    std::max(m.bottom, d.bottom)};
    std::printf("%ldx%ld+%ld+%ld\n", both.right - both.left, both.bottom - both.top, both.left, both.top);
    return 0;
}
