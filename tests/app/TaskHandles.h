// What the agent's tests give the task window's surroundings: the handles of the task window,
// the configuration program's window and the warning dialog, their processes, and a stored
// record as the bytes of a registry value. The task window's tests and the reliability rig
// share them.
#pragma once

#include "ui/TrayHost.h"

#include <cstdint>
#include <vector>

inline constexpr WindowHandle kTask = 0x10020;
inline constexpr WindowHandle kConfig = 0x20040;
inline constexpr WindowHandle kWarnDialog = 0x30060;
inline constexpr std::uint32_t kConfigProcess = 0x1F4;
inline constexpr std::uint32_t kOtherProcess = 0x2A8;

template <class T> std::vector<std::uint8_t> BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    return {p, p + sizeof value};
}
