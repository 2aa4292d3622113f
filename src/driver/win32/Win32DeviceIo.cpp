#include "driver/win32/Win32DeviceIo.h"

#include <windows.h>

#include <string>

DeviceHandle CWin32DeviceIo::Open(std::u16string_view path) {
    const std::wstring wide(path.begin(), path.end());
    HANDLE h =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<DeviceHandle>(h);
}

bool CWin32DeviceIo::Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                             std::uint32_t outSize) {
    DWORD returned = 0;
    return DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, const_cast<void*>(in), inSize, out, outSize,
                           &returned, nullptr) != FALSE;
}

void CWin32DeviceIo::Close(DeviceHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
