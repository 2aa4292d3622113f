// Keys pressed into the assignment dialog, as the keyboard's codes: the system reports Shift,
// Ctrl and Alt without their side and the two Enter keys alike, the keyboard has a code for
// each. And the keys of a combination pressed together.
#pragma once

#include "Profile.h"

#include <cstdint>

// The keyboard's code of a key the system reports as virtual key `vk` with scan code `scan`
// (the right Shift has its own scan code) and its extended-key flag (right Ctrl and Alt, the
// numeric pad's Enter); 0 for a key the keyboard cannot produce.
std::uint8_t KeyboardCode(unsigned vk, unsigned scan, bool extended);

// Shift, Ctrl, Alt and the Windows keys, either side.
bool IsModifierCode(std::uint8_t code);

// Collects the keys of a combination as they go down and up. Together: up to four keys held
// at once, done when the last is released. Single: the modifiers held and one further key,
// done when that key goes down.
class CKeyChord {
public:
    enum class Mode { Together, Single };
    explicit CKeyChord(Mode mode) : m_mode(mode) {}

    // Each returns true once the chord is complete; keys after that are ignored.
    bool Down(std::uint8_t code);
    bool Up(std::uint8_t code);
    bool Done() const { return m_bDone; }
    // In the order pressed; gaps at the end.
    const ComboKeys& Keys() const { return m_keys; }

private:
    Mode m_mode;
    ComboKeys m_keys{};
    std::size_t m_nCount = 0;
    std::size_t m_nHeld = 0;
    bool m_bDone = false;
};
