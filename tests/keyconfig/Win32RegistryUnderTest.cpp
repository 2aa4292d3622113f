#include "RegistryUnderTest.h"
#include "keyconfig/win32/Win32Registry.h"

#include <windows.h>

#include <string>

IRegistry& RegistryUnderTest() {
    static CWin32Registry registry;
    return registry;
}

void RemoveScratchKey() { RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(kScratchKeyPath)); }

std::uint32_t ValueCountUnder(std::u16string_view path) {
    const std::wstring wide(path.begin(), path.end());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}
