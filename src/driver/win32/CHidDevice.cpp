#include "driver/win32/CHidDevice.h"

#include "driver/InterfaceMatch.h"

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

// One listed interface through SetupAPI.
class CListedInterface final : public IInterfaceDetail {
public:
    CListedInterface(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& iface) : m_list(list), m_iface(iface) {}

    std::size_t DetailSize() override {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(m_list, &m_iface, nullptr, 0, &required, nullptr);
        // A size request that failed for another reason leaves no size: a record shorter than
        // its fixed part would be written past (its size field) and read past (the path's length).
        return required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) ? 0 : required;
    }
    void* Allocate(std::size_t size) override { return std::malloc(size); }
    void Free(void* buffer) override { std::free(buffer); }
    bool ReadDetail(void* buffer, std::size_t size, std::u16string_view& path) override {
        auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer);
        // The size field takes the fixed part of the record: 8 on 64-bit Windows, 6 on 32-bit.
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(m_list, &m_iface, detail, static_cast<DWORD>(size), nullptr, nullptr))
            return false;
        const std::size_t maxChars = (size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
        path = std::u16string_view(reinterpret_cast<const char16_t*>(detail->DevicePath), maxChars);
        path = path.substr(0, path.find(u'\0'));
        return true;
    }
    void DebugText(const char16_t* text) override { OutputDebugStringW(reinterpret_cast<const wchar_t*>(text)); }

private:
    HDEVINFO m_list;
    SP_DEVICE_INTERFACE_DATA& m_iface;
};

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
    for (DWORD index = 0; !found && SetupDiEnumDeviceInterfaces(list, nullptr, &hidGuid, index, &iface); ++index) {
        CListedInterface listed(list, iface);
        found = InterfaceMatchesKeyboard(listed);
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}
