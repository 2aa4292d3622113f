// A recording IDeviceIo that plays the keyboard's driver: the model of the keyboard answers
// every request and holds the key table, the combination slots and the report rate, which a
// test sets up and reads through it; faults are the model's. Every call is recorded.
#pragma once

#include "Trace.h"
#include "driver/DeviceIo.h"
#include "keyboard/KeyboardModel.h"
#include "keyboard/KeyboardChannel.h"
#include "keyconfig/DeviceKeyTable.h"

#include <array>
#include <cstdint>

class CFakeKeyboard final : public IDeviceIo {
public:
    // A keyboard found with a zero table, so that what a test sees is what it set up.
    explicit CFakeKeyboard(Trace& trace) : m_trace(trace) { m_keyboard.Reset(keyboard::kZeroTable); }

    DeviceHandle Open(std::u16string_view path) override;
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
    void Close(DeviceHandle handle) override;

    // What the keyboard holds.
    const DeviceKeyTable& Table() const { return m_keyboard.Inspect().table; }
    void HoldTable(const DeviceKeyTable& table) { m_keyboard.HoldTable(table); }
    CombinationKeys Combination(std::uint8_t slot) const;
    void HoldCombination(std::uint8_t slot, const CombinationKeys& keys) {
        m_keyboard.HoldCombination(slot, keys.data());
    }
    std::uint8_t ReportRate() const { return m_keyboard.Inspect().reportRate; }
    // Requests fail as the model's injected faults say (FailRequests); a failing request may
    // still have written over its answer, as a real driver's may.
    keyboard::CKeyboardModel& Model() { return m_keyboard; }

    bool m_present = true;  // whether Open succeeds
    int m_tableWrites = 0;  // accepted ones

    int m_openHandles = 0;
    int m_maxOpenHandles = 0;

private:
    Trace& m_trace;
    keyboard::CKeyboardModel m_keyboard;
    DeviceHandle m_nextHandle = 0x40;
};
