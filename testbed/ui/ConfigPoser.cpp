// Poses K7_Config.exe for the documentation's screenshots, as a person would, and prints the
// screen rectangle to take on standard output once the window is up:
//   config_poser.exe RECORD   a double click on key RECORD of ButtonPos.xml: the main window and
//                             its assignment dialog together
//   config_poser.exe macros   Esc on a dialog still open, Macros, Edit macros from the keyboard,
//                             the first macro chosen: the macros window
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "config/win32/ConfigWindowClasses.h"
#include "k7testbed/PersonInput.h"

namespace {

// The window of `owner` that is a visible dialog, or null.
HWND DialogOf(HWND owner) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
}

void PrintRect(const RECT& r) { std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top); }

// The program is started beside this one; up to 60 s for its keyboard under a loaded machine.
HWND MainWindowWithKey(int record) {
    for (int i = 0; i < 600; ++i, Sleep(100))
        if (HWND main = FindWindowW(kConfigMainClass, nullptr);
            main != nullptr && GetDlgItem(GetDlgItem(main, IDC_KEYBOARD), IDC_FIRST_KEY + record) != nullptr) {
            SetForegroundWindow(main);
            return main;
        }
    return nullptr;
}

int PoseMacros() {
    HWND main = MainWindowWithKey(0);
    if (main == nullptr) return 1;
    // A dialog still open (the assignment of the picture before) is left with Esc.
    if (HWND dialog = DialogOf(main); dialog != nullptr) {
        SetForegroundWindow(dialog);
        k7testbed::Press(VK_ESCAPE);
        for (int i = 0; i < 600 && IsWindow(dialog); ++i) Sleep(100);
        SetForegroundWindow(main);
    }
    // Alt+M opens the Macros menu, E its item.
    k7testbed::PressWith(VK_MENU, 'M');
    k7testbed::Press('E');
    HWND macros = nullptr;
    for (int i = 0; i < 600 && (macros == nullptr || !IsWindowVisible(macros)); ++i, Sleep(100))
        macros = FindWindowW(kMacrosClass, nullptr);
    if (macros == nullptr || !IsWindowVisible(macros)) return 1;
    for (int i = 0; i < 600 && GetForegroundWindow() != macros; ++i) Sleep(100);
    // The list has the focus when the window opens: Home chooses its first macro, and the editor
    // shows its events.
    HWND list = GetDlgItem(macros, IDC_MACRO_LIST);
    k7testbed::Press(VK_HOME);
    for (int i = 0; i < 100 && SendMessageW(list, LB_GETCURSEL, 0, 0) != 0; ++i) Sleep(100);
    // Its client area: without a window manager Wine leaves the frame undrawn, and what shows
    // there is the main window behind.
    RECT r;
    GetClientRect(macros, &r);
    MapWindowPoints(macros, nullptr, reinterpret_cast<POINT*>(&r), 2);
    PrintRect(r);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    if (std::wcscmp(argv[1], L"macros") == 0) return PoseMacros();
    const int record = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    HWND main = MainWindowWithKey(record);
    if (main == nullptr) return 1;
    HWND key = GetDlgItem(GetDlgItem(main, IDC_KEYBOARD), IDC_FIRST_KEY + record);
    k7testbed::ClickCentre(key, 2);
    HWND dialog = nullptr;
    for (int i = 0; i < 600 && dialog == nullptr; ++i, Sleep(100)) dialog = DialogOf(main);
    if (dialog == nullptr) return 1;
    RECT m, d;
    GetWindowRect(main, &m);
    GetWindowRect(dialog, &d);
    const RECT both{std::min(m.left, d.left), std::min(m.top, d.top), std::max(m.right, d.right),
                    std::max(m.bottom, d.bottom)};
    PrintRect(both);
    return 0;
}
