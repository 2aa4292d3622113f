// The narrow seam through which the driver channel reaches the keyboard's driver.
#pragma once

#include <cstdint>
#include <string_view>

using DeviceHandle = std::uintptr_t;  // 0 = none

class IDeviceIo {
public:
    virtual ~IDeviceIo() = default;

    // Opens a device path for reading and writing, sharing read access only.
    // Returns 0 when the device cannot be opened.
    virtual DeviceHandle Open(std::u16string_view path) = 0;

    // One synchronous control request; `out` may alias `in`. True when the driver accepted it.
    virtual bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                         std::uint32_t outSize) = 0;

    virtual void Close(DeviceHandle handle) = 0;
};
