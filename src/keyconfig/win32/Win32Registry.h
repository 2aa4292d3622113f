// The registry seam over ADVAPI32 on HKEY_CURRENT_USER.
#pragma once

#include "keyconfig/Registry.h"

class CWin32Registry final : public IRegistry {
public:
    std::int32_t OpenKey(std::u16string_view path, RegKey& key) override;
    std::int32_t CreateKey(std::u16string_view path, RegKey& key) override;
    std::int32_t QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, void* data,
                            std::uint32_t* size) override;
    std::int32_t SetValue(RegKey key, std::u16string_view name, std::uint32_t type, const void* data,
                          std::uint32_t size) override;
    std::int32_t CloseKey(RegKey key) override;
};
