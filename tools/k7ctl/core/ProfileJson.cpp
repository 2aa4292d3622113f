#include "ProfileJson.h"

#include "Describe.h"
#include "JsonPositions.h"
#include "KeyNames.h"
#include "ProfileCheck.h"
#include "ProfileEdit.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

// Keeps the first error of a parse (a syntax error or a number out of range) with its byte
// offset; the document itself is built by a second, ordinary parse once this one passed.
class ParseErrorSax final : public nlohmann::json_sax<json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t position, const std::string&, const json::exception& e) override {
        offset = position;
        // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error ..." -> "syntax error ..."
        message = e.what();
        message.erase(0, message.find("] ") == std::string::npos ? 0 : message.find("] ") + 2);
        if (message.starts_with("parse error") && message.find(": ") != std::string::npos)
            message.erase(0, message.find(": ") + 2);
        return false;
    }

    std::size_t offset = 0;
    std::string message;
};

std::string Quoted(const json& v) { return v.is_string() ? "\"" + v.get<std::string>() + "\"" : v.dump(); }

class Checker {
public:
    Checker(std::string_view file, const JsonPositions& positions) : m_file(file), m_pos(positions) {}

    void Error(TextPosition at, const std::string& subject, const std::string& rule) {
        m_errors.emplace_back(at, std::string(m_file) + ":" + std::to_string(at.line) + ":" +
                                      std::to_string(at.column) + ": " + subject + ": " + rule);
    }
    void AtName(const std::string& ptr, const std::string& subject, const std::string& rule) {
        Error(m_pos.Name(ptr), subject, rule);
    }
    void AtValue(const std::string& ptr, const std::string& subject, const std::string& rule) {
        Error(m_pos.Value(ptr), subject, rule);
    }
    bool Failed() const { return !m_errors.empty(); }

    std::vector<std::string> Sorted() {
        std::stable_sort(m_errors.begin(), m_errors.end(), [](const auto& a, const auto& b) {
            return std::pair(a.first.line, a.first.column) < std::pair(b.first.line, b.first.column);
        });
        std::vector<std::string> out;
        for (auto& e : m_errors) out.push_back(std::move(e.second));
        return out;
    }

private:
    std::string_view m_file;
    const JsonPositions& m_pos;
    std::vector<std::pair<TextPosition, std::string>> m_errors;
};

// Reads one macro event: {"down": KEY} or {"up": KEY}, with an optional "delay".
void ReadEvent(Checker& c, const json& v, const std::string& ptr, const std::string& subject, MacroStep& step) {
    const bool down = v.is_object() && v.contains("down");
    const bool shaped =
        v.is_object() && down != v.contains("up") && v.size() == 1u + static_cast<std::size_t>(v.contains("delay"));
    if (!shaped) {
        c.AtValue(ptr, subject, "expected {\"down\": KEY} or {\"up\": KEY} with an optional \"delay\"");
        return;
    }
    const char* action = down ? "down" : "up";
    const json& key = v.at(action);
    const std::int32_t vk = key.is_string() ? CodeForName(VirtualKeyNames(), key.get<std::string>()) : -1;
    if (vk < 0) c.AtValue(ptr + "/" + action, subject, "unknown key " + Quoted(key));
    step.vk = static_cast<std::uint8_t>(vk);
    step.down = down;
    if (!v.contains("delay")) return;
    const json& d = v.at("delay");
    if (!d.is_number_integer() || d.get<std::int64_t>() < 0) {
        c.AtValue(ptr + "/delay", subject, "\"delay\" must be a whole number of milliseconds");
    } else if (d.get<std::uint64_t>() > kMaxDelayMs) {
        c.AtValue(ptr + "/delay", subject, rule::Delay(d.get<std::uint64_t>()));
    } else {
        step.delayMs = d.get<std::uint32_t>();
    }
}

