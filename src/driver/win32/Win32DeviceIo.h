// Device I/O through CreateFileW, DeviceIoControl and CloseHandle.
#pragma once

#include "driver/DeviceIo.h"

class CWin32DeviceIo final : public IDeviceIo {
public:
    DeviceHandle Open(std::u16string_view path) override;
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
    void Close(DeviceHandle handle) override;
};
