// Follows what the agent posts during an apply request and turns it into lines for the user
// and an exit code; the Windows side only feeds it the messages.
#pragma once

#include "Profile.h"

#include <cstdint>
#include <string>

enum ExitCode : int {
    ExitOk = 0,
    ExitInvalid = 1,       // a profile with errors, or bad arguments
    ExitNoAgent = 2,       // no window titled "OrvexK7_Setting"
    ExitTimeout = 3,       // the agent did not answer in time
    ExitClosed = 4,        // the agent posted WM_CLOSE: keyboard removed or agent ending
    ExitReset = 5,         // the agent reset at least one key
    ExitRegistry = 6,      // the values could not be read or written
};

class CApplyMonitor {
public:
    CApplyMonitor(const Profile& profile, const ButtonPosTable& layout) : m_profile(profile), m_layout(layout) {}

    // Each returns the line to show (without a newline), or nothing.
    std::string OnProgress(std::intptr_t percent);
    std::string OnReset(std::uintptr_t vk);
    std::string OnClose();
    std::string OnTimeout(unsigned seconds);

    bool Finished() const { return m_bDone || m_exit == ExitClosed || m_exit == ExitTimeout; }
    int Result() const { return m_exit != ExitOk ? m_exit : m_bDone ? ExitOk : ExitTimeout; }
    int Percent() const { return m_nPercent; }

private:
    const Profile& m_profile;
    const ButtonPosTable& m_layout;
    int m_nPercent = 0;
    bool m_bDone = false;
    int m_exit = ExitOk;
};

// "[##########..........]  50%" for a terminal.
std::string ProgressBar(int percent);
