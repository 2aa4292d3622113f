// Follows what the agent posts during an apply request and turns it into lines for the user
// and an exit code; the Windows side only feeds it the messages.
#pragma once

#include "Profile.h"

#include <cstdint>
#include <string>
#include <vector>

enum ExitCode : int {
    ExitOk = 0,
    ExitInvalid = 1,   // a profile with errors, or bad arguments
    ExitNoAgent = 2,   // no window titled "OrvexK7_Setting"
    ExitTimeout = 3,   // the agent did not answer in time
    ExitClosed = 4,    // the agent posted WM_CLOSE (keyboard removed or agent ending), or its window is gone
    ExitReset = 5,     // the agent reset at least one key
    ExitRegistry = 6,  // the values could not be read or written
};

// Why the agent reset a key, as far as the profile that was applied tells: the agent's message
// carries only the key's code.
enum class ResetReason {
    NoCombinationSlot,  // a shortcut or combination: all eight slots held other combinations
    InvalidMacro,       // a macro whose reference the agent refused
    InvalidReference,   // any other function: a macro or combination reference it refused
};

struct ResetKey {
    std::uint8_t vk = 0;
    int record = -1;  // the key's record in the layout; -1 when no record has that code
    ResetReason reason = ResetReason::InvalidReference;
};

ResetKey FindResetKey(const Profile& profile, const ButtonPosTable& layout, std::uintptr_t vk);

class CApplyMonitor {
public:
    CApplyMonitor(const Profile& profile, const ButtonPosTable& layout) : m_profile(profile), m_layout(layout) {}

    // Each returns the line to show (without a newline), or nothing.
    std::string OnProgress(std::intptr_t percent);
    std::string OnReset(std::uintptr_t vk);
    std::string OnClose();
    // The agent's window is gone without a WM_CLOSE: the agent ended abnormally.
    std::string OnAgentGone();
    std::string OnTimeout(unsigned seconds);

    bool Finished() const { return m_bDone || m_exit == ExitClosed || m_exit == ExitTimeout; }
    int Result() const { return m_exit != ExitOk ? m_exit : m_bDone ? ExitOk : ExitTimeout; }
    int Percent() const { return m_nPercent; }
    // The keys the agent reset during this apply, in the order it said so.
    const std::vector<ResetKey>& Resets() const { return m_resets; }

private:
    const Profile& m_profile;
    const ButtonPosTable& m_layout;
    int m_nPercent = 0;
    bool m_bDone = false;
    int m_exit = ExitOk;
    std::vector<ResetKey> m_resets;
};

// "[##########..........]  50%" for a terminal.
std::string ProgressBar(int percent);
