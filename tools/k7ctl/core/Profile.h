// A text profile's data: what each key does, the named macros and the report rate. Only data
// lives here; reading and writing JSON, describing, encoding to the stored values, editing and
// checking are modules of their own that build on it.
#pragma once

#include "keyboard/ControlCodes.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/SettingsStore.h"
#include "xml/ButtonPosTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

struct MacroStep {
    std::uint8_t vk = 0;
    bool down = true;
    std::uint32_t delayMs = 0;

    friend bool operator==(const MacroStep&, const MacroStep&) = default;
};

struct ProfileMacro {
    std::string name;
    std::uint16_t repeat = 1;
    std::vector<MacroStep> events;

    friend bool operator==(const ProfileMacro&, const ProfileMacro&) = default;
};

// As many keys as a stored combination record holds.
inline constexpr std::size_t kMaxComboKeys = std::extent_v<decltype(CombinationRecord::vks)>;

// Keys pressed together, in pair order; 0 leaves a gap.
using ComboKeys = std::array<std::uint8_t, kMaxComboKeys>;

// One key's assignment as stored: type 1 to 9 and its parameter. For macros the parameter
// is the index into Profile::macros, for combinations the index into Profile::combinations.
struct KeyFunction {
    std::int32_t type = AssignDefault;
    std::int32_t parameter = 0;

    friend bool operator==(const KeyFunction&, const KeyFunction&) = default;
};

struct Profile {
    std::array<KeyFunction, BUTTON_COUNT> keys{};  // by layout record; absent keys are defaults
    std::vector<ProfileMacro> macros;
    std::vector<ComboKeys> combinations;  // distinct, in the order of first use
    std::int32_t rate = kDefaultReportRate;

    friend bool operator==(const Profile&, const Profile&) = default;
};

// The stored value has room for this many macros; the keyboard holds the first kMaxMacroNumber.
inline constexpr std::size_t kMaxProfileMacros = kMacroRecordCount;
inline constexpr std::size_t kMaxDeviceMacros = kMaxMacroNumber;

// The keyboard's report-rate codes.
inline constexpr bool IsReportRate(std::int32_t code) { return code == 1 || code == 2 || code == 8; }

// The layout's key name as UTF-8.
std::string KeyName(const ButtonPosRecord& record);
