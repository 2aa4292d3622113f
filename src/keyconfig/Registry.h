// The narrow seam through which the settings store reaches the current user's registry hive.
#pragma once

#include <cstdint>
#include <string_view>

using RegKey = std::uintptr_t;  // 0 = none

// Win32 error codes the store and its tests meet.
inline constexpr std::int32_t kRegOk = 0;
inline constexpr std::int32_t kRegFileNotFound = 2;
inline constexpr std::int32_t kRegAccessDenied = 5;
inline constexpr std::int32_t kRegInvalidHandle = 6;
inline constexpr std::int32_t kRegInvalidParameter = 87;
inline constexpr std::int32_t kRegMoreData = 234;

// Registry value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Each call mirrors its Win32 counterpart on HKEY_CURRENT_USER and returns its error code.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    // RegOpenKeyExW with KEY_READ | KEY_WRITE; fails with 2 when the key does not exist.
    virtual std::int32_t OpenKey(std::u16string_view path, RegKey& key) = 0;

    // RegCreateKeyExW, non-volatile, KEY_READ | KEY_WRITE; opens the key when it exists.
    virtual std::int32_t CreateKey(std::u16string_view path, RegKey& key) = 0;

    // RegQueryValueExW. `data` may be null to ask for the size. A value larger than *size fails
    // with 234 and reports the needed size in *size; the type is reported whenever the value exists.
    virtual std::int32_t QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, void* data,
                                    std::uint32_t* size) = 0;

    // RegSetValueExW.
    virtual std::int32_t SetValue(RegKey key, std::u16string_view name, std::uint32_t type, const void* data,
                                  std::uint32_t size) = 0;

    virtual std::int32_t CloseKey(RegKey key) = 0;
};
