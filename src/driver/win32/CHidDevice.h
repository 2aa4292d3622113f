// The presence test: whether the system lists one of the keyboard's HID interfaces now.
#pragma once

class CHidDevice {
public:
    bool FindDevice();
};
