#include "SavedSettings.h"

#include <windows.h>

CSavedSettings::CSavedSettings() {
    for (Saved& s : m_saved) {
        RegKey key = 0;
        if (m_registry.OpenKey(kSettingsKeyPath, key) != kRegOk) continue;
        std::uint32_t size = 0;
        if (m_registry.QueryValue(key, s.name, &s.type, nullptr, &size) == kRegOk) {
            s.bytes.emplace(size);
            m_registry.QueryValue(key, s.name, &s.type, s.bytes->data(), &size);
        }
        m_registry.CloseKey(key);
    }
}

CSavedSettings::~CSavedSettings() {
    RegKey key = 0;
    if (m_registry.CreateKey(kSettingsKeyPath, key) != kRegOk) return;
    for (const Saved& s : m_saved) {
        if (s.bytes)
            m_registry.SetValue(key, s.name, s.type, s.bytes->data(), static_cast<std::uint32_t>(s.bytes->size()));
        else
            RegDeleteValueW(reinterpret_cast<HKEY>(key), reinterpret_cast<const wchar_t*>(s.name));
    }
    m_registry.CloseKey(key);
}

bool CSavedSettings::Write(const SettingBuffers& b) {
    RegKey key = 0;
    if (m_registry.CreateKey(kSettingsKeyPath, key) != kRegOk) return false;
    const bool ok =
        m_registry.SetValue(key, kKeySettingName, kRegBinary, &b.keys, sizeof b.keys) == kRegOk &&
        m_registry.SetValue(key, kMacroSettingName, kRegBinary, &b.macros, sizeof b.macros) == kRegOk &&
        m_registry.SetValue(key, kCombSettingName, kRegBinary, &b.combinations, sizeof b.combinations) == kRegOk;
    m_registry.CloseKey(key);
    return ok;
}

std::unique_ptr<SettingBuffers> DefaultSettings() {
    auto b = std::make_unique<SettingBuffers>();
    for (KeyAssignment& r : b->keys.records) r.Set(AssignDefault, 0);
    return b;
}

void SetRecord(SettingBuffers& b, int index, std::uint8_t vk, std::int32_t type, std::int32_t parameter) {
    b.keys.records[index].vk = vk;
    b.keys.records[index].Set(type, parameter);
}

void SetOneKeyOfEachKind(SettingBuffers& b) {
    SetRecord(b, 0, 0x41, AssignKeyRemap, 0x5A);
    SetRecord(b, 1, 0x42, AssignConsumer, 7);
    SetRecord(b, 2, 0x43, AssignMouseButton, 10);
    SetRecord(b, 3, 0x44, AssignMacro, 0);
    SetRecord(b, 4, 0x45, AssignCombination, 0);
    SetRecord(b, 5, 0x46, AssignEditShortcut, 4);
}
