// WM_DEVICECHANGE records built byte by byte, little-endian, as the platform lays them out.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A record of `type` whose name field holds `path`; `terminate` adds the zero that
// the platform puts after the path and counts it in the size field.
std::vector<std::uint8_t> BroadcastRecord(std::u16string_view path, std::uint32_t type = 5, bool terminate = true);

inline std::intptr_t AsLParam(const std::vector<std::uint8_t>& record) {
    return reinterpret_cast<std::intptr_t>(record.data());
}

inline constexpr char16_t kKeyboardPath[] =
    u"\\\\?\\USB#VID_04D9&PID_A059#5&2b1b7a3c&0&3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
inline constexpr char16_t kMousePath[] =
    u"\\\\?\\USB#VID_046D&PID_C077#5&2b1b7a3c&0&4#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
