#include "KeyNames.h"
#include "ProfileJson.h"
#include "keyconfig/DeviceKeyTable.h"
#include "ShippedKeyIndex.h"
#include "keyconfig/SettingRecords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> Check(std::string_view text, Profile* out = nullptr) {
    Profile p;
    auto errors = ReadProfile(text, "p.json", ShippedLayout(), p);
    if (out) *out = p;
    return errors;
}

std::string ReadText(const char* path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A profile with one key and the given function text.
std::string OneKey(std::string_view key, std::string_view function) {
    return "{\"keys\": {\"" + std::string(key) + "\": " + std::string(function) + "}}";
}

}  // namespace

TEST(ShippedLayout, Holds108DistinctNamedKeys) {
    const ButtonPosTable& layout = ShippedLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        EXPECT_FALSE(layout[i].name.empty()) << i;
        EXPECT_NE(layout[i].vkcode, 0) << i;
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(layout[i].name, layout[j].name) << i;
            EXPECT_NE(layout[i].vkcode, layout[j].vkcode) << i;
        }
    }
}

TEST(ProfileReader, ReadsTheExampleWithEveryAssignmentType) {
    Profile p;
    ASSERT_THAT(Check(ReadText(K7_EXAMPLE_PROFILE), &p), IsEmpty());
    EXPECT_EQ(p.rate, 2);
    EXPECT_EQ(p.keys[KeyIndex("Caps Lock")], (KeyFunction{AssignKeyRemap, 0xA2}));
    EXPECT_EQ(p.keys[KeyIndex("F1")], (KeyFunction{AssignConsumer, 1}));
    EXPECT_EQ(p.keys[KeyIndex("F4")], (KeyFunction{AssignConsumerAlt, 7}));
    EXPECT_EQ(p.keys[KeyIndex("F5")], (KeyFunction{AssignSystemShortcut, 1}));
    EXPECT_EQ(p.keys[KeyIndex("F6")], (KeyFunction{AssignEditShortcut, 2}));
    EXPECT_EQ(p.keys[KeyIndex("F8")], (KeyFunction{AssignMouseButton, 10}));
    EXPECT_EQ(p.keys[KeyIndex("F9")], (KeyFunction{AssignMouseButton, 3}));
    EXPECT_EQ(p.keys[KeyIndex("F10")], (KeyFunction{AssignMacro, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F11")], (KeyFunction{AssignMacro, 1}));
    EXPECT_EQ(p.keys[KeyIndex("F12")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(p.keys[KeyIndex("Pause")], (KeyFunction{AssignCombination, 1}));
    EXPECT_EQ(p.keys[KeyIndex("Left Win")], (KeyFunction{AssignDefault, 0}));
    EXPECT_EQ(p.keys[KeyIndex("Esc")], (KeyFunction{AssignDefault, 0}));
    EXPECT_THAT(p.combinations, ElementsAre(ComboKeys{0xA2, 0xA0, 0x1B, 0}, ComboKeys{0xA2, 0xA4, 0x2E, 0}));
    ASSERT_EQ(p.macros.size(), 2u);
    EXPECT_EQ(p.macros[0].name, "burst");
    EXPECT_EQ(p.macros[0].repeat, 3);
    EXPECT_THAT(p.macros[0].events, ElementsAre(MacroStep{0x20, true, 0}, MacroStep{0x20, false, 50},
                                                MacroStep{0x52, true, 100}, MacroStep{0x52, false, 50}));
    EXPECT_EQ(p.macros[1].repeat, 1);
    EXPECT_EQ(p.macros[1].events[0], (MacroStep{0x47, true, 0}));
}

TEST(ProfileReader, CombinationsAreNumberedInLayoutOrderAndEqualOnesShareARecord) {
    Profile p;
    ASSERT_THAT(Check(R"({"keys": {"Z": {"combination": ["LeftCtrl", null, "C"]},
                                   "F3": {"combination": ["LeftAlt", "Tab"]},
                                   "F2": {"combination": ["LeftCtrl", null, "C"]}}})",
                      &p),
                IsEmpty());
    EXPECT_THAT(p.combinations, ElementsAre(ComboKeys{0xA2, 0, 0x43, 0}, ComboKeys{0xA4, 0x09, 0, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F2")], (KeyFunction{AssignCombination, 0}));
    EXPECT_EQ(p.keys[KeyIndex("F3")], (KeyFunction{AssignCombination, 1}));
    EXPECT_EQ(p.keys[KeyIndex("Z")], (KeyFunction{AssignCombination, 0}));
}

TEST(KeyNames, EveryVirtualKeyNameReachesTheKeyboard) {
    for (const NamedCode& n : VirtualKeyNames()) {
        EXPECT_NE(UsageForVk(static_cast<std::uint8_t>(n.code)), 0) << n.name;
        EXPECT_EQ(CodeForName(VirtualKeyNames(), n.name), n.code) << n.name;  // one name, one code
    }
}

TEST(ProfileReader, MalformedJsonNamesLineAndColumn) {
    EXPECT_THAT(Check("{\n  \"keys\": {\n    \"F1\": }\n}"),
                ElementsAre("p.json:3:11: malformed JSON: syntax error while parsing value - unexpected '}'; "
                            "expected '[', '{', or a literal"));
    EXPECT_THAT(Check("{\"rate\": 8"),
                ElementsAre("p.json:1:11: malformed JSON: syntax error while parsing object - unexpected "
                            "end of input; expected '}'"));
    EXPECT_THAT(Check(""), ElementsAre("p.json:1:1: malformed JSON: syntax error while parsing value - unexpected "
                                       "end of input; expected '[', '{', or a literal"));
    EXPECT_THAT(Check("{\"rate\":\n 1e999999}"),
                ElementsAre("p.json:2:9: malformed JSON: number overflow parsing '1e999999'"));
    // Columns count characters, not bytes.
    EXPECT_THAT(Check("{\"keys\": {\"é\": x}}"),
                ElementsAre("p.json:1:16: malformed JSON: syntax error while parsing value - invalid literal; "
                            "last read: '\"é\": x'"));
}

TEST(ProfileReader, StructureErrors) {
    EXPECT_THAT(Check("[1]"),
                ElementsAre("p.json:1:1: profile: expected an object with \"keys\", \"macros\" and \"rate\""));
    EXPECT_THAT(Check("{\"rate\": 8,\n \"key\": {}}"),
                ElementsAre("p.json:2:2: profile: unknown member \"key\"; expected \"keys\", \"macros\" or \"rate\""));
    EXPECT_THAT(Check("{\"rate\": 4}"), ElementsAre("p.json:1:10: rate: must be 1, 2 or 8"));
    EXPECT_THAT(Check("{\"rate\": \"8\"}"), ElementsAre("p.json:1:10: rate: must be 1, 2 or 8"));
    EXPECT_THAT(Check("{\"keys\": []}"),
                ElementsAre("p.json:1:10: keys: expected an object that maps key names to functions"));
    EXPECT_THAT(Check("{\"macros\": {}}"), ElementsAre("p.json:1:12: macros: expected a list of macros"));
    EXPECT_THAT(Check("{\"keys\": {\"F1\": \"default\",\n \"F1\": {\"mouse\": \"Left\"}}}"),
                ElementsAre("p.json:2:2: member \"F1\": given twice"));
}

TEST(ProfileReader, KeyErrorsNameTheKeyAndTheRule) {
    EXPECT_THAT(Check(OneKey("F13", "\"default\"")),
                ElementsAre("p.json:1:11: key \"F13\": unknown key; keys are named as in ButtonPos.xml"));
    const std::string shape =
        "expected \"default\" or an object with one of \"remap\", \"media\", \"media-alt\", "
        "\"shortcut\", \"mouse\", \"macro\", \"combination\"";
    EXPECT_THAT(Check(OneKey("F1", "\"none\"")), ElementsAre("p.json:1:17: key \"F1\": " + shape));
    EXPECT_THAT(Check(OneKey("F1", R"({"remap": "A", "mouse": "Left"})")),
                ElementsAre("p.json:1:17: key \"F1\": " + shape));
    EXPECT_THAT(Check(OneKey("F1", R"({"launch": "A"})")), ElementsAre("p.json:1:17: key \"F1\": " + shape));
    EXPECT_THAT(Check(OneKey("F1", R"({"remap": "Shift"})")),
                ElementsAre("p.json:1:27: key \"F1\": unknown remap key \"Shift\""));
    EXPECT_THAT(Check(OneKey("F1", R"({"media": "Eject"})")),
                ElementsAre("p.json:1:27: key \"F1\": unknown media function \"Eject\""));
    EXPECT_THAT(Check(OneKey("F1", R"({"media-alt": 3})")),
                ElementsAre("p.json:1:31: key \"F1\": unknown media function 3"));
    EXPECT_THAT(Check(OneKey("F1", R"({"shortcut": "Ctrl+Q"})")),
                ElementsAre("p.json:1:30: key \"F1\": unknown shortcut \"Ctrl+Q\""));
    EXPECT_THAT(Check(OneKey("F1", R"({"mouse": "Button10"})")),
                ElementsAre("p.json:1:27: key \"F1\": unknown mouse button \"Button10\""));
    EXPECT_THAT(Check(OneKey("F1", R"({"macro": "nope"})")),
                ElementsAre("p.json:1:27: key \"F1\": unknown macro \"nope\""));
}

TEST(ProfileReader, CombinationRules) {
    EXPECT_THAT(
        Check(OneKey("F1", R"({"combination": ["A", "B", "C", "D", "E"]})")),
        ElementsAre("p.json:1:33: key \"F1\": 5 keys in a combination; the keyboard presses at most 4 together"));
    for (const char* bad : {R"({"combination": []})", R"({"combination": [null]})", R"({"combination": "A"})",
                            R"({"combination": ["A", 1]})"})
        EXPECT_THAT(Check(OneKey("F1", bad)),
                    ElementsAre("p.json:1:33: key \"F1\": a combination is a list of 1 to 4 key names"))
            << bad;
    EXPECT_THAT(Check(OneKey("F1", R"({"combination": ["LeftCtrl", "Fn"]})")),
                ElementsAre("p.json:1:46: key \"F1\": unknown key \"Fn\" in the combination"));
}

TEST(ProfileReader, NineDistinctCombinationsCountingShortcutsDoNotFit) {
    // Seven shortcuts and two combinations; Ctrl+C and [LeftCtrl, C] are the same key bytes.
    const std::string text = R"({"keys": {
  "F1": {"shortcut": "Ctrl+X"}, "F2": {"shortcut": "Ctrl+C"}, "F3": {"shortcut": "Ctrl+V"},
  "F4": {"shortcut": "Ctrl+A"}, "F5": {"shortcut": "Win+D"}, "F6": {"shortcut": "Alt+Tab"},
  "F7": {"shortcut": "Alt+F4"}, "F8": {"combination": ["LeftCtrl", "C"]},
  "F9": {"combination": ["LeftCtrl", "LeftAlt", "Delete"]},
  "F10": {"shortcut": "Ctrl+X"},
  "F11": {"combination": ["LeftShift", "Tab"]}
}})";
    EXPECT_THAT(Check(text),
                ElementsAre("p.json:7:3: key \"F11\": no combination slot left; the keyboard holds 8 distinct "
                            "combinations and shortcuts"));
    std::string eight = text;
    eight.replace(eight.find("\"LeftShift\", \"Tab\""), 18, "\"LeftCtrl\", \"X\"");
    EXPECT_THAT(Check(eight), IsEmpty());
}

TEST(ProfileReader, MacroRules) {
    EXPECT_THAT(
        Check(R"({"macros": [{"repeat": 2}]})"),
        ElementsAre(
            "p.json:1:13: macro 1: expected an object with a \"name\", and \"repeat\" and \"events\" if needed"));
    EXPECT_THAT(
        Check(R"({"macros": [{"name": "m", "repeat": 70000, "loop": true}]})"),
        ElementsAre("p.json:1:37: macro \"m\": \"repeat\" must be a whole number from 0 to 65535",
                    "p.json:1:44: macro \"m\": unknown member \"loop\"; expected \"name\", \"repeat\" or \"events\""));
    EXPECT_THAT(Check(R"({"macros": [{"name": "m"}, {"name": "m"}]})"),
                ElementsAre("p.json:1:37: macro \"m\": the name is used twice"));
    EXPECT_THAT(Check(R"({"macros": [{"name": "m", "events": {}}]})"),
                ElementsAre("p.json:1:37: macro \"m\": \"events\" must be a list"));
    EXPECT_THAT(
        Check(R"({"macros": [{"name": "m", "events": [{"down": "A", "up": "A"}, {"press": "A"},
                {"down": "Shift"}, {"up": "A", "delay": 6400}, {"up": "A", "delay": -1}, {"up": "A", "delay": 6399}]}]})"),
        ElementsAre(
            "p.json:1:38: macro \"m\", event 1: expected {\"down\": KEY} or {\"up\": KEY} with an optional \"delay\"",
            "p.json:1:64: macro \"m\", event 2: expected {\"down\": KEY} or {\"up\": KEY} with an optional \"delay\"",
            "p.json:2:26: macro \"m\", event 3: unknown key \"Shift\"",
            "p.json:2:57: macro \"m\", event 4: delay 6400 ms; at most 6399 ms",
            "p.json:2:85: macro \"m\", event 5: \"delay\" must be a whole number of milliseconds"));
}

