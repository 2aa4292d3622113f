// A keyboard whose driver fails chosen requests: it wraps the recording fake keyboard and
// has its model fail the n-th request of one control code (or that one and all later ones),
// checks that every request has its code's exact sizes, and keeps every table the keyboard
// gave the agent and every table the agent wrote.
#pragma once

#include "FakeKeyboard.h"
#include "OxkbdProtocol.h"
#include "driver/DeviceIo.h"
#include "keyconfig/DeviceKeyTable.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

class CFaultyKeyboard final : public IDeviceIo {
public:
    explicit CFaultyKeyboard(CFakeKeyboard& inner) : m_inner(inner) {}

    // Fails request number `nth` (from 1) of `code`; with `onward`, every later one too.
    // Counted from now on; nth 0 cancels.
    void FailFrom(std::uint32_t code, int nth, bool onward) {
        m_inner.Model().FailRequests(code, nth > 0 ? static_cast<std::uint32_t>(nth - 1) : 0,
                                     nth <= 0 ? 0
                                     : onward ? keyboard::kFailAll
                                              : 1);
    }

    DeviceHandle Open(std::u16string_view path) override { return m_inner.Open(path); }
    void Close(DeviceHandle handle) override { m_inner.Close(handle); }
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        ++m_counts[code];
        const oxkbd::RequestKind kind = oxkbd::KindOfCode(code);
        if (kind == oxkbd::kOther || oxkbd::kRequestShapes[kind].inSize != inSize ||
            oxkbd::kRequestShapes[kind].outSize != outSize || (inSize && !in) || (outSize && !out))
            ++m_wrongRequests;
        // Copied first: `out` may alias `in`.
        DeviceKeyTable sent{};
        if (code == IOCTL_WRITE_KEY_TABLE && inSize == sizeof sent) std::memcpy(sent.Bytes(), in, sizeof sent);
        const bool ok = m_inner.Control(handle, code, in, inSize, out, outSize);
        if (ok && code == IOCTL_WRITE_KEY_TABLE && inSize == sizeof sent) m_written.push_back(sent);
        if (ok && code == IOCTL_READ_KEY_TABLE && outSize == sizeof(DeviceKeyTable)) {
            DeviceKeyTable t;
            std::memcpy(t.Bytes(), out, sizeof t);
            m_read.push_back(t);
        }
        return ok;
    }

    std::map<std::uint32_t, int> m_counts;  // requests seen, by code
    int m_wrongRequests = 0;
    std::vector<DeviceKeyTable> m_read, m_written;

private:
    CFakeKeyboard& m_inner;
};
