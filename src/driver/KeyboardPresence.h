// The presence test's seam: whether the system lists one of the keyboard's HID interfaces
// now (CHidDevice on Windows).
#pragma once

class IKeyboardPresence {
public:
    virtual ~IKeyboardPresence() = default;
    virtual bool FindDevice() = 0;
};
