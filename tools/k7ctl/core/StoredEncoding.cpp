#include "StoredSettings.h"

#include "KeyNames.h"

#include <nlohmann/json.hpp>

#include <algorithm>

using nlohmann::ordered_json;

namespace {

void StoreLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::string FunctionName(const KeyFunction& f) {
    switch (f.type) {
    case AssignSystemShortcut:
    case AssignEditShortcut: return "shortcut";
    case AssignMouseButton: return "mouse";
    case AssignMacro: return "macro";
    case AssignConsumer: return "media";
    case AssignConsumerAlt: return "media-alt";
    case AssignCombination: return "combination";
    case AssignKeyRemap: return "remap";
    default: return "default";
    }
}

// The function's value as a profile writes it: a name, or a list of names.
ordered_json FunctionValue(const Profile& profile, const KeyFunction& f) {
    switch (f.type) {
    case AssignSystemShortcut:
    case AssignEditShortcut: return NameForCode(ShortcutNames(), ShortcutCode(f.type, f.parameter));
    case AssignMouseButton: return NameForCode(MouseNames(), f.parameter);
    case AssignMacro: return profile.macros.at(static_cast<std::size_t>(f.parameter)).name;
    case AssignConsumer:
    case AssignConsumerAlt: return NameForCode(MediaNames(), f.parameter);
    case AssignKeyRemap: return NameForCode(VirtualKeyNames(), f.parameter);
    case AssignCombination: {
        const ComboKeys& keys = profile.combinations.at(static_cast<std::size_t>(f.parameter));
        const auto end = std::find_if(keys.rbegin(), keys.rend(), [](std::uint8_t vk) { return vk != 0; }).base();
        ordered_json list = ordered_json::array();
        for (auto it = keys.begin(); it != end; ++it)
            list.push_back(*it ? ordered_json(NameForCode(VirtualKeyNames(), *it)) : ordered_json());
        return list;
    }
    default: return "default";
    }
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
               std::ranges::all_of(vks, [](std::uint8_t vk) { return vk == 0 || !NameForCode(VirtualKeyNames(), vk).empty(); });
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
    for (std::size_t k = 0; k < profile.macros.size(); ++k) {
        const ProfileMacro& m = profile.macros[k];
        MacroRecord& r = b.macros.records[k];
        StoreLe16(r.repeat, m.repeat);  // the high half is not read
        StoreLe16(r.eventCount, static_cast<std::uint16_t>(m.events.size()));
        for (std::size_t j = 0; j < m.events.size(); ++j) {
            MacroEvent& e = r.events[j];
            e.vk = m.events[j].vk;
            e.state = m.events[j].down ? (e.state ? e.state : 1) : 0;  // any nonzero flag means down
            StoreLe32(e.delay, m.events[j].delayMs);
        }
    }
    StoreLe32(b.macros.count, static_cast<std::uint32_t>(profile.macros.size()));
    for (std::size_t k = 0; k < profile.combinations.size(); ++k)
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
            ComboKeys keys;
            std::ranges::copy(s.buffers.combinations.records[param].vks, keys.begin());
            auto it = std::ranges::find(p.combinations, keys);
            if (it == p.combinations.end()) it = p.combinations.insert(it, keys);
            param = static_cast<std::int32_t>(it - p.combinations.begin());
        }
        p.keys[static_cast<std::size_t>(i)] = {type, type == AssignDefault ? 0 : param};
    }
    p.rate = s.rate;
    if (s.rate != 1 && s.rate != 2 && s.rate != 8) {
        warnings.push_back("rate: stored code " + std::to_string(s.rate) + " is not 1, 2 or 8; written as 8");
        p.rate = 8;
    }
    return p;
}

std::string ProfileToJson(const Profile& profile, const ButtonPosTable& layout) {
    ordered_json root;
    root["rate"] = profile.rate;
    ordered_json& keys = root["keys"] = ordered_json::object();
    for (std::size_t i = 0; i < profile.keys.size(); ++i) {
        const KeyFunction& f = profile.keys[i];
        if (f.type == AssignDefault) continue;
        keys[KeyName(layout[i])][FunctionName(f)] = FunctionValue(profile, f);
    }
    ordered_json& macros = root["macros"] = ordered_json::array();
    for (const ProfileMacro& m : profile.macros) {
        ordered_json events = ordered_json::array();
        for (const MacroStep& e : m.events)
            events.push_back({{e.down ? "down" : "up", NameForCode(VirtualKeyNames(), e.vk)}, {"delay", e.delayMs}});
        macros.push_back({{"name", m.name}, {"repeat", m.repeat}, {"events", events}});
    }
    return root.dump(2) + "\n";
}

std::string DescribeFunction(const Profile& profile, const KeyFunction& f) {
    const ordered_json v = FunctionValue(profile, f);
    if (f.type == AssignDefault) return "default";
    std::string text = FunctionName(f) + " ";
    if (!v.is_array()) return text + v.get<std::string>();
    for (std::size_t i = 0; i < v.size(); ++i) text += (i ? "+" : "") + (v[i].is_null() ? "(none)" : v[i].get<std::string>());
    return text;
}
