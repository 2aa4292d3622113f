// K7_Config.exe: the configuration program of the K7 keyboard. It shows the keyboard's keys as
// ButtonPos.xml places them, with what the stored settings assign to each.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "app/ModulePath.h"
#include "config/ConfigTexts.h"
#include "config/ProfileFunctionText.h"
#include "config/win32/CConfigWindow.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/MainMenu.h"
#include "config/win32/ProgramPath.h"
#include "keyconfig/win32/Win32Registry.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"

namespace {

// The window of the instance that runs already, restored and in front.
void BringRunningToFront() {
    HWND running = FindWindowW(kConfigMainClass, nullptr);
    if (running == nullptr) return;  // still starting: its window comes up by itself
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    // A question or file dialog of the running one is what the user has to answer first.
    SetForegroundWindow(GetLastActivePopup(running));
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

    const std::u16string modulePath = ProgramPath();
    const std::u16string languagePath = SiblingFilePath(modulePath, u"language", u"xml");
    LoadLanguageStrings(languagePath);
    static ButtonPosTable layout;
    LoadButtonPositions(SiblingFilePath(modulePath, u"ButtonPos", u"xml"), layout);
    static ConfigTexts texts = LoadConfigTexts();
    static const CProfileFunctionText functions(texts);
    static CWin32Registry registry;
    static CConfigDocument document(layout);
    LoadStoredProfile(document, registry);

    if (!CConfigWindow::RegisterClasses(instance)) {
        if (mutex != nullptr) CloseHandle(mutex);
        return 1;
    }
    static std::optional<CConfigWindow> window;
    const auto make = [&](int showAs) {
        window.emplace(document, texts, functions, registry);
        return window->Create(instance, reinterpret_cast<const wchar_t*>(str_title.c_str()), showAs) != nullptr;
    };
    HACCEL accelerators = CreateMenuAccelerators();
    MSG msg{};
    BOOL got = make(show) ? 1 : -1;
    while (got != -1) {
        while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
            // The menu's shortcut keys act in the main window, not in the windows it opens.
            HWND root = GetAncestor(msg.hwnd, GA_ROOT);
            if (root == window->Window() && TranslateAcceleratorW(root, accelerators, &msg)) continue;
            // Tab and Shift+Tab move between a window's controls, as in a dialog: in the main
            // window and in the windows it opens.
            if (root != nullptr && IsDialogMessageW(root, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (got != 0 || !window->LanguageChosen()) break;
        // A language was chosen: the window is made again with the new texts, where it was; the
        // document, with its unsaved edits, stays as it is.
        const LanguageChoice choice = window->Language();
        WINDOWPLACEMENT placement = window->Placement();
        LoadLanguageStrings(languagePath);
        texts = LoadConfigTexts();
        if (!make(SW_HIDE)) {
            got = -1;
            break;
        }
        // The status first: the window tells what happened as soon as it shows.
        window->SetStatus(LanguageOutcomeText(texts, choice.outcome));
        SetWindowPlacement(window->Window(), &placement);
        SetForegroundWindow(window->Window());
        if (choice.outcome == LanguageOutcome::Changed || choice.outcome == LanguageOutcome::NotEnded)
            RegisterWithAgent(window->Window());
    }
    if (mutex != nullptr) CloseHandle(mutex);
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}
