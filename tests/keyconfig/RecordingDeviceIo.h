// A driver that records every control request (code and input bytes), has the model of the
// keyboard check and carry it out, and answers combination reads from a table.
#pragma once

#include "driver/CUSBDriver.h"
#include "driver/DeviceIo.h"
#include "keyboard/KeyboardModel.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <ostream>
#include <vector>

struct DeviceRequest {
    std::uint32_t code;
    std::vector<std::uint8_t> in;

    friend bool operator==(const DeviceRequest&, const DeviceRequest&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const DeviceRequest& r) {
    os << std::hex << "{0x" << r.code << ", " << std::dec << r.in.size() << " bytes:";
    for (std::uint8_t b : r.in) os << ' ' << std::hex << int(b);
    return os << std::dec << '}';
}

class RecordingDeviceIo final : public IDeviceIo {
public:
    DeviceHandle Open(std::u16string_view) override { return m_bPresent ? 1 : 0; }
    void Close(DeviceHandle) override {}
    bool Control(DeviceHandle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        const auto* p = static_cast<const std::uint8_t*>(in);
        requests.push_back({code, std::vector<std::uint8_t>(p, p + (p ? inSize : 0))});
        const std::uint8_t first = p ? p[0] : 0;  // before the answer overwrites it
        const bool accepted = m_keyboard.Control(code, in, inSize, out, outSize);
        if (!accepted || code != IOCTL_READ_COMBINATION) return accepted;
        // A test scripts each read: its reply, or a failure for a slot without one.
        const auto it = combinations.find(first);
        if (it == combinations.end()) return false;
        std::memcpy(out, it->second.data(), std::min<std::uint32_t>(outSize, 9));
        return true;
    }

    bool m_bPresent = true;
    std::vector<DeviceRequest> requests;
    std::map<std::uint8_t, std::array<std::uint8_t, 9>> combinations;  // slot -> reply

private:
    keyboard::CKeyboardModel m_keyboard;
};

// Expected requests, spelled out.
inline DeviceRequest CombinationWrite(std::uint8_t slot, const CombinationKeys& keys = {}) {
    DeviceRequest r{IOCTL_WRITE_COMBINATION, {slot}};
    r.in.insert(r.in.end(), keys.begin(), keys.end());
    return r;
}

inline DeviceRequest MacroWrite(std::uint8_t number, const MacroContent& content = {}) {
    DeviceRequest r{IOCTL_WRITE_MACRO, {number}};
    r.in.insert(r.in.end(), content.begin(), content.end());
    return r;
}

inline DeviceRequest TableWrite(const DeviceKeyTable& t) {
    return {IOCTL_WRITE_KEY_TABLE, std::vector<std::uint8_t>(t.Bytes(), t.Bytes() + sizeof t)};
}