void ReadMacros(Checker& c, const json& list, Profile& profile) {
    if (!list.is_array()) {
        c.AtValue("/macros", "macros", "expected a list of macros");
        return;
    }
    if (list.size() > kMaxProfileMacros)
        c.AtValue("/macros/" + std::to_string(kMaxProfileMacros), "macros", rule::MacroCount(list.size()));
    for (std::size_t k = 0; k < list.size() && k < kMaxProfileMacros; ++k) {
        const json& m = list[k];
        const std::string ptr = "/macros/" + std::to_string(k);
        ProfileMacro& macro = profile.macros.emplace_back();
        if (!m.is_object() || !m.contains("name") || !m.at("name").is_string() ||
            m.at("name").get<std::string>().empty()) {
            c.AtValue(ptr, "macro " + std::to_string(k + 1),
                      "expected an object with a \"name\", and \"repeat\" and \"events\" if needed");
            continue;
        }
        macro.name = m.at("name").get<std::string>();
        const std::string subject = "macro \"" + macro.name + "\"";
        for (std::size_t j = 0; j < k; ++j)
            if (profile.macros[j].name == macro.name) c.AtValue(ptr + "/name", subject, rule::NameTwice());
        for (const auto& [member, value] : m.items())
            if (member != "name" && member != "repeat" && member != "events")
                c.AtName(ptr + PointerToken(member), subject,
                         "unknown member \"" + member + "\"; expected \"name\", \"repeat\" or \"events\"");
        if (m.contains("repeat")) {
            const json& r = m.at("repeat");
            if (!r.is_number_integer() || r.get<std::int64_t>() < 0 || r.get<std::int64_t>() > 0xFFFF)
                c.AtValue(ptr + "/repeat", subject, "\"repeat\" must be a whole number from 0 to 65535");
            else
                macro.repeat = r.get<std::uint16_t>();
        }
        if (!m.contains("events")) continue;
        const json& events = m.at("events");
        if (!events.is_array()) {
            c.AtValue(ptr + "/events", subject, "\"events\" must be a list");
            continue;
        }
        constexpr auto kMaxEvents = static_cast<std::size_t>(kDeviceMacroEvents);
        if (events.size() > kMaxEvents)
            c.AtValue(ptr + "/events/" + std::to_string(kMaxEvents), subject, rule::EventCount(events.size()));
        for (std::size_t j = 0; j < events.size() && j < kMaxEvents; ++j)
            ReadEvent(c, events[j], ptr + "/events/" + std::to_string(j), subject + ", event " + std::to_string(j + 1),
                      macro.events.emplace_back());
    }
}

// The assignment of one key: "default" or an object with exactly one function.
// A combination's keys go to `combo`; ReadKeys numbers the combinations afterwards.
void ReadKey(Checker& c, const json& v, const std::string& ptr, const std::string& subject, Profile& profile,
             KeyFunction& f, ComboKeys& combo) {
    static constexpr const char* kFunctions[] = {"remap", "media", "media-alt",  "shortcut",
                                                 "mouse", "macro", "combination"};
    if (v == "default") return;
    const auto known = [](const std::string& n) { return std::ranges::find(kFunctions, n) != std::end(kFunctions); };
    if (!v.is_object() || v.size() != 1 || !known(v.begin().key())) {
        c.AtValue(ptr, subject,
                  "expected \"default\" or an object with one of \"remap\", \"media\", \"media-alt\", "
                  "\"shortcut\", \"mouse\", \"macro\", \"combination\"");
        return;
    }
    const std::string function = v.begin().key();
    const json& x = v.begin().value();
    const std::string at = ptr + PointerToken(function);
    const std::string text = x.is_string() ? x.get<std::string>() : std::string();
    const auto lookup = [&](std::span<const NamedCode> table, const char* what) {
        const std::int32_t code = x.is_string() ? CodeForName(table, text) : -1;
        if (code < 0) c.AtValue(at, subject, std::string("unknown ") + what + " " + Quoted(x));
        return code;
    };
    if (function == "remap") {
        f = {AssignKeyRemap, lookup(VirtualKeyNames(), "remap key")};
    } else if (function == "media" || function == "media-alt") {
        f = {function == "media" ? AssignConsumer : AssignConsumerAlt, lookup(MediaNames(), "media function")};
    } else if (function == "shortcut") {
        const std::int32_t code = lookup(ShortcutNames(), "shortcut");
        f = {code / 100, code % 100};
    } else if (function == "mouse") {
        f = {AssignMouseButton, lookup(MouseNames(), "mouse button")};
    } else if (function == "macro") {
        const auto it = std::ranges::find(profile.macros, text, &ProfileMacro::name);
        const auto index = static_cast<std::size_t>(it - profile.macros.begin());
        if (!x.is_string() || it == profile.macros.end())
            c.AtValue(at, subject, "unknown macro " + Quoted(x));
        else if (index >= kMaxDeviceMacros)
            c.AtValue(at, subject, rule::MacroNumber(text, index));
        f = {AssignMacro, static_cast<std::int32_t>(index)};
    } else {
        ComboKeys& keys = combo;
        const bool shaped = x.is_array() && !x.empty() &&
                            std::ranges::any_of(x, [](const json& k) { return k.is_string(); }) &&
                            std::ranges::all_of(x, [](const json& k) { return k.is_string() || k.is_null(); });
        if (!shaped) {
            c.AtValue(at, subject, rule::CombinationShape());
            return;
        }
        if (x.size() > kMaxComboKeys) {
            c.AtValue(at, subject,
                      std::to_string(x.size()) + " keys in a combination; the keyboard presses at most " +
                          std::to_string(kMaxComboKeys) + " together");
            return;
        }
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x[i].is_null()) continue;
            const std::int32_t vk = CodeForName(VirtualKeyNames(), x[i].get<std::string>());
            if (vk < 0)
                c.AtValue(at + "/" + std::to_string(i), subject, "unknown key " + Quoted(x[i]) + " in the combination");
            keys[i] = static_cast<std::uint8_t>(vk);
        }
        f = {AssignCombination, 0};
    }
}

