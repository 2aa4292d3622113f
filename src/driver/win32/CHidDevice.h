// The presence test: whether the system lists one of the keyboard's HID interfaces now.
#pragma once

#include "driver/KeyboardPresence.h"

class CHidDevice final : public IKeyboardPresence {
public:
    bool FindDevice() override;
};
