// The interface path carried by a WM_DEVICECHANGE notification record.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint32_t DBT_DEVTYP_DEVICEINTERFACE_TYPE = 5;
inline constexpr std::uint32_t kBroadcastPathOffset = 28;  // size, type, reserved, class GUID

// The path of a device-interface record (type 5), or empty for any other record and
// for a null pointer. Reads never past the record's own size field: a path without a
// terminating zero inside the record ends at the record's end.
std::u16string DeviceInterfacePath(const void* record);
