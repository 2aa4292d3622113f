#include "config/win32/MainMenu.h"

#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/Controls.h"
#include "config/win32/LanguageMenu.h"

#include <iterator>

HMENU CreateMainMenu(const ConfigTexts& texts) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_NEW, Wide(texts.menuNew));
    AppendMenuW(file, MF_STRING, IDM_OPEN, Wide(texts.menuOpen));
    AppendMenuW(file, MF_STRING, IDM_SAVE, Wide(texts.menuSave));
    AppendMenuW(file, MF_STRING, IDM_SAVE_AS, Wide(texts.menuSaveAs));
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_EXIT, Wide(texts.menuExit));
    HMENU key = CreatePopupMenu();
    AppendMenuW(key, MF_STRING, IDM_ASSIGN, Wide(texts.assign));
    HMENU keyboard = CreatePopupMenu();
    AppendMenuW(keyboard, MF_STRING, IDM_SET_RATE, Wide(texts.setRate));
    AppendMenuW(keyboard, MF_STRING, IDM_RESTORE, Wide(texts.restore));
    AppendMenuW(keyboard, MF_STRING, IDM_APPLY, Wide(texts.apply));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), Wide(texts.menuFile));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(key), Wide(texts.menuKey));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(keyboard), Wide(texts.menuKeyboard));
    HMENU macros = CreatePopupMenu();
    AppendMenuW(macros, MF_STRING, IDM_MACROS, Wide(texts.editMacros));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(macros), Wide(texts.menuMacros));
    if (HMENU languages = CreateLanguageMenu())
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(languages), Wide(texts.menuLanguage));
    return bar;
}

HACCEL CreateMenuAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'N', IDM_NEW},
        {FCONTROL | FVIRTKEY, 'O', IDM_OPEN},
        {FCONTROL | FVIRTKEY, 'S', IDM_SAVE},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}
