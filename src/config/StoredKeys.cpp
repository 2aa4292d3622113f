#include "config/StoredKeys.h"

namespace {

constexpr char16_t kKeySettingName[] = u"KeySetting";

StoredKeys Query(IRegistry& registry, RegKey key) {
    StoredKeys stored;
    // The size first: a value of another size is named, not half-read.
    stored.error = registry.QueryValue(key, kKeySettingName, &stored.type, nullptr, &stored.size);
    if (stored.error == kRegFileNotFound) {
        stored.state = StoredKeysState::NoValue;
        return stored;
    }
    if (stored.error != kRegOk) return stored;
    if (stored.type != kRegBinary) {
        stored.state = StoredKeysState::WrongType;
        return stored;
    }
    if (stored.size != sizeof(KeySetting)) {
        stored.state = StoredKeysState::WrongSize;
        return stored;
    }
    std::uint32_t size = sizeof(KeySetting);
    KeySetting keys{};
    stored.error = registry.QueryValue(key, kKeySettingName, &stored.type, &keys, &size);
    // Changed between the two reads: say so rather than show a mixture.
    if (stored.error != kRegOk || stored.type != kRegBinary || size != sizeof(KeySetting)) {
        stored.state = StoredKeysState::Unreadable;
        stored.size = size;
        return stored;
    }
    stored.keys = keys;
    stored.state = StoredKeysState::Read;
    return stored;
}

}  // namespace

StoredKeys ReadStoredKeys(IRegistry& registry, std::u16string_view keyPath) {
    RegKey key = 0;
    const std::int32_t opened = registry.OpenKey(keyPath, key);
    if (opened != kRegOk) {
        StoredKeys stored;
        stored.error = opened;
        stored.state = opened == kRegFileNotFound ? StoredKeysState::NoKey : StoredKeysState::Unreadable;
        return stored;
    }
    StoredKeys stored = Query(registry, key);
    registry.CloseKey(key);
    return stored;
}

std::int32_t StoredReportRate(IRegistry& registry, std::u16string_view keyPath) {
    RegKey key = 0;
    if (registry.OpenKey(keyPath, key) != kRegOk) return kDefaultReportRate;
    std::uint8_t bytes[4] = {};
    std::uint32_t type = 0, size = sizeof bytes;
    const std::int32_t read = registry.QueryValue(key, u"RateSetting", &type, bytes, &size);
    registry.CloseKey(key);
    if (read != kRegOk || type != kRegBinary || size != sizeof bytes) return kDefaultReportRate;
    const auto code = static_cast<std::int32_t>(LoadLe32(bytes));
    return code == 1 || code == 2 || code == 8 ? code : kDefaultReportRate;
}

const KeyAssignment* FindAssignment(const KeySetting& keys, std::uint8_t vk) {
    // Code 0 is what an unfilled layout record or an empty stored record holds: no key.
    if (vk == 0) return nullptr;
    for (const KeyAssignment& record : keys.records)
        if (record.vk == vk) return &record;
    return nullptr;
}
