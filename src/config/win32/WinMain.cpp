// K7_Config.exe: the configuration program of the K7 keyboard. It shows the keyboard's keys as
// ButtonPos.xml places them, with what the stored settings assign to each.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/ModulePath.h"
#include "config/ConfigTexts.h"
#include "config/ProfileFunctionText.h"
#include "config/win32/CConfigWindow.h"
#include "config/win32/ConfigWindowClasses.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"

namespace {

std::u16string ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        // A full buffer may hold a cut path: try again with a larger one.
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return {path.begin(), path.end()};
}

// The window of the instance that runs already, restored and in front.
void BringRunningToFront() {
    HWND running = FindWindowW(kConfigMainClass, nullptr);
    if (running == nullptr) return;  // still starting: its window comes up by itself
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // One program per session: a second start (a second double click on the tray icon) shows
    // the first one's window instead of opening another.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kConfigInstanceMutex);
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        BringRunningToFront();
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::u16string modulePath = ModulePath();
    LoadLanguageStrings(SiblingFilePath(modulePath, u"language", u"xml"));
    static ButtonPosTable layout;
    LoadButtonPositions(SiblingFilePath(modulePath, u"ButtonPos", u"xml"), layout);
    static const ConfigTexts texts = LoadConfigTexts();
    static const CProfileFunctionText functions(texts);
    static CWin32Registry registry;
    static CConfigDocument document(layout);
    LoadStoredProfile(document, registry);

    static CConfigWindow window(document, texts, functions, registry);
    if (!CConfigWindow::RegisterClasses(instance) ||
        window.Create(instance, reinterpret_cast<const wchar_t*>(str_title.c_str()), show) == nullptr) {
        if (mutex != nullptr) CloseHandle(mutex);
        return 1;
    }

    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        // Tab and Shift+Tab move between the window's controls, as in a dialog.
        if (IsDialogMessageW(window.Window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (mutex != nullptr) CloseHandle(mutex);
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}
