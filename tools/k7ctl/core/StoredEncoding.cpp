#include "StoredEncoding.h"

#include "KeyNames.h"
#include "ProfileEdit.h"

#include <algorithm>

namespace {

void StoreLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Whether the stored parameter names something a profile can write.
bool Expressible(std::int32_t type, std::int32_t p, const StoredSettings& s, std::int32_t macroCount) {
    switch (type) {
    case AssignDefault: return true;
    case AssignSystemShortcut:
    case AssignEditShortcut: return !NameForCode(ShortcutNames(), ShortcutCode(type, p)).empty() && p > 0 && p < 100;
    case AssignMouseButton: return !NameForCode(MouseNames(), p).empty();
    case AssignMacro: return p >= 0 && p < macroCount;
    case AssignConsumer:
    case AssignConsumerAlt: return !NameForCode(MediaNames(), p).empty();
    case AssignKeyRemap: return !NameForCode(VirtualKeyNames(), p).empty();
    case AssignCombination: {
        if (p < 0 || p >= kCombinationRecordCount) return false;
        const auto& vks = s.buffers.combinations.records[p].vks;
        return std::ranges::any_of(vks, [](std::uint8_t vk) { return vk != 0; }) &&
               std::ranges::all_of(
                   vks, [](std::uint8_t vk) { return vk == 0 || !NameForCode(VirtualKeyNames(), vk).empty(); });
    }
    default: return false;
    }
}

}  // namespace

void EncodeProfile(const Profile& profile, const ButtonPosTable& layout, StoredSettings& stored) {
    SettingBuffers& b = stored.buffers;
    for (int i = 0; i < kKeyAssignmentCount; ++i) {
        KeyAssignment& r = b.keys.records[i];
        const KeyFunction& f = profile.keys[static_cast<std::size_t>(i)];
        r.vk = layout[static_cast<std::size_t>(i)].vkcode;
        // A default's parameter is not read: keep it when the record already was a default.
        const bool keep = f.type == AssignDefault && r.Type() == AssignDefault;
        r.Set(f.type, keep ? r.Parameter() : f.parameter);
    }
    // A profile that does not pass the checker may hold more than the records do; only what
    // fits is written.
    const std::size_t macroCount = std::min(profile.macros.size(), kMaxProfileMacros);
    for (std::size_t k = 0; k < macroCount; ++k) {
        const ProfileMacro& m = profile.macros[k];
        MacroRecord& r = b.macros.records[k];
        const std::size_t eventCount = std::min<std::size_t>(m.events.size(), kMacroEventCapacity);
        StoreLe16(r.repeat, m.repeat);  // the high half is not read
        StoreLe16(r.eventCount, static_cast<std::uint16_t>(eventCount));
        for (std::size_t j = 0; j < eventCount; ++j) {
            MacroEvent& e = r.events[j];
            e.vk = m.events[j].vk;
            e.state = m.events[j].down ? (e.state ? e.state : 1) : 0;  // any nonzero flag means down
            StoreLe32(e.delay, m.events[j].delayMs);
        }
    }
    StoreLe32(b.macros.count, static_cast<std::uint32_t>(macroCount));
    const std::size_t comboCount = std::min<std::size_t>(profile.combinations.size(), kCombinationRecordCount);
    for (std::size_t k = 0; k < comboCount; ++k)
        std::ranges::copy(profile.combinations[k], b.combinations.records[k].vks);
    stored.rate = profile.rate;
}

Profile ProfileFromStored(const StoredSettings& s, const ButtonPosTable& layout, std::vector<std::string>& warnings) {
    Profile p;
    const std::int32_t macroCount = std::clamp(s.buffers.macros.Count(), 0, kMacroRecordCount);
    for (std::int32_t k = 0; k < macroCount; ++k) {
        const MacroRecord& r = s.buffers.macros.records[k];
        ProfileMacro& m = p.macros.emplace_back();
        m.name = "macro" + std::to_string(k + 1);
        m.repeat = r.Repeat();
        const int count = std::min<int>(r.EventCount(), kMacroEventCapacity);
        for (int j = 0; j < count; ++j) {
            const MacroEvent& e = r.events[j];
            if (NameForCode(VirtualKeyNames(), e.vk).empty()) {
                warnings.push_back("macro \"" + m.name + "\", event " + std::to_string(j + 1) + ": key code " +
                                   std::to_string(e.vk) + " has no name; the event is left out");
                continue;
            }
            m.events.push_back({e.vk, e.state != 0, e.DelayMs()});
        }
    }
    for (int i = 0; i < kKeyAssignmentCount; ++i) {
        const KeyAssignment& r = s.buffers.keys.records[i];
        const std::int32_t type = r.Type();
        std::int32_t param = r.Parameter();
        if (!Expressible(type, param, s, macroCount)) {
            warnings.push_back("key \"" + KeyName(layout[static_cast<std::size_t>(i)]) + "\": type " +
                               std::to_string(type) + " with parameter " + std::to_string(param) +
                               " cannot be written in a profile; it is left as default");
            continue;
        }
        if (type == AssignKeyRemap) param &= 0xFF;
        if (type == AssignCombination) {
            // Each key its own entry for now; NumberCombinations merges equal ones.
            ComboKeys& keys = p.combinations.emplace_back();
            std::ranges::copy(s.buffers.combinations.records[param].vks, keys.begin());
            param = static_cast<std::int32_t>(p.combinations.size() - 1);
        }
        p.keys[static_cast<std::size_t>(i)] = {type, type == AssignDefault ? 0 : param};
    }
    NumberCombinations(p);
    p.rate = s.rate;
    if (!IsReportRate(s.rate)) {
        warnings.push_back("rate: stored code " + std::to_string(s.rate) + " is not 1, 2 or 8; written as " +
                           std::to_string(kDefaultReportRate));
        p.rate = kDefaultReportRate;
    }
    return p;
}
