#include "ProfileCheck.h"

#include "KeyNames.h"

#include <algorithm>

namespace rule {

std::string MacroCount(std::size_t count) {
    return std::to_string(count) + " macros; at most " + std::to_string(kMaxProfileMacros) + " are stored";
}
std::string EventCount(std::size_t count) {
    return std::to_string(count) + " events; the keyboard plays at most " + std::to_string(kDeviceMacroEvents);
}
std::string Delay(std::uint64_t ms) {
    return "delay " + std::to_string(ms) + " ms; at most " + std::to_string(kMaxDelayMs) + " ms";
}
std::string MacroNumber(const std::string& name, std::size_t index) {
    return "macro \"" + name + "\" is number " + std::to_string(index + 1) + " in the list; only the first " +
           std::to_string(kMaxDeviceMacros) + " reach the keyboard";
}
std::string NameTwice() { return "the name is used twice"; }
std::string CombinationShape() {
    return "a combination is a list of 1 to " + std::to_string(kMaxComboKeys) + " key names";
}
std::string NoCombinationSlot() {
    return "no combination slot left; the keyboard holds " + std::to_string(kMaxCombinationSlot) +
           " distinct combinations and shortcuts";
}
std::string Rate() { return "must be 1, 2 or 8"; }

}  // namespace rule

namespace {

bool Named(std::span<const NamedCode> table, std::int32_t code) { return !NameForCode(table, code).empty(); }

// What is wrong with the function itself, or nothing.
std::string FunctionRule(const Profile& profile, const KeyFunction& f) {
    const std::string code = std::to_string(f.parameter);
    const auto index = static_cast<std::size_t>(f.parameter);
    switch (f.type) {
    case AssignDefault: return {};
    case AssignSystemShortcut:
    case AssignEditShortcut:
        if (f.parameter > 0 && f.parameter < 100 && Named(ShortcutNames(), ShortcutCode(f.type, f.parameter)))
            return {};
        return std::string("unknown ") + (f.type == AssignSystemShortcut ? "system" : "edit") + " shortcut " + code;
    case AssignMouseButton: return Named(MouseNames(), f.parameter) ? std::string() : "unknown mouse button " + code;
    case AssignConsumer:
    case AssignConsumerAlt: return Named(MediaNames(), f.parameter) ? std::string() : "unknown media function " + code;
    case AssignKeyRemap:
        return Named(VirtualKeyNames(), f.parameter) ? std::string() : "unknown remap key code " + code;
    case AssignMacro:
        if (f.parameter < 0 || index >= profile.macros.size()) return "unknown macro " + code;
        return index < kMaxDeviceMacros ? std::string() : rule::MacroNumber(profile.macros[index].name, index);
    case AssignCombination:
        return f.parameter >= 0 && index < profile.combinations.size() ? std::string() : "unknown combination " + code;
    default: return "type " + std::to_string(f.type) + " is no function a key can have";
    }
}

void CheckKeyIn(const Profile& profile, const ButtonPosTable& layout, std::size_t key, const ApplyPlan& plan,
                std::vector<Finding>& out) {
    if (key >= layout.size()) return;
    const std::string subject = "key \"" + KeyName(layout[key]) + "\"";
    if (std::string r = FunctionRule(profile, profile.keys[key]); !r.empty()) {
        out.push_back({Finding::Of::Key, key, 0, subject, std::move(r)});
        return;
    }
    for (const PlanReset& reset : plan.resets) {
        if (reset.vk != layout[key].vkcode) continue;
        out.push_back({Finding::Of::Key, key, 0, subject,
                       reset.noCombinationSlot ? rule::NoCombinationSlot()
                                               : "the agent resets the key: invalid macro or combination reference"});
    }
}

}  // namespace

std::vector<Finding> CheckKey(const Profile& profile, const ButtonPosTable& layout, std::size_t key,
                              const KeyboardState& keyboard) {
    std::vector<Finding> out;
    CheckKeyIn(profile, layout, key, PlanApply(profile, layout, keyboard), out);
    return out;
}