void ReadKeys(Checker& c, const json& keys, const ButtonPosTable& layout, Profile& profile,
              std::vector<std::string>& pointers) {
    if (!keys.is_object()) {
        c.AtValue("/keys", "keys", "expected an object that maps key names to functions");
        return;
    }
    std::array<ComboKeys, BUTTON_COUNT> combos{};
    for (const auto& [name, value] : keys.items()) {
        const std::string ptr = "/keys" + PointerToken(name);
        const std::string subject = "key \"" + name + "\"";
        const auto it = std::ranges::find(layout, name, KeyName);
        if (it == layout.end()) {
            c.AtName(ptr, subject, "unknown key; keys are named as in ButtonPos.xml");
            continue;
        }
        const auto index = static_cast<std::size_t>(it - layout.begin());
        ReadKey(c, value, ptr, subject, profile, profile.keys[index], combos[index]);
        pointers[index] = ptr;
    }
    // Each key its own entry for now; NumberCombinations merges equal ones.
    for (std::size_t i = 0; i < profile.keys.size(); ++i) {
        if (profile.keys[i].type != AssignCombination) continue;
        profile.combinations.push_back(combos[i]);
        profile.keys[i].parameter = static_cast<std::int32_t>(profile.combinations.size() - 1);
    }
    NumberCombinations(profile);
}

// Where the text says what a finding is about: a combination at the first key that uses it.
std::string PointerOf(const Finding& f, const Profile& profile, const std::vector<std::string>& keyPointers) {
    switch (f.of) {
    case Finding::Of::Key: return keyPointers[f.index];
    case Finding::Of::Macro: return "/macros/" + std::to_string(f.index);
    case Finding::Of::Event: return "/macros/" + std::to_string(f.index) + "/events/" + std::to_string(f.event);
    case Finding::Of::Combination:
        for (std::size_t i = 0; i < profile.keys.size(); ++i)
            if (profile.keys[i] == KeyFunction{AssignCombination, static_cast<std::int32_t>(f.index)})
                return keyPointers[i];
        return {};
    default: return PointerToken(f.subject);  // a profile-wide finding's subject is its member
    }
}

}  // namespace

std::vector<std::string> ReadProfile(std::string_view text, std::string_view fileName, const ButtonPosTable& layout,
                                     Profile& profile) {
    profile = Profile{};
    ParseErrorSax sax;
    if (!json::sax_parse(text, &sax)) {
        const TextPosition at = PositionOfOffset(text, sax.offset > 0 ? sax.offset - 1 : 0);
        return {std::string(fileName) + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                ": malformed JSON: " + sax.message};
    }
    const json root = json::parse(text, nullptr, false);
    const JsonPositions positions(text);
    Checker c(fileName, positions);
    for (const auto& d : positions.Duplicates()) {
        const std::string name = d.pointer.substr(d.pointer.rfind('/') + 1);
        c.Error(d.name, "member \"" + name + "\"", "given twice");
    }
    if (!root.is_object()) {
        c.AtValue("", "profile", "expected an object with \"keys\", \"macros\" and \"rate\"");
        return c.Sorted();
    }
    for (const auto& [member, value] : root.items())
        if (member != "keys" && member != "macros" && member != "rate")
            c.AtName(PointerToken(member), "profile",
                     "unknown member \"" + member + "\"; expected \"keys\", \"macros\" or \"rate\"");
    if (root.contains("rate")) {
        const json& r = root.at("rate");
        if (r != 1 && r != 2 && r != 8)
            c.AtValue("/rate", "rate", rule::Rate());
        else
            profile.rate = r.get<std::int32_t>();
    }
    if (root.contains("macros")) ReadMacros(c, root.at("macros"), profile);
    std::vector<std::string> keyPointers(BUTTON_COUNT);
    if (root.contains("keys")) ReadKeys(c, root.at("keys"), layout, profile, keyPointers);
    if (c.Failed()) return c.Sorted();

    // What only the data can tell, the combination slots above all, is found by the checker.
    for (const Finding& f : CheckProfile(profile, layout))
        c.AtName(PointerOf(f, profile, keyPointers), f.subject, f.rule);
    return c.Sorted();
}

std::string ProfileToJson(const Profile& profile, const ButtonPosTable& layout) {
    ordered_json root;
    root["rate"] = profile.rate;
    ordered_json& keys = root["keys"] = ordered_json::object();
    for (std::size_t i = 0; i < profile.keys.size(); ++i) {
        const KeyFunction& f = profile.keys[i];
        if (f.type == AssignDefault) continue;
        const std::vector<std::string_view> names = FunctionNames(profile, f);
        ordered_json value;  // null when the function names nothing; the reader then says so
        if (f.type == AssignCombination) {
            value = ordered_json::array();
            for (const std::string_view n : names) value.push_back(n.empty() ? ordered_json() : ordered_json(n));
        } else if (!names.empty()) {
            value = names[0];
        }
        keys[KeyName(layout[i])][std::string(FunctionMember(f))] = value;
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
