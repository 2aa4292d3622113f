#include "app/DeviceBroadcast.h"

#include <algorithm>

namespace {

// A device path is at most 32767 characters; a larger size field is not believed.
constexpr std::uint32_t kMaxRecordSize = kBroadcastPathOffset + 2 * 32768;

std::uint32_t LoadLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace

std::u16string DeviceInterfacePath(const void* record) {
    std::u16string path;
    if (record == nullptr) return path;
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    // Every broadcast record starts with the 12-byte header of size, type and reserved word.
    const std::uint32_t size = std::min(LoadLe32(bytes), kMaxRecordSize);
    if (LoadLe32(bytes + 4) != DBT_DEVTYP_DEVICEINTERFACE_TYPE || size <= kBroadcastPathOffset) return path;
    for (std::uint32_t at = kBroadcastPathOffset; at + 2 <= size; at += 2) {
        const auto c = static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
        if (c == 0) break;
        path.push_back(c);
    }
    return path;
}
