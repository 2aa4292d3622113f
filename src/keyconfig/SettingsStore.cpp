#include "keyconfig/SettingsStore.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct ReadResult {
    std::int32_t error;
    std::uint32_t type;
};

// Reads a value into `buffer` through a scratch copy: the platform leaves the buffer undefined
// when the value is larger, and the previous content must survive a failed read.
ReadResult ReadValue(IRegistry& registry, RegKey key, std::u16string_view name, void* buffer, std::uint32_t size) {
    std::vector<std::uint8_t> scratch(size);
    std::uint32_t type = 0;
    std::uint32_t got = size;
    const std::int32_t rc = registry.QueryValue(key, name, &type, scratch.data(), &got);
    if (rc == kRegOk) std::memcpy(buffer, scratch.data(), std::min(got, size));
    return {rc, type};
}

// The report rate travels as 4 little-endian bytes; a shorter value replaces only its own bytes.
ReadResult ReadRate(IRegistry& registry, RegKey key, std::int32_t& nReportRate) {
    std::uint8_t bytes[4];
    StoreLe32(bytes, static_cast<std::uint32_t>(nReportRate));
    const ReadResult r = ReadValue(registry, key, kRateSettingName, bytes, sizeof bytes);
    nReportRate = static_cast<std::int32_t>(LoadLe32(bytes));
    return r;
}

void WriteRate(IRegistry& registry, RegKey key, std::int32_t nReportRate) {
    std::uint8_t bytes[4];
    StoreLe32(bytes, static_cast<std::uint32_t>(nReportRate));
    registry.SetValue(key, kRateSettingName, kRegBinary, bytes, sizeof bytes);
}

template <class Buffer>
void WriteBuffer(IRegistry& registry, RegKey key, std::u16string_view name, const Buffer& buffer) {
    registry.SetValue(key, name, kRegBinary, &buffer, sizeof buffer);
}

bool Usable(const ReadResult& r) { return r.error == kRegOk && r.type == kRegBinary; }

// Keeps a usable value; otherwise resets the buffer and stores it back whole.
template <class Buffer, class Reset>
void LoadOrRepair(IRegistry& registry, RegKey key, std::u16string_view name, Buffer& buffer, Reset reset) {
    if (Usable(ReadValue(registry, key, name, &buffer, sizeof buffer))) return;
    reset();
    WriteBuffer(registry, key, name, buffer);
}

}  // namespace

void WriteDefaultAssignments(KeySetting& keys, const ButtonPosTable& layout) {
    keys = KeySetting{};
    for (int i = 0; i < kKeyAssignmentCount; ++i) {
        keys.records[i].vk = layout[i].vkcode;
        keys.records[i].Set(AssignDefault, 0);
    }
}

void LoadSettings(IRegistry& registry, const ButtonPosTable& layout, SettingBuffers& settings,
                  std::int32_t& nReportRate, std::u16string_view keyPath) {
    RegKey key = 0;
    if (registry.OpenKey(keyPath, key) != kRegOk) {
        // First run: every value gets its default. A key that cannot be created leaves the
        // defaults in memory only.
        const bool created = registry.CreateKey(keyPath, key) == kRegOk;
        WriteDefaultAssignments(settings.keys, layout);
        settings.macros = MacroSetting{};
        settings.combinations = CombSetting{};
        nReportRate = kDefaultReportRate;
        if (!created) return;
        WriteBuffer(registry, key, kKeySettingName, settings.keys);
        WriteBuffer(registry, key, kMacroSettingName, settings.macros);
        WriteBuffer(registry, key, kCombSettingName, settings.combinations);
        WriteRate(registry, key, nReportRate);
        registry.CloseKey(key);
        return;
    }

    // Each value is judged by itself.
    LoadOrRepair(registry, key, kKeySettingName, settings.keys,
                 [&] { WriteDefaultAssignments(settings.keys, layout); });
    LoadOrRepair(registry, key, kMacroSettingName, settings.macros, [&] { settings.macros = MacroSetting{}; });
    LoadOrRepair(registry, key, kCombSettingName, settings.combinations,
                 [&] { settings.combinations = CombSetting{}; });
    if (!Usable(ReadRate(registry, key, nReportRate))) {
        nReportRate = kDefaultReportRate;
        WriteRate(registry, key, nReportRate);
    }
    registry.CloseKey(key);
}

void ReloadSettings(IRegistry& registry, SettingBuffers& settings, std::int32_t& nReportRate,
                    std::u16string_view keyPath) {
    RegKey key = 0;
    if (registry.OpenKey(keyPath, key) != kRegOk) return;
    ReadValue(registry, key, kKeySettingName, &settings.keys, sizeof settings.keys);
    ReadValue(registry, key, kMacroSettingName, &settings.macros, sizeof settings.macros);
    ReadValue(registry, key, kCombSettingName, &settings.combinations, sizeof settings.combinations);
    ReadRate(registry, key, nReportRate);
    registry.CloseKey(key);
}
