#include "Describe.h"
#include "Plan.h"
#include "ProfileJson.h"
#include "ShippedKeyIndex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

Profile Read(std::string_view text) {
    Profile p;
    EXPECT_THAT(ReadProfile(text, "p.json", ShippedLayout(), p), IsEmpty());
    return p;
}

KeyEntry Entry(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return {{a, b, c, d}}; }

}  // namespace

TEST(Plan, TheExampleChangesItsKeysAndSendsItsMacrosAndCombinations) {
    std::ifstream f(K7_EXAMPLE_PROFILE, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    const Profile p = Read(text.str());
    const ApplyPlan plan = PlanApply(p, ShippedLayout());

    EXPECT_EQ(plan.table.slots[22], Entry(0x04, 0, 0x00, 0xCD));  // F1 (usage 0x3A): PlayPause
    EXPECT_EQ(plan.table.slots[17], Entry(0x00, 0xE0, 0, 0));     // Caps Lock (usage 0x39) -> LeftCtrl
    EXPECT_EQ(plan.table.slots[87], Entry(0x53, 0, 1, 0xC0));     // F10 (usage 0x43): macro 1
    EXPECT_EQ(plan.table.slots[62], Entry(0x02, 0, 1, 1));        // F8 (usage 0x41): double click
    EXPECT_EQ(plan.table.slots[0], Entry(0x23, 0, 5, 8));         // Pause (usage 0x48): fifth combination
    ASSERT_EQ(plan.macros.size(), 2u);
    EXPECT_EQ(plan.macros[0].number, 1);
    EXPECT_THAT(std::vector<std::uint8_t>(plan.macros[0].content.begin(), plan.macros[0].content.begin() + 10),
                ElementsAre(0, 3, 0x80, 0x2C, 0x01, 0x2C, 0x82, 0x15, 0x01, 0x15));
    EXPECT_EQ(plan.macros[1].number, 2);
    ASSERT_EQ(plan.combinations.size(), 5u);  // F5, F6, F7, F12, Pause in layout order
    EXPECT_EQ(plan.combinations[0].slot, 1);
    EXPECT_THAT(plan.combinations[0].keys, ElementsAre(0, 0xE2, 0, 0x2B, 0, 0, 0, 0));
    EXPECT_EQ(plan.combinations[3].slot, 4);
    EXPECT_THAT(plan.combinations[3].keys, ElementsAre(0, 0xE0, 0, 0xE1, 0, 0x29, 0, 0));
    EXPECT_THAT(plan.resets, IsEmpty());

    const std::string shown = FormatPlan(plan, p, ShippedLayout());
    EXPECT_THAT(shown, HasSubstr("  slot  22  F1             04 00 00 cd  media PlayPause\n"));
    EXPECT_THAT(shown, HasSubstr("  slot   0  Pause          23 00 05 08  combination LeftCtrl+LeftAlt+Delete\n"));
    EXPECT_THAT(shown, HasSubstr("  slot 1  00 e2 00 2b 00 00 00 00\n"));
    EXPECT_THAT(shown, HasSubstr("  macro  1  burst          repeat 3, 4 events: 80 2c 01 2c 82 15 01 15\n"));
    EXPECT_THAT(PlanToJson(plan, p, ShippedLayout()),
                HasSubstr("{\n      \"slot\": 22,\n      \"key\": \"F1\",\n      \"entry\": \"04 00 00 cd\",\n"
                          "      \"meaning\": \"media PlayPause\"\n    }"));
}

TEST(Plan, AnEmptyProfileLeavesTheFactoryTable) {
    const ApplyPlan plan = PlanApply(Profile{}, ShippedLayout());
    EXPECT_EQ(plan.table, FactoryKeyTable());
    EXPECT_THAT(plan.macros, IsEmpty());
    EXPECT_THAT(plan.combinations, IsEmpty());
    EXPECT_EQ(FormatPlan(plan, Profile{}, ShippedLayout()),
              "Key table: slots that differ from the factory table\n  (none)\nMacros sent: none\n"
              "Combinations placed: none\n");
}

TEST(Describe, NamesEveryFunctionAndSaysWhenAReferenceIsMissing) {
    Profile p;
    p.macros.push_back({"burst", 1, {}});
    p.combinations.push_back({0xA2, 0, 0x2E, 0});
    EXPECT_EQ(DescribeFunction(p, {AssignDefault, 0}), "default");
    EXPECT_EQ(DescribeFunction(p, {AssignEditShortcut, 2}), "shortcut Ctrl+C");
    EXPECT_EQ(DescribeFunction(p, {AssignConsumerAlt, 7}), "media-alt Mute");
    EXPECT_EQ(DescribeFunction(p, {AssignMacro, 0}), "macro burst");
    EXPECT_EQ(DescribeFunction(p, {AssignCombination, 0}), "combination LeftCtrl+(none)+Delete");
    EXPECT_EQ(DescribeFunction(p, {AssignMacro, 1}), "macro (none)");
    EXPECT_EQ(DescribeFunction(p, {AssignCombination, -1}), "combination (none)");
    EXPECT_EQ(DescribeFunction(p, {AssignKeyRemap, 0x07}), "remap (none)");
    EXPECT_EQ(DescribeFunction(p, {42, 0}), "default");
}
