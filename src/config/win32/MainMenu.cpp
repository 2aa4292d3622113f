#include "config/win32/MainMenu.h"

#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/LanguageMenu.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

HMENU CreateMainMenu(const ConfigTexts& texts) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_EXIT, Wide(texts.menuExit));
    HMENU key = CreatePopupMenu();
    AppendMenuW(key, MF_STRING, IDM_ASSIGN, Wide(texts.assign));
    HMENU keyboard = CreatePopupMenu();
    AppendMenuW(keyboard, MF_STRING, IDM_SET_RATE, Wide(texts.setRate));
    AppendMenuW(keyboard, MF_STRING, IDM_RESTORE, Wide(texts.restore));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), Wide(texts.menuFile));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(key), Wide(texts.menuKey));
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(keyboard), Wide(texts.menuKeyboard));
    if (HMENU languages = CreateLanguageMenu())
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(languages), Wide(texts.menuLanguage));
    return bar;
}
