// The keyboard driver's control codes and request sizes. Needs nothing beyond <cstdint>
// so that the virtual keyboard's kernel driver shares the very same numbers.
#pragma once

#include <cstdint>

// Device type 0x22 (FILE_DEVICE_UNKNOWN), FILE_ANY_ACCESS, METHOD_BUFFERED.
inline constexpr std::uint32_t IoctlCode(std::uint32_t function) { return (0x22u << 16) | (function << 2); }
inline constexpr std::uint32_t IOCTL_SET_REPORT_RATE = IoctlCode(0x905);
inline constexpr std::uint32_t IOCTL_WRITE_KEY_TABLE = IoctlCode(0x907);
inline constexpr std::uint32_t IOCTL_READ_KEY_TABLE = IoctlCode(0x908);
inline constexpr std::uint32_t IOCTL_WRITE_MACRO = IoctlCode(0x909);
inline constexpr std::uint32_t IOCTL_WRITE_COMBINATION = IoctlCode(0x90B);
inline constexpr std::uint32_t IOCTL_READ_COMBINATION = IoctlCode(0x90C);
static_assert(IOCTL_SET_REPORT_RATE == 0x222414 && IOCTL_WRITE_KEY_TABLE == 0x22241C &&
              IOCTL_READ_KEY_TABLE == 0x222420 && IOCTL_WRITE_MACRO == 0x222424 &&
              IOCTL_WRITE_COMBINATION == 0x22242C && IOCTL_READ_COMBINATION == 0x222430);

inline constexpr std::uint32_t kKeyTableSize = 608;
inline constexpr std::uint32_t kMacroContentSize = 192;
inline constexpr std::uint32_t kMacroRequestSize = 193;
inline constexpr std::uint32_t kCombinationKeySize = 8;
inline constexpr std::uint32_t kCombinationRequestSize = 9;
inline constexpr std::uint8_t kMaxMacroNumber = 11;
inline constexpr std::uint8_t kMaxCombinationSlot = 8;
