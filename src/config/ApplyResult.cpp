#include "config/ApplyResult.h"

#include "ProfileCheck.h"
#include "RegistryValues.h"
#include "xml/Utf8Text.h"

#include <memory>
#include <vector>

std::u16string ApplyRefusal(const Profile& profile, const ButtonPosTable& layout, const ConfigTexts& texts) {
    const std::vector<Finding> findings = CheckProfile(profile, layout);
    if (findings.empty()) return {};
    return texts.applyInvalid + u" (" + Utf16FromUtf8(findings.front().subject + ": " + findings.front().rule) + u")";
}

std::optional<KeyboardState> StoreForApply(IRegistry& registry, const Profile& profile, const ButtonPosTable& layout) {
    if (!WriteProfile(registry, profile, layout)) return std::nullopt;
    // Read back: the agent applies the stored values, with the bytes the profile left alone.
    const std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    if (stored == nullptr) return std::nullopt;
    return KeyboardAfter(*stored);
}

std::u16string ApplyResultText(const CApplyMonitor& monitor, const ButtonPosTable& layout, const ConfigTexts& texts) {
    switch (monitor.Result()) {
    case ExitOk: return texts.applied;
    case ExitClosed: return texts.applyClosed;
    case ExitReset: break;
    default: return texts.applyTimeout;
    }
    std::u16string line = texts.applyReset;
    const char16_t* separator = u": ";
    for (const ResetKey& reset : monitor.Resets()) {
        line += separator;
        separator = u"; ";
        if (reset.record < 0) {
            line += texts.resetCode + u" " + Utf16FromUtf8(std::to_string(reset.vk));
            continue;
        }
        const std::u16string& reason = reset.reason == ResetReason::NoCombinationSlot ? texts.resetSlots
                                       : reset.reason == ResetReason::InvalidMacro    ? texts.resetMacro
                                                                                      : texts.resetReference;
        line += layout[static_cast<std::size_t>(reset.record)].name + u" (" + reason + u")";
    }
    return line;
}
