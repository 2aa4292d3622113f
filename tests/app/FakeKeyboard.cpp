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
    const std::uint32_t injected = m_keyboard.Inspect().failInjected;
    const bool accepted = m_keyboard.Control(code, in, inSize, out, outSize);
    // A failing driver may still have scribbled over the buffer.
    if (m_keyboard.Inspect().failInjected != injected && out != nullptr) std::memset(out, 0xA5, outSize);
    if (accepted && code == IOCTL_WRITE_KEY_TABLE) ++m_tableWrites;
    return accepted;
}

CombinationKeys CFakeKeyboard::Combination(std::uint8_t slot) const {
    CombinationKeys keys{};
    std::memcpy(keys.data(), m_keyboard.CombinationKeysOf(slot), keys.size());
    return keys;
}

void CFakeKeyboard::Close(DeviceHandle) {
    m_trace.Add({Ev::DevClose});
    --m_openHandles;
}
