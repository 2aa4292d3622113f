#include "k7testbed/OwnDesktop.h"

#include <windows.h>

namespace k7testbed {

bool UseOwnDesktop(const wchar_t* name) {
    // Wine makes a desktop with a size under this key a virtual desktop.
    HKEY desktops = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &desktops, nullptr) != ERROR_SUCCESS)
        return false;
    static const wchar_t kSize[] = L"1024x768";
    const bool sized =
        RegSetValueExW(desktops, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(kSize), sizeof kSize) == ERROR_SUCCESS;
    RegCloseKey(desktops);
    HDESK desktop = sized ? CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr) : nullptr;
    if (desktop == nullptr || !SetThreadDesktop(desktop)) return false;
    // Wine starts a desktop's window (an explorer process) for the first thread that asks for
    // it: ask now, so that the first program to join does not wait for it during its start.
    return GetDesktopWindow() != nullptr;
}

}  // namespace k7testbed
