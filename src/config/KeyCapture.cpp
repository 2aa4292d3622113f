#include "config/KeyCapture.h"

#include "KeyNames.h"

#include <algorithm>

namespace {

// The system's virtual keys that stand for either side.
constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkReturn = 0x0D;
constexpr unsigned kRightShiftScan = 0x36;
// The keyboard's own codes.
constexpr std::uint8_t kLeftShift = 0xA0, kRightShift = 0xA1, kLeftCtrl = 0xA2, kRightCtrl = 0xA3, kLeftAlt = 0xA4,
                       kRightAlt = 0xA5, kLeftWin = 0x5B, kRightWin = 0x5C, kNumEnter = 0xDA;

}  // namespace

std::uint8_t KeyboardCode(unsigned vk, unsigned scan, bool extended) {
    unsigned code = vk;
    if (vk == kVkShift) code = scan == kRightShiftScan ? kRightShift : kLeftShift;
    if (vk == kVkControl) code = extended ? kRightCtrl : kLeftCtrl;
    if (vk == kVkMenu) code = extended ? kRightAlt : kLeftAlt;
    if (vk == kVkReturn && extended) code = kNumEnter;
    if (code > 0xFF || NameForCode(VirtualKeyNames(), static_cast<std::int32_t>(code)).empty()) return 0;
    return static_cast<std::uint8_t>(code);
}

bool IsModifierCode(std::uint8_t code) {
    return (code >= kLeftShift && code <= kRightAlt) || code == kLeftWin || code == kRightWin;
}

bool CKeyChord::Down(std::uint8_t code) {
    if (m_bDone || code == 0) return m_bDone;
    const auto end = m_keys.begin() + static_cast<std::ptrdiff_t>(m_nCount);
    // Auto-repeat sends a held key down again.
    if (std::find(m_keys.begin(), end, code) != end) return false;
    if (m_nCount == m_keys.size()) return false;  // a fifth key has no place
    m_keys[m_nCount++] = code;
    ++m_nHeld;
    if (m_mode == Mode::Single && !IsModifierCode(code)) m_bDone = true;
    return m_bDone;
}

bool CKeyChord::Up(std::uint8_t code) {
    if (m_bDone) return true;
    const auto end = m_keys.begin() + static_cast<std::ptrdiff_t>(m_nCount);
    if (code == 0 || std::find(m_keys.begin(), end, code) == end || m_nHeld == 0) return false;
    --m_nHeld;
    if (m_mode == Mode::Single) {
        // A modifier let go before the key is no longer part of it.
        const auto it = std::remove(m_keys.begin(), end, code);
        *it = 0;
        --m_nCount;
        return false;
    }
    m_bDone = m_nHeld == 0;
    return m_bDone;
}
