// Plugging and unplugging the virtual keyboard as a root-enumerated Plug and Play device,
// with SetupAPI alone: the device is created and registered, its driver installed from a
// small INF written on the spot (the service oxkbd, associated with the device), and removed
// again with DIF_REMOVE. The driver announces the device's interfaces itself.
#include "k7testbed/Failure.h"
#include "k7testbed/VirtualKeyboard.h"

#include <windows.h>
#include <devguid.h>
#include <newdev.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <usbiodef.h>

#include <cwctype>
#include <string>
#include <vector>

namespace k7testbed {
namespace {

constexpr wchar_t kRootPrefix[] = L"ROOT\\VID_04D9&PID_A059\\";

// The driver package: no files to copy (the harness puts oxkbd.sys in place), one service.
constexpr char kInf[] =
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Class=HIDClass\r\n"
    "ClassGuid={745a17a0-74d3-11d0-b6fe-00a0c90f57da}\r\n"
    "Provider=%Provider%\r\n"
    "DriverVer=01/01/2024,1.0.0.0\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%Provider%=Models,NTamd64\r\n"
    "\r\n"
    "[Models.NTamd64]\r\n"
    "%Description%=Keyboard,USB\\VID_04D9&PID_A059\r\n"
    "\r\n"
    "[Keyboard.NTamd64]\r\n"
    "\r\n"
    "[Keyboard.NTamd64.Services]\r\n"
    "AddService=oxkbd,0x00000002,KeyboardService\r\n"
    "\r\n"
    "[KeyboardService]\r\n"
    "ServiceType=1\r\n"
    "StartType=3\r\n"
    "ErrorControl=1\r\n"
    "ServiceBinary=%12%\\oxkbd.sys\r\n"
    "\r\n"
    "[Strings]\r\n"
    "Provider=\"K7 test bed\"\r\n"
    "Description=\"Virtual K7 keyboard\"\r\n";

// Owns a device information list.
struct DevInfo {
    HDEVINFO h = INVALID_HANDLE_VALUE;
    ~DevInfo() {
        if (h != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(h);
    }
};

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

const GUID& ClassOf(KeyboardInterface kind) {
    static const GUID kHid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    return kind == KeyboardInterface::kHid ? kHid : GUID_DEVINTERFACE_USB_DEVICE;
}

// Writes the INF into the temporary folder; `path` gets its name.
bool WriteInf(std::wstring& path) {
    wchar_t folder[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder)) return Fail("GetTempPathW");
    path = std::wstring(folder) + L"oxkbd.inf";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("creating oxkbd.inf");
    DWORD written = 0;
    const BOOL ok = WriteFile(file, kInf, sizeof kInf - 1, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != sizeof kInf - 1) return Fail("writing oxkbd.inf");
    return true;
}

// The keyboard's root-enumerated devices, registered or not; `remove` removes each.
bool ForEachKeyboardDevice(bool remove, std::uint32_t& count) {
    count = 0;
    DevInfo list;
    list.h = SetupDiGetClassDevsW(nullptr, L"ROOT", nullptr, DIGCF_ALLCLASSES);
    if (list.h == INVALID_HANDLE_VALUE) return Fail("SetupDiGetClassDevsW(ROOT)");
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list.h, i, &device); ++i) {
        wchar_t id[MAX_DEVICE_ID_LEN];
        if (!SetupDiGetDeviceInstanceIdW(list.h, &device, id, MAX_DEVICE_ID_LEN, nullptr)) continue;
        if (Upper(id).rfind(kRootPrefix, 0) != 0) continue;
        ++count;
        if (remove && !SetupDiCallClassInstaller(DIF_REMOVE, list.h, &device))
            return Fail("SetupDiCallClassInstaller(DIF_REMOVE)");
    }
    return true;
}

bool WaitForInterface(bool present, std::uint32_t timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        bool found = false;
        if (!FindKeyboardInterface(KeyboardInterface::kHid, found)) return false;
        if (found == present) return true;
        if (GetTickCount64() >= deadline) {
            SetLastError(ERROR_TIMEOUT);
            return Fail(present ? "waiting for the keyboard's interfaces" : "waiting for the interfaces to go");
        }
        Sleep(10);
    }
}

}  // namespace

bool FindKeyboardInterface(KeyboardInterface kind, bool& found, std::wstring* path) {
    found = false;
    DevInfo list;
    list.h = SetupDiGetClassDevsW(&ClassOf(kind), nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list.h == INVALID_HANDLE_VALUE) return Fail("SetupDiGetClassDevsW(interfaces)");
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(list.h, nullptr, &ClassOf(kind), i, &iface); ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(list.h, &iface, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<BYTE> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof *detail;
        if (!SetupDiGetDeviceInterfaceDetailW(list.h, &iface, detail, size, nullptr, nullptr)) continue;
        if (Upper(detail->DevicePath).find(kKeyboardIdPattern) == std::wstring::npos) continue;
        found = true;
        if (path) *path = detail->DevicePath;
        return true;
    }
    return true;
}

bool IsKeyboardPlugged(bool& plugged) {
    std::uint32_t count = 0;
    if (!ForEachKeyboardDevice(false, count)) return false;
    plugged = count != 0;
    return true;
}

bool PlugKeyboard(std::uint32_t timeoutMs) {
    bool plugged = false;
    if (!IsKeyboardPlugged(plugged)) return false;
    if (!plugged) {
        std::wstring inf;
        if (!WriteInf(inf)) return false;
        DevInfo list;
        list.h = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_HIDCLASS, nullptr);
        if (list.h == INVALID_HANDLE_VALUE) return Fail("SetupDiCreateDeviceInfoList");
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiCreateDeviceInfoW(list.h, L"VID_04D9&PID_A059", &GUID_DEVCLASS_HIDCLASS, L"Virtual K7 keyboard",
                                      nullptr, DICD_GENERATE_ID, &device))
            return Fail("SetupDiCreateDeviceInfoW");
        static constexpr wchar_t kHardwareIds[] = L"USB\\VID_04D9&PID_A059\0";
        if (!SetupDiSetDeviceRegistryPropertyW(list.h, &device, SPDRP_HARDWAREID,
                                               reinterpret_cast<const BYTE*>(kHardwareIds), sizeof kHardwareIds))
            return Fail("SetupDiSetDeviceRegistryPropertyW(SPDRP_HARDWAREID)");
        if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list.h, &device))
            return Fail("SetupDiCallClassInstaller(DIF_REGISTERDEVICE)");
        BOOL reboot = FALSE;
        if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, L"USB\\VID_04D9&PID_A059", inf.c_str(), INSTALLFLAG_FORCE,
                                                &reboot)) {
            Fail("UpdateDriverForPlugAndPlayDevicesW");
            SetupDiCallClassInstaller(DIF_REMOVE, list.h, &device);  // leave no half-installed device
            return false;
        }
    }
    return WaitForInterface(true, timeoutMs);
}

bool UnplugKeyboard(std::uint32_t timeoutMs) {
    std::uint32_t count = 0;
    return ForEachKeyboardDevice(true, count) && WaitForInterface(false, timeoutMs);
}

}  // namespace k7testbed
