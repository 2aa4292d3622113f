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
    switch (code) {
    case IOCTL_READ_KEY_TABLE:
        if (outSize != sizeof m_table) return false;
        if (m_failReads > 0) {
            --m_failReads;
            // A failing driver may still have scribbled over the buffer.
            std::memset(out, 0xA5, outSize);
            return false;
        }
        std::memcpy(out, m_table.Bytes(), sizeof m_table);
        return true;
    case IOCTL_WRITE_KEY_TABLE:
        if (inSize != sizeof m_table) return false;
        std::memcpy(m_table.Bytes(), in, sizeof m_table);
        ++m_tableWrites;
        return true;
    case IOCTL_WRITE_COMBINATION:
        std::memcpy(m_combinations.at(bytes[0]).data(), bytes + 1, 8);
        return true;
    case IOCTL_READ_COMBINATION: {
        // The answer's first eight bytes are the slot's keys.
        const auto keys = m_combinations.at(bytes[0]);
        std::memset(out, 0, outSize);
        std::memcpy(out, keys.data(), 8);
        return true;
    }
    case IOCTL_SET_REPORT_RATE:
        m_reportRate = bytes[0];
        return true;
    default:
        return true;
    }
}

void CFakeKeyboard::Close(DeviceHandle) {
    m_trace.Add({Ev::DevClose});
    --m_openHandles;
}
