// The stored configuration as the configuration program leaves it: the tests write the
// registry values the agent reads on an apply, and put the user's own values back after.
#pragma once

#include "keyconfig/SettingRecords.h"
#include "keyconfig/SettingsStore.h"
#include "keyconfig/win32/Win32Registry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Saves the stored values the test overwrites and puts them back (or deletes them) afterwards.
class CSavedSettings {
public:
    CSavedSettings();
    ~CSavedSettings();
    CSavedSettings(const CSavedSettings&) = delete;
    CSavedSettings& operator=(const CSavedSettings&) = delete;

    // Writes the key, macro and combination values.
    bool Write(const SettingBuffers& b);

private:
    struct Saved {
        const char16_t* name;
        std::uint32_t type = 0;
        std::optional<std::vector<std::uint8_t>> bytes;
    };
    CWin32Registry m_registry;
    std::array<Saved, 3> m_saved{{{kKeySettingName, 0, {}}, {kMacroSettingName, 0, {}}, {kCombSettingName, 0, {}}}};
};

// Every record names virtual key 0 with its default: each one rewrites slot 2 with its own
// (empty) factory entry, so only the records a test sets change anything.
std::unique_ptr<SettingBuffers> DefaultSettings();

void SetRecord(SettingBuffers& b, int index, std::uint8_t vk, std::int32_t type, std::int32_t parameter);
// Records 0 to 5 as keys A to F with one function of each kind: A sends Z, B Mute, C a double
// click, D macro 0, E combination 0, F Ctrl+A.
void SetOneKeyOfEachKind(SettingBuffers& b);
