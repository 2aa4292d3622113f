// The agent's one channel to the keyboard's kernel driver (\\.\oxkbd).
#pragma once

#include "driver/DeviceIo.h"
#include "keyboard/ControlCodes.h"
#include "keyboard/KeyTableRecord.h"
#include "keyboard/KeyboardChannel.h"

#include <cstdint>

inline constexpr char16_t DEVICE_PATH[] = u"\\\\.\\oxkbd";

static_assert(sizeof(DeviceKeyTable) == kKeyTableSize);

class CUSBDriver final : public IKeyboardChannel {
public:
    explicit CUSBDriver(IDeviceIo& io) : m_io(io) {}
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;
    ~CUSBDriver() { Close(); }

    bool Open();
    bool Close();
    bool IsOpen() const override { return m_hDevice != 0; }

    bool SetReportRate(std::uint8_t code);
    bool ReadKeyTable(DeviceKeyTable& table);
    bool WriteKeyTable(const DeviceKeyTable& table) override;
    bool WriteMacro(std::uint8_t number, const MacroContent& content) override;
    bool WriteCombination(std::uint8_t slot, const CombinationKeys& keys) override;
    bool ReadCombination(std::uint8_t slot, CombinationKeys& keys) override;

private:
    bool Send(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize);

    IDeviceIo& m_io;
    DeviceHandle m_hDevice = 0;
};
