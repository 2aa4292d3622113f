#include "keyconfig/win32/Win32Registry.h"

#include <windows.h>

#include <string>

namespace {

// The seam takes views; the API wants terminated strings.
std::wstring Terminated(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

HKEY AsHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

}  // namespace

std::int32_t CWin32Registry::OpenKey(std::u16string_view path, RegKey& key) {
    HKEY h = nullptr;
    const LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(path).c_str(), 0, kAccess, &h);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
    return rc;
}

std::int32_t CWin32Registry::CreateKey(std::u16string_view path, RegKey& key) {
    HKEY h = nullptr;
    const LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, Terminated(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    kAccess, nullptr, &h, nullptr);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
    return rc;
}

std::int32_t CWin32Registry::QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, void* data,
                                        std::uint32_t* size) {
    DWORD t = 0;
    DWORD n = size ? *size : 0;
    const LONG rc = RegQueryValueExW(AsHkey(key), Terminated(name).c_str(), nullptr, type ? &t : nullptr,
                                     static_cast<BYTE*>(data), size ? &n : nullptr);
    // Like the API, report type and size only for a value that exists.
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (type) *type = t;
        if (size) *size = n;
    }
    return rc;
}

std::int32_t CWin32Registry::SetValue(RegKey key, std::u16string_view name, std::uint32_t type, const void* data,
                                      std::uint32_t size) {
    return RegSetValueExW(AsHkey(key), Terminated(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

std::int32_t CWin32Registry::CloseKey(RegKey key) { return RegCloseKey(AsHkey(key)); }
