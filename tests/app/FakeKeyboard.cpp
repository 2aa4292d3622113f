#include "FakeKeyboard.h"

#include "driver/CUSBDriver.h"

#include <algorithm>
#include <cstring>

DeviceHandle CFakeKeyboard::Open(std::u16string_view path) {
    m_trace.Add({.kind = Ev::DevOpen, .text = std::u16string(path)});
    if (!m_present) return 0;
    m_maxOpenHandles = std::max(m_maxOpenHandles, ++m_openHandles);
    return m_nextHandle += 4;
}

bool CFakeKeyboard::Control(DeviceHandle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                            std::uint32_t outSize) {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    m_trace.Add({Ev::DevControl, 0, code, inSize, inSize > 0 ? bytes[0] : 0});
    if (code == IOCTL_READ_KEY_TABLE && outSize == sizeof m_table && m_failReads > 0) {
        --m_failReads;
        // A failing driver may still have scribbled over the buffer.
        std::memset(out, 0xA5, outSize);
        return false;
    }
    // The model answers from what the test set up, and what it holds then is the test's to see.
    m_keyboard.HoldTable(m_table);
    for (std::uint8_t slot = 0; slot <= kMaxCombinationSlot; ++slot)
        m_keyboard.HoldCombination(slot, m_combinations[slot].data());
    const bool accepted = m_keyboard.Control(code, in, inSize, out, outSize);
    const keyboard::State& s = m_keyboard.Inspect();
    m_table = s.table;
    for (std::uint8_t slot = 0; slot <= kMaxCombinationSlot; ++slot)
        std::memcpy(m_combinations[slot].data(), m_keyboard.CombinationKeysOf(slot), kCombinationKeySize);
    m_reportRate = s.reportRate;
    if (accepted && code == IOCTL_WRITE_KEY_TABLE) ++m_tableWrites;
    return accepted;
}

void CFakeKeyboard::Close(DeviceHandle) {
    m_trace.Add({Ev::DevClose});
    --m_openHandles;
}
