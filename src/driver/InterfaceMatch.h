// One step of the presence test: whether a listed HID interface is the keyboard's. The
// steps and their debug texts are here; the system's size and detail requests, the
// allocation and the debugger output stay behind the seam.
#pragma once

#include <cstddef>
#include <string_view>

class IInterfaceDetail {
public:
    virtual ~IInterfaceDetail() = default;

    // The size of the interface's detail record; 0 when the size request failed.
    virtual std::size_t DetailSize() = 0;
    // A buffer of `size` bytes, or null when none can be had.
    virtual void* Allocate(std::size_t size) = 0;
    virtual void Free(void* buffer) = 0;
    // Fills the detail record in `buffer` and sets `path` to its device path (within the
    // buffer); false when the system refuses.
    virtual bool ReadDetail(void* buffer, std::size_t size, std::u16string_view& path) = 0;
    virtual void DebugText(const char16_t* text) = 0;
};

// Whether the interface's device path contains KEYBOARD_ID_PATTERN.
bool InterfaceMatchesKeyboard(IInterfaceDetail& iface);
