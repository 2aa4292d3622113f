// Loading the stored key configuration from the registry into the setting buffers.
#pragma once

#include "keyconfig/Registry.h"
#include "keyconfig/SettingRecords.h"
#include "xml/ButtonPosTable.h"

#include <cstdint>
#include <string_view>

inline constexpr char16_t kSettingsKeyPath[] = u"Software\\Orvex\\K7";
inline constexpr std::int32_t kDefaultReportRate = 8;

// The four values under that key.
inline constexpr char16_t kKeySettingName[] = u"KeySetting";
inline constexpr char16_t kMacroSettingName[] = u"MacroSetting";
inline constexpr char16_t kCombSettingName[] = u"CombSetting";
inline constexpr char16_t kRateSettingName[] = u"RateSetting";

// Record i names the key of layout record i, with its factory function.
void WriteDefaultAssignments(KeySetting& keys, const ButtonPosTable& layout);

// Once at start-up: reads the four values, creating the key and replacing any value that is
// missing, larger than its buffer or not REG_BINARY with its default.
void LoadSettings(IRegistry& registry, const ButtonPosTable& layout, SettingBuffers& settings,
                  std::int32_t& nReportRate, std::u16string_view keyPath = kSettingsKeyPath);

// Before each apply: reads the four values again without checks. A value that cannot be read
// (missing key or value, larger than its buffer) leaves its buffer as it was; a shorter one
// replaces only its own bytes.
void ReloadSettings(IRegistry& registry, SettingBuffers& settings, std::int32_t& nReportRate,
                    std::u16string_view keyPath = kSettingsKeyPath);
