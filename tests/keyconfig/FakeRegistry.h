// An in-memory registry hive that answers like the real one (the contract tests hold it to that).
#pragma once

#include "keyconfig/Registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FakeRegistry final : public IRegistry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
    };

    FakeRegistry();

    std::int32_t OpenKey(std::u16string_view path, RegKey& key) override;
    std::int32_t CreateKey(std::u16string_view path, RegKey& key) override;
    std::int32_t QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, void* data,
                            std::uint32_t* size) override;
    std::int32_t SetValue(RegKey key, std::u16string_view name, std::uint32_t type, const void* data,
                          std::uint32_t size) override;
    std::int32_t CloseKey(RegKey key) override;

    // Direct access for tests, bypassing handles.
    void Put(std::u16string_view path, std::u16string_view name, std::uint32_t type, std::vector<std::uint8_t> bytes);
    const Value* Find(std::u16string_view path, std::u16string_view name) const;
    bool HasKey(std::u16string_view path) const;
    std::size_t ValueCount(std::u16string_view path) const;
    void RemoveKey(std::u16string_view path);  // with its subkeys
    std::size_t OpenHandles() const { return m_handles.size(); }

    // Every open and create fails with ERROR_ACCESS_DENIED while set.
    bool m_bDenyAccess = false;

private:
    using Values = std::map<std::u16string, Value>;  // by folded name

    std::map<std::u16string, Values> m_keys;     // by folded path
    std::map<RegKey, std::u16string> m_handles;  // open handle -> folded path
    RegKey m_nextHandle = 0x100;
};
