#include "BroadcastRecord.h"

#include "app/DeviceBroadcast.h"

std::vector<std::uint8_t> BroadcastRecord(std::u16string_view path, std::uint32_t type, bool terminate) {
    const std::size_t chars = path.size() + (terminate ? 1 : 0);
    const auto size = static_cast<std::uint32_t>(kBroadcastPathOffset + 2 * chars);
    std::vector<std::uint8_t> r(size, 0);
    for (int i = 0; i < 4; ++i) {
        r[i] = static_cast<std::uint8_t>(size >> (8 * i));
        r[4 + i] = static_cast<std::uint8_t>(type >> (8 * i));
    }
    for (std::size_t i = 0; i < 16; ++i) r[12 + i] = static_cast<std::uint8_t>(0xA0 + i);  // class GUID
    for (std::size_t i = 0; i < path.size(); ++i) {
        r[kBroadcastPathOffset + 2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
        r[kBroadcastPathOffset + 2 * i + 1] = static_cast<std::uint8_t>(path[i] >> 8);
    }
    return r;
}
