// The Language menu: the language files beside the program, the one in place checked; and what
// choosing one does. The chosen file is put in place as language.xml, and the agent, which reads
// its texts once at its start, is restarted so that its tray speaks the language too.
#pragma once

#include <windows.h>

#include <string>

#include "config/LanguageFiles.h"

// Null when the program finds no language file beside it. Item i (IDM_LANGUAGE_FIRST + i) is
// file i of FindLanguageFiles.
HMENU CreateLanguageMenu();

struct LanguageChoice {
    LanguageOutcome outcome = LanguageOutcome::Failed;
    std::u16string where;  // for a failure: the folder, and the system's error
};

// Puts language file `index` in place and, when the agent runs, restarts it: the program's
// registration is withdrawn first (wParam 0, so that the agent's WM_CLOSE to the registered
// window, as it ends, does not close the program), the agent is asked to close, and once it has
// ended it is started again from its folder. The caller registers its window again (RegisterWithAgent) once its windows
// speak the new language.
LanguageChoice ChooseLanguage(int index);

// The agent posts its answers to `window` from now on; nothing when it does not run.
void RegisterWithAgent(HWND window);
