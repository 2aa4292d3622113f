// The four values under the agent's key, read and written whole through the registry seam,
// with a backup of what a profile replaced.
#pragma once

#include "StoredEncoding.h"
#include "keyconfig/Registry.h"
#include "keyconfig/SettingsStore.h"

#include <memory>
#include <string_view>

inline constexpr char16_t kBackupKeyPath[] = u"Software\\Orvex\\K7\\Backup";

// Reads the values the way the agent does before an apply; values that are missing read as
// zeros (the rate as 8). Null when the key does not exist.
std::unique_ptr<StoredSettings> ReadStoredSettings(IRegistry& registry, std::u16string_view keyPath = kSettingsKeyPath);

// Creates the key when needed and writes all four values; false when any write failed.
bool WriteStoredSettings(IRegistry& registry, const StoredSettings& stored,
                         std::u16string_view keyPath = kSettingsKeyPath);

// Copies the stored values to the backup key, then writes the profile over them (read-modify-
// write). False when the backup or a write failed; the values are not written without a backup.
bool WriteProfile(IRegistry& registry, const Profile& profile, const ButtonPosTable& layout);

// Writes the backup back; false when there is none or a write failed.
bool RestoreBackup(IRegistry& registry);
