// The agent's one channel to the keyboard's kernel driver (\\.\oxkbd).
#pragma once

#include "driver/DeviceIo.h"
#include "keyconfig/DeviceKeyTable.h"

#include <array>
#include <cstdint>

// Control codes: device type 0x22, FILE_ANY_ACCESS, METHOD_BUFFERED.
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

inline constexpr char16_t DEVICE_PATH[] = u"\\\\.\\oxkbd";

inline constexpr std::uint32_t kMacroContentSize = 192;
inline constexpr std::uint32_t kMacroRequestSize = 193;
inline constexpr std::uint32_t kCombinationKeySize = 8;
inline constexpr std::uint32_t kCombinationRequestSize = 9;
inline constexpr std::uint8_t kMaxMacroNumber = 11;
inline constexpr std::uint8_t kMaxCombinationSlot = 8;

using MacroContent = std::array<std::uint8_t, kMacroContentSize>;
using CombinationKeys = std::array<std::uint8_t, kCombinationKeySize>;

class CUSBDriver {
public:
    explicit CUSBDriver(IDeviceIo& io) : m_io(io) {}
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;
    ~CUSBDriver() { Close(); }

    bool Open();
    bool Close();
    bool IsOpen() const { return m_hDevice != 0; }

    bool SetReportRate(std::uint8_t code);
    bool ReadKeyTable(DeviceKeyTable& table);
    bool WriteKeyTable(const DeviceKeyTable& table);
    bool WriteMacro(std::uint8_t number, const MacroContent& content);
    bool WriteCombination(std::uint8_t slot, const CombinationKeys& keys);
    bool ReadCombination(std::uint8_t slot, CombinationKeys& keys);

private:
    bool Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize);

    IDeviceIo& m_io;
    DeviceHandle m_hDevice = 0;
};
