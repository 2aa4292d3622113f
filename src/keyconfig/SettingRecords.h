// The stored key configuration: the byte layouts of the registry values and their buffers.
#pragma once

#include "keyconfig/ByteOrder.h"

#include <cstddef>
#include <cstdint>

inline constexpr int kKeyAssignmentCount = 108;
inline constexpr int kMacroRecordCount = 100;
inline constexpr int kMacroEventCapacity = 161;
inline constexpr int kCombinationRecordCount = 100;

// Assignment types (KeyAssignment::Type).
enum : std::int32_t {
    AssignDefault = 1,
    AssignSystemShortcut = 2,
    AssignMouseButton = 3,
    AssignMacro = 4,
    AssignConsumer = 5,
    AssignEditShortcut = 6,
    AssignConsumerAlt = 7,
    AssignCombination = 8,
    AssignKeyRemap = 9,
};

// The records are byte arrays with accessors, so they have no padding and no host byte order.
struct KeyAssignment {
    std::uint8_t vk;  // the physical key this record configures
    std::uint8_t reserved[3];
    std::uint8_t type[4];
    std::uint8_t parameter[4];

    std::int32_t Type() const { return static_cast<std::int32_t>(LoadLe32(type)); }
    std::int32_t Parameter() const { return static_cast<std::int32_t>(LoadLe32(parameter)); }
    void Set(std::int32_t t, std::int32_t p) {
        StoreLe32(type, static_cast<std::uint32_t>(t));
        StoreLe32(parameter, static_cast<std::uint32_t>(p));
    }
};
static_assert(sizeof(KeyAssignment) == 12);

struct MacroEvent {
    std::uint8_t vk;
    std::uint8_t state;  // nonzero: key down
    std::uint8_t reserved[2];
    std::uint8_t delay[4];  // milliseconds

    std::uint32_t DelayMs() const { return LoadLe32(delay); }
};
static_assert(sizeof(MacroEvent) == 8);

struct MacroRecord {
    std::uint8_t header[8];
    std::uint8_t repeat[4];  // only the low 16 bits count
    std::uint8_t eventCount[2];
    std::uint8_t reserved[2];
    MacroEvent events[kMacroEventCapacity];

    std::uint16_t Repeat() const { return LoadLe16(repeat); }
    std::uint16_t EventCount() const { return LoadLe16(eventCount); }
};
static_assert(sizeof(MacroRecord) == 1304);

struct CombinationRecord {
    std::uint8_t vks[4];  // keys pressed together, in order; 0 = none
    std::uint8_t reserved[520];
};
static_assert(sizeof(CombinationRecord) == 524);

// The three process-wide setting buffers, each exactly the size of its registry value.
struct KeySetting {
    KeyAssignment records[kKeyAssignmentCount];
};
static_assert(sizeof(KeySetting) == 1296);

struct MacroSetting {
    MacroRecord records[kMacroRecordCount];
    std::uint8_t count[4];  // number of valid records, signed

    std::int32_t Count() const { return static_cast<std::int32_t>(LoadLe32(count)); }
};
static_assert(sizeof(MacroSetting) == 130404);
static_assert(offsetof(MacroSetting, count) == 130400);

struct CombSetting {
    CombinationRecord records[kCombinationRecordCount];
    std::uint8_t tail[4];
};
static_assert(sizeof(CombSetting) == 52404);

struct SettingBuffers {
    KeySetting keys{};
    MacroSetting macros{};
    CombSetting combinations{};
};
