#include "config/MacroRecorder.h"

#include "KeyNames.h"
#include "config/MacroEvents.h"

#include <algorithm>

namespace {

// The system's codes for a modifier of either side, and for Enter.
constexpr std::uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkReturn = 0x0D;
constexpr std::uint32_t kRightShiftScan = 0x36;

}  // namespace

std::uint8_t MacroKeyCode(const KeyInput& key) {
    switch (key.vk) {
    case kVkShift: return key.scanCode == kRightShiftScan ? 0xA1 : 0xA0;
    case kVkControl: return key.extended ? 0xA3 : 0xA2;
    case kVkMenu: return key.extended ? 0xA5 : 0xA4;
    case kVkReturn: return key.extended ? 0xDA : 0x0D;
    default: return static_cast<std::uint8_t>(key.vk);
    }
}

void CMacroRecorder::Start(std::optional<std::uint32_t> fixedDelayMs) {
    m_bRecording = true;
    m_fixedDelay = fixedDelayMs;
    m_steps.clear();
    m_lastTime.reset();
    m_recordedDown.clear();
    m_nRefused = 0;
}

CMacroRecorder::Result CMacroRecorder::Feed(const KeyInput& key) {
    // By the macro's code, so that a modifier pressed as the pair and released as its side (or
    // the other way) is one key.
    const std::uint8_t code = MacroKeyCode(key);
    const bool held = m_held.contains(code);
    if (key.up) {
        if (!held) return {};
        m_held.erase(code);
        if (!m_bRecording || !m_recordedDown.contains(code)) return {true, Outcome::Passed};
        m_recordedDown.erase(code);
    } else {
        if (!m_bRecording) return {};
        if (held) return {true, Outcome::Repeat};
        m_held.insert(code);
        if (key.vk == kStopRecordingVk) {
            // At once: the keys that follow before the caller hears of it belong to no recording.
            Stop();
            return {true, Outcome::Stop};
        }
        if (NameForCode(VirtualKeyNames(), code).empty()) {
            m_nRefused = code;
            return {true, Outcome::Refused};
        }
        m_recordedDown.insert(code);
    }
    // Unsigned: a tick count that wrapped between two events still gives their gap.
    const std::uint32_t gap = m_lastTime ? key.time - *m_lastTime : 0;
    m_lastTime = key.time;
    m_steps.push_back({code, !key.up, RoundDelay(m_fixedDelay.value_or(gap))});
    return {true, Outcome::Recorded};
}

void CMacroRecorder::Stop() {
    if (!m_bRecording) return;
    m_bRecording = false;
    while (!m_steps.empty() && m_steps.back().down && m_recordedDown.contains(m_steps.back().vk)) {
        m_recordedDown.erase(m_steps.back().vk);
        m_steps.pop_back();
    }
    for (const std::uint8_t code : m_recordedDown)
        m_steps.push_back({code, false, RoundDelay(m_fixedDelay.value_or(0))});
    m_recordedDown.clear();
}