TEST(ProfileReader, MacroLimits) {
    std::string events;
    for (int i = 0; i < 96; ++i) events += std::string(i ? "," : "") + "{\"down\": \"A\"}";
    EXPECT_THAT(Check("{\"macros\": [{\"name\": \"long\", \"events\": [" + events + "]}]}"),
                ElementsAre("p.json:1:1371: macro \"long\": 96 events; the keyboard plays at most 95"));

    // Twelve macros may be stored; only the first eleven can be put on a key.
    std::string macros;
    for (int i = 1; i <= 12; ++i)
        macros += std::string(i > 1 ? "," : "") + "{\"name\": \"m" + std::to_string(i) + "\"}";
    const std::string list = "\"macros\": [" + macros + "]";
    EXPECT_THAT(Check("{" + list + ", \"keys\": {\"F1\": {\"macro\": \"m11\"}}}"), IsEmpty());
    EXPECT_THAT(Check("{" + list + ",\n\"keys\": {\"F1\": {\"macro\": \"m12\"}}}"),
                ElementsAre("p.json:2:26: key \"F1\": macro \"m12\" is number 12 in the list; only the first 11 "
                            "reach the keyboard"));

    std::string many;
    for (int i = 1; i <= 101; ++i) many += std::string(i > 1 ? "," : "") + "{\"name\": \"m" + std::to_string(i) + "\"}";
    const auto errors = Check("{\"macros\": [" + many + "]}");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], ::testing::EndsWith(": macros: 101 macros; at most 100 are stored"));
}

TEST(ProfileReader, ErrorsComeInDocumentOrder) {
    EXPECT_THAT(
        Check("{\"keys\": {\"F13\": \"default\", \"F1\": {\"mouse\": \"Nine\"}},\n \"rate\": 3}"),
        ElementsAre("p.json:1:11: key \"F13\": unknown key; keys are named as in ButtonPos.xml",
                    "p.json:1:45: key \"F1\": unknown mouse button \"Nine\"", "p.json:2:10: rate: must be 1, 2 or 8"));
}
