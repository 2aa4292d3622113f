#include "driver/InterfaceMatch.h"

#include "driver/KeyboardId.h"

bool InterfaceMatchesKeyboard(IInterfaceDetail& iface) {
    const std::size_t size = iface.DetailSize();
    // A size request that failed leaves no record to allocate: the detail is not read.
    if (size == 0) {
        iface.DebugText(u"Error: SetupDiGetInterfaceDeviceDetail failed\n");
        return false;
    }
    void* buffer = iface.Allocate(size);
    if (buffer == nullptr) {
        iface.DebugText(u"Error: OpenDeviceInterface: malloc failed\n");
        return false;
    }
    bool match = false;
    std::u16string_view path;
    if (!iface.ReadDetail(buffer, size, path)) {
        iface.DebugText(u"Error: SetupDiGetInterfaceDeviceDetail failed\n");
    } else if (ContainsKeyboardId(path)) {
        iface.DebugText(u"Success:Found K7 device\n");
        match = true;
    }
    iface.Free(buffer);
    return match;
}
