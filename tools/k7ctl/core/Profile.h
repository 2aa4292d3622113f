// A text profile: what each key does, the named macros and the report rate, read from JSON
// and checked against everything the keyboard can hold.
#pragma once

#include "xml/ButtonPosTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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

// Keys pressed together, in pair order; 0 leaves a gap.
using ComboKeys = std::array<std::uint8_t, 4>;

// One key's assignment as stored: type 1 to 9 and its parameter. For macros the parameter
// is the index into Profile::macros, for combinations the index into Profile::combinations.
struct KeyFunction {
    std::int32_t type = 1;
    std::int32_t parameter = 0;

    friend bool operator==(const KeyFunction&, const KeyFunction&) = default;
};

struct Profile {
    std::array<KeyFunction, BUTTON_COUNT> keys{};  // by layout record; absent keys are defaults
    std::vector<ProfileMacro> macros;
    std::vector<ComboKeys> combinations;  // distinct, in the order of first use
    std::int32_t rate = 8;

    friend bool operator==(const Profile&, const Profile&) = default;
};

inline constexpr std::size_t kMaxProfileMacros = 100;
inline constexpr std::size_t kMaxComboKeys = 4;

// Parses and checks a profile. Every error is one line "file:line:column: subject: rule";
// the profile is only meaningful when the list is empty.
std::vector<std::string> ReadProfile(std::string_view text, std::string_view fileName, const ButtonPosTable& layout,
                                     Profile& profile);

// The layout's key name as UTF-8.
std::string KeyName(const ButtonPosRecord& record);
