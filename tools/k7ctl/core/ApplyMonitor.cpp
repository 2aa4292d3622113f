#include "ApplyMonitor.h"

#include "keyconfig/SettingRecords.h"

#include <algorithm>

std::string CApplyMonitor::OnProgress(std::intptr_t percent) {
    if (percent != 25 && percent != 50 && percent != 100) return {};
    m_nPercent = static_cast<int>(percent);
    if (percent == 100) m_bDone = true;
    return "progress " + std::to_string(percent) + "%";
}

ResetKey FindResetKey(const Profile& profile, const ButtonPosTable& layout, std::uintptr_t vk) {
    ResetKey reset;
    reset.vk = static_cast<std::uint8_t>(vk);
    const auto it = std::ranges::find(layout, reset.vk, &ButtonPosRecord::vkcode);
    if (it == layout.end()) return reset;
    reset.record = static_cast<int>(it - layout.begin());
    switch (profile.keys[static_cast<std::size_t>(reset.record)].type) {
    case AssignSystemShortcut:
    case AssignEditShortcut:
    case AssignCombination: reset.reason = ResetReason::NoCombinationSlot; break;
    case AssignMacro: reset.reason = ResetReason::InvalidMacro; break;
    default: reset.reason = ResetReason::InvalidReference;
    }
    return reset;
}

std::string CApplyMonitor::OnReset(std::uintptr_t vk) {
    if (m_exit == ExitOk) m_exit = ExitReset;
    const ResetKey& reset = m_resets.emplace_back(FindResetKey(m_profile, m_layout, vk));
    if (reset.record < 0) return "the agent reset the key with code " + std::to_string(vk);
    const char* reason = "invalid macro or combination reference";
    if (reset.reason == ResetReason::NoCombinationSlot)
        reason = "all eight combination slots are in use (the keyboard still holds combinations other keys use)";
    else if (reset.reason == ResetReason::InvalidMacro)
        reason = "invalid macro reference";
    return "key " + KeyName(m_layout[static_cast<std::size_t>(reset.record)]) +
           " was reset to its factory function: " + reason;
}

std::string CApplyMonitor::OnClose() {
    m_exit = ExitClosed;
    return "the agent closed the connection during the apply: the keyboard was removed or the agent is ending";
}

std::string CApplyMonitor::OnAgentGone() {
    m_exit = ExitClosed;
    return "the agent ended during the apply without closing the connection (progress " + std::to_string(m_nPercent) +
           "%)";
}

std::string CApplyMonitor::OnTimeout(unsigned seconds) {
    m_exit = ExitTimeout;
    return "the agent did not answer within " + std::to_string(seconds) + " s (progress " + std::to_string(m_nPercent) +
           "%)";
}

std::string ProgressBar(int percent) {
    const int filled = std::clamp(percent, 0, 100) / 5;
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(20 - filled), '.') + "] ";
    const std::string number = std::to_string(percent);
    return bar + std::string(3 - std::min<std::size_t>(3, number.size()), ' ') + number + "%";
}
