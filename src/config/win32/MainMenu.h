// The main window's menu bar. Every command of the program is on it, with its access key, so
// that the keyboard alone reaches what the buttons and the keyboard view offer.
#pragma once

#include <windows.h>

#include "config/ConfigTexts.h"

HMENU CreateMainMenu(const ConfigTexts& texts);

// The menu's shortcuts: Ctrl+N, Ctrl+O and Ctrl+S, as the File menu shows them.
HACCEL CreateMenuAccelerators();
