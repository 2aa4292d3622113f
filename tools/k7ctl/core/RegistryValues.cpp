#include "RegistryValues.h"

#include "keyconfig/ByteOrder.h"

namespace {

template <class Buffer>
bool SetBinary(IRegistry& registry, RegKey key, std::u16string_view name, const Buffer& buffer) {
    return registry.SetValue(key, name, kRegBinary, &buffer, sizeof buffer) == kRegOk;
}

}  // namespace

std::unique_ptr<StoredSettings> ReadStoredSettings(IRegistry& registry, std::u16string_view keyPath) {
    RegKey key = 0;
    if (registry.OpenKey(keyPath, key) != kRegOk) return nullptr;
    registry.CloseKey(key);
    auto stored = std::make_unique<StoredSettings>();
    ReloadSettings(registry, stored->buffers, stored->rate, keyPath);
    return stored;
}

bool WriteStoredSettings(IRegistry& registry, const StoredSettings& stored, std::u16string_view keyPath) {
    RegKey key = 0;
    if (registry.CreateKey(keyPath, key) != kRegOk) return false;
    std::uint8_t rate[4];
    StoreLe32(rate, static_cast<std::uint32_t>(stored.rate));
    const bool ok = SetBinary(registry, key, kKeySettingName, stored.buffers.keys) &&
                    SetBinary(registry, key, kMacroSettingName, stored.buffers.macros) &&
                    SetBinary(registry, key, kCombSettingName, stored.buffers.combinations) &&
                    SetBinary(registry, key, kRateSettingName, rate);
    registry.CloseKey(key);
    return ok;
}

bool WriteProfile(IRegistry& registry, const Profile& profile, const ButtonPosTable& layout) {
    std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    if (!stored)
        stored = std::make_unique<StoredSettings>();
    else if (!WriteStoredSettings(registry, *stored, kBackupKeyPath))
        return false;
    EncodeProfile(profile, layout, *stored);
    return WriteStoredSettings(registry, *stored);
}

bool RestoreBackup(IRegistry& registry) {
    const std::unique_ptr<StoredSettings> backup = ReadStoredSettings(registry, kBackupKeyPath);
    return backup && WriteStoredSettings(registry, *backup);
}
