#include "config/MacroEvents.h"

#include "KeyNames.h"
#include "ProfileCheck.h"
#include "config/KeyDetails.h"
#include "xml/Utf8Text.h"

#include <algorithm>

namespace {

std::u16string Number(std::uint64_t n) {
    const std::string s = std::to_string(n);
    return {s.begin(), s.end()};
}

}  // namespace

std::uint32_t RoundDelay(std::uint64_t ms) {
    const std::uint64_t rounded = ms - ms % kDelayUnitMs;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(rounded, UINT32_MAX - UINT32_MAX % kDelayUnitMs));
}

namespace {

// Decimal digits only, at most `digits` of them.
std::optional<std::uint64_t> ParseDigits(std::u16string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits) return std::nullopt;
    std::uint64_t n = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    return n;
}

}  // namespace

std::optional<std::uint32_t> ParseDelay(std::u16string_view text) {
    const std::optional<std::uint64_t> ms = ParseDigits(text, 10);
    if (!ms) return std::nullopt;
    return RoundDelay(*ms);
}

std::optional<std::uint16_t> ParseRepeat(std::u16string_view text) {
    const std::optional<std::uint64_t> n = ParseDigits(text, 5);
    if (!n || *n > UINT16_MAX) return std::nullopt;
    return static_cast<std::uint16_t>(*n);
}

std::u16string MacroKeyName(std::uint8_t vk) {
    const std::string_view name = NameForCode(VirtualKeyNames(), vk);
    return name.empty() ? HexCode(vk, 2) : Utf16FromUtf8(name);
}

std::u16string EventRowText(const MacroStep& step, const ConfigTexts& texts) {
    return (step.down ? texts.keyDown : texts.keyUp) + u"\t" + MacroKeyName(step.vk) + u"\t" + Number(step.delayMs) +
           u" ms";
}

std::optional<std::uint32_t> FixedDelay(const ProfileMacro& macro) {
    if (macro.events.empty()) return std::nullopt;
    const std::uint32_t first = macro.events.front().delayMs;
    if (!std::ranges::all_of(macro.events, [&](const MacroStep& e) { return e.delayMs == first; })) return std::nullopt;
    return first;
}

ProfileMacro WithFixedDelay(ProfileMacro macro, std::uint32_t ms) {
    for (MacroStep& e : macro.events) e.delayMs = RoundDelay(ms);
    return macro;
}

std::u16string MacroLimitText(const Profile& profile, std::size_t macro, const ConfigTexts& texts) {
    if (macro >= profile.macros.size()) return {};
    const std::size_t events = profile.macros[macro].events.size();
    std::u16string text = texts.eventsOnKeyboard + u": " + Number(events) + u"/" + Number(kDeviceMacroEvents) + u"; " +
                          texts.delaySteps + u" " + Number(RoundDelay(kMaxDelayMs)) + u" ms";
    std::u16string reasons;
    for (const Finding& f : CheckMacro(profile, macro))
        reasons += (reasons.empty() ? u"" : u"; ") + Utf16FromUtf8(f.subject + ": " + f.rule);
    if (!reasons.empty()) text += u"\r\n" + texts.cannotSave + u": " + reasons;
    return text;
}
