#include "driver/win32/CHidDevice.h"

#include "driver/KeyboardId.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {  // mingw's HID header declares its functions without C linkage
#include <hidsdi.h>
}

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// Whether the interface's device path names the keyboard.
bool InterfaceMatches(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(list, &iface, nullptr, 0, &required, nullptr);
    // A size request that failed for another reason leaves no size: a record shorter than its
    // fixed part would be written past (its size field) and read past (the path's length).
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        OutputDebugStringW(L"Error: SetupDiGetInterfaceDeviceDetail failed\n");
        return false;
    }
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(std::malloc(required));
    if (detail == nullptr) {
        OutputDebugStringW(L"Error: OpenDeviceInterface: malloc failed\n");
        return false;
    }
    // The size field takes the fixed part of the record: 8 on 64-bit Windows, 6 on 32-bit.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    bool match = false;
    if (!SetupDiGetDeviceInterfaceDetailW(list, &iface, detail, required, nullptr, nullptr)) {
        OutputDebugStringW(L"Error: SetupDiGetInterfaceDeviceDetail failed\n");
    } else {
        const std::size_t maxChars = (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
        std::u16string_view path(reinterpret_cast<const char16_t*>(detail->DevicePath), maxChars);
        path = path.substr(0, path.find(u'\0'));
        if (ContainsKeyboardId(path)) {
            OutputDebugStringW(L"Success:Found K7 device\n");
            match = true;
        }
    }
    std::free(detail);
    return match;
}

}  // namespace

bool CHidDevice::FindDevice() {
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO list = SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) {
        std::printf("SetupDiGetClassDevs failed: %lx\n", GetLastError());
        std::fflush(stdout);
        return false;
    }
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    bool found = false;
    for (DWORD index = 0; !found && SetupDiEnumDeviceInterfaces(list, nullptr, &hidGuid, index, &iface); ++index)
        found = InterfaceMatches(list, iface);
    SetupDiDestroyDeviceInfoList(list);
    return found;
}
