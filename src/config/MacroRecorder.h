// Recording a macro from the keys the user presses. The recorder is fed every key event the
// system delivers while it runs (a low-level hook's view: the key, its scan code, the extended
// flag, press or release and the event's own time stamp) and says for each whether the system
// may still deliver it. Every key pressed while recording is swallowed, so that Tab, Alt, Esc
// and the Windows keys are recorded instead of acting on a window; a key whose press was
// swallowed has its release swallowed too, even after the recording stopped, and a key pressed
// before recording keeps its release, so that no key is left held down in the system.
#pragma once

#include "Profile.h"

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

struct KeyInput {
    std::uint32_t vk = 0;
    std::uint32_t scanCode = 0;
    bool extended = false;
    bool up = false;
    std::uint32_t time = 0;  // milliseconds, as the system's tick count (it wraps)
};

// The code a macro event gives the key: left and right modifiers by their own codes (0xA0 to
// 0xA5) where the system names only the pair, the numeric pad's Enter (Enter with the
// extended flag) as 0xDA.
std::uint8_t MacroKeyCode(const KeyInput& key);

// Ctrl+Break ends a recording from the keyboard: the one key the keyboard cannot produce that
// every keyboard has, so that recording needs no mouse.
inline constexpr std::uint32_t kStopRecordingVk = 0x03;  // VK_CANCEL

class CMacroRecorder {
public:
    enum class Outcome {
        Recorded,  // a new event at the end of Steps()
        Repeat,    // the held key's auto-repeat: nothing recorded
        Refused,   // a key the keyboard cannot produce (RefusedCode() says which)
        Stop,      // Ctrl+Break: the recording has stopped, as by Stop()
        Passed,    // not recording, or a release whose press came before the recording
    };
    struct Result {
        bool swallow = false;
        Outcome outcome = Outcome::Passed;
    };

    // A new recording; with a fixed delay every event waits that long, else the time since the
    // event before (the first event waits nothing), each rounded to the keyboard's steps.
    void Start(std::optional<std::uint32_t> fixedDelayMs);
    Result Feed(const KeyInput& key);
    // Ends the recording (again: nothing). A key still held has its trailing presses dropped, or a release
    // added when something was recorded after its press, so that the macro leaves no key down.
    void Stop();

    bool Recording() const { return m_bRecording; }
    // Presses were swallowed whose releases are still to come (and to be swallowed).
    bool Holding() const { return !m_held.empty(); }
    const std::vector<MacroStep>& Steps() const { return m_steps; }
    std::uint8_t RefusedCode() const { return m_nRefused; }

private:
    bool m_bRecording = false;
    std::optional<std::uint32_t> m_fixedDelay;
    std::vector<MacroStep> m_steps;
    std::optional<std::uint32_t> m_lastTime;
    std::set<std::uint8_t> m_held;          // swallowed presses, by macro code
    std::set<std::uint8_t> m_recordedDown;  // pressed in the recording, not yet released
    std::uint8_t m_nRefused = 0;
};
