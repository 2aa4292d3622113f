// A recording IDeviceIo that plays the keyboard's driver: the model of the keyboard answers
// every request, with the key table, the combination slots and the report rate kept in
// members that a test sets up and reads; every call is recorded.
#pragma once

#include "Trace.h"
#include "driver/DeviceIo.h"
#include "keyboard/KeyboardModel.h"
#include "keyconfig/DeviceKeyTable.h"

#include <array>
#include <cstdint>

class CFakeKeyboard final : public IDeviceIo {
public:
    explicit CFakeKeyboard(Trace& trace) : m_trace(trace) {}

    DeviceHandle Open(std::u16string_view path) override;
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
    void Close(DeviceHandle handle) override;

    bool m_present = true;        // whether Open succeeds
    int m_failReads = 0;          // the next n table reads fail
    DeviceKeyTable m_table{};     // what the keyboard holds
    std::uint8_t m_reportRate = 0;
    std::array<std::array<std::uint8_t, 8>, 9> m_combinations{};  // by device slot
    int m_tableWrites = 0;  // accepted ones

    int m_openHandles = 0;
    int m_maxOpenHandles = 0;

private:
    Trace& m_trace;
    keyboard::CKeyboardModel m_keyboard;
    DeviceHandle m_nextHandle = 0x40;
};