std::vector<Finding> CheckMacro(const Profile& profile, std::size_t macro) {
    if (macro >= profile.macros.size()) return {};
    const ProfileMacro& m = profile.macros[macro];
    std::vector<Finding> out;
    const std::string subject = m.name.empty() ? "macro " + std::to_string(macro + 1) : "macro \"" + m.name + "\"";
    const auto add = [&](std::string rule) { out.push_back({Finding::Of::Macro, macro, 0, subject, std::move(rule)}); };
    if (m.name.empty()) add("a macro needs a name");
    // Both macros that share a name are told, so that re-checking either one finds it.
    else if (std::ranges::count(profile.macros, m.name, &ProfileMacro::name) > 1)
        add(rule::NameTwice());
    if (m.events.size() > static_cast<std::size_t>(kDeviceMacroEvents)) add(rule::EventCount(m.events.size()));
    for (std::size_t j = 0; j < m.events.size(); ++j) {
        const MacroStep& e = m.events[j];
        const std::string at = subject + ", event " + std::to_string(j + 1);
        if (!Named(VirtualKeyNames(), e.vk))
            out.push_back({Finding::Of::Event, macro, j, at, "unknown key code " + std::to_string(e.vk)});
        if (e.delayMs > kMaxDelayMs) out.push_back({Finding::Of::Event, macro, j, at, rule::Delay(e.delayMs)});
    }
    return out;
}

std::vector<Finding> CheckCombination(const Profile& profile, std::size_t combination) {
    if (combination >= profile.combinations.size()) return {};
    const ComboKeys& keys = profile.combinations[combination];
    std::vector<Finding> out;
    const std::string subject = "combination " + std::to_string(combination + 1);
    if (keys == ComboKeys{})
        out.push_back({Finding::Of::Combination, combination, 0, subject, rule::CombinationShape()});
    for (const std::uint8_t vk : keys)
        if (vk && !Named(VirtualKeyNames(), vk))
            out.push_back({Finding::Of::Combination, combination, 0, subject,
                           "unknown key code " + std::to_string(vk) + " in the combination"});
    return out;
}

std::vector<Finding> CheckProfile(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& keyboard) {
    std::vector<Finding> out;
    const ApplyPlan plan = PlanApply(profile, layout, keyboard);
    for (std::size_t i = 0; i < layout.size(); ++i) CheckKeyIn(profile, layout, i, plan, out);
    for (std::size_t k = 0; k < profile.macros.size(); ++k)
        std::ranges::move(CheckMacro(profile, k), std::back_inserter(out));
    for (std::size_t c = 0; c < profile.combinations.size(); ++c)
        std::ranges::move(CheckCombination(profile, c), std::back_inserter(out));
    if (profile.macros.size() > kMaxProfileMacros)
        out.push_back({Finding::Of::Profile, 0, 0, "macros", rule::MacroCount(profile.macros.size())});
    if (!IsReportRate(profile.rate)) out.push_back({Finding::Of::Profile, 0, 0, "rate", rule::Rate()});
    return out;
}

int FreeCombinationSlots(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& keyboard) {
    return PlanApply(profile, layout, keyboard).freeSlots;
}

int DeviceMacroNumbersLeft(const Profile& profile) {
    return static_cast<int>(kMaxDeviceMacros - std::min(profile.macros.size(), kMaxDeviceMacros));
}

int EventsLeft(const Profile& profile, std::size_t macro) {
    if (macro >= profile.macros.size()) return 0;
    const auto capacity = static_cast<std::size_t>(kDeviceMacroEvents);
    return static_cast<int>(capacity - std::min(profile.macros[macro].events.size(), capacity));
}

KeyboardState KeyboardAfter(const StoredSettings& applied) { return StateAfter(PlanStoredApply(applied)); }
