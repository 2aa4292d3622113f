// What "KeySetting" holds now, read without writing anything: the configuration program
// shows the stored state, it never repairs it (that is the agent's part at its start).
#pragma once

#include "keyconfig/Registry.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/SettingsStore.h"

#include <cstdint>
#include <string_view>

enum class StoredKeysState {
    Read,   // 1296 bytes of REG_BINARY
    NoKey,  // the agent has not run yet for this user
    NoValue,
    WrongType,  // `size` and `type` say what is there
    WrongSize,
    Unreadable,  // the key or the value could not be read (`error`)
};

struct StoredKeys {
    StoredKeysState state = StoredKeysState::Unreadable;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int32_t error = kRegOk;
    KeySetting keys{};  // all zero unless state is Read
};

StoredKeys ReadStoredKeys(IRegistry& registry, std::u16string_view keyPath = kSettingsKeyPath);

// The report-rate code "RateSetting" holds when it is one the agent passes on (1, 2 or 8);
// otherwise the agent's default, 8.
std::int32_t StoredReportRate(IRegistry& registry, std::u16string_view keyPath = kSettingsKeyPath);

// The record that configures the key with this virtual-key code (the first, as the agent's
// translation would meet it); null when none does.
const KeyAssignment* FindAssignment(const KeySetting& keys, std::uint8_t vk);
