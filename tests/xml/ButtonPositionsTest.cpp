// Loading the button layout: attribute conversions, the table's bounds, files that
// fill nothing.
#include <gtest/gtest.h>

#include "TestText.h"
#include "xml/ButtonPositions.h"
#include "xml/NumberText.h"

namespace {

std::string Keys(std::string_view keys) { return "<ButtonPos>" + std::string(keys) + "</ButtonPos>"; }

ButtonPosTable LoadInto(std::string_view content, ButtonPosTable table = {}) {
    ScratchFile file(content, "ButtonPos.xml");
    LoadButtonPositions(file.Path(), table);
    return table;
}

std::uint8_t VkOf(std::string_view value) {
    return LoadInto(Keys("<key vkcode=\"" + std::string(value) + "\"/>"))[0].vkcode;
}

TEST(ButtonPositions, RecordsInFileOrder) {
    ButtonPosTable t = LoadInto(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Layout>\n"
        "  <key name=\"A &amp; B\" vkcode=\"0x41\" buttontip=\"Key &lt;A&gt;\" CRect=\"10,20,110,60\" kstatus=\"1\"/>\n"
        "  <other name=\"skipped\" vkcode=\"20\"/>\n"
        "  <key name=\"Esc\" vkcode=\"1B\"><key name=\"nested\" vkcode=\"22\"/>text</key>\n"
        "  <key name=\"A again\" vkcode=\"41\"/>\n"
        "</Layout>\n");
    EXPECT_EQ(t[0].name, u"A & B");
    EXPECT_EQ(t[0].vkcode, 0x41);
    EXPECT_EQ(t[0].buttontip, u"Key <A>");
    EXPECT_EQ(t[0].rect, (CRectValue{10, 20, 110, 60}));
    EXPECT_EQ(t[0].kstatus, 1);
    EXPECT_EQ(t[1].name, u"Esc");
    EXPECT_EQ(t[1].vkcode, 0x1B);
    EXPECT_EQ(t[1].buttontip, u"");
    EXPECT_EQ(t[1].rect, CRectValue{});
    EXPECT_EQ(t[2].vkcode, 0x41);  // duplicates stay separate records
    EXPECT_EQ(t[3].name, u"");
}

TEST(ButtonPositions, KeyCodesInBase16) {
    EXPECT_EQ(VkOf("41"), 0x41);
    EXPECT_EQ(VkOf("0x41"), 0x41);
    EXPECT_EQ(VkOf("0X41"), 0x41);
    EXPECT_EQ(VkOf("  41"), 0x41);
    EXPECT_EQ(VkOf("141"), 0x41);  // the low 8 bits
    EXPECT_EQ(VkOf("-1"), 0xFF);
    EXPECT_EQ(VkOf("zz"), 0);
    EXPECT_EQ(VkOf(""), 0);
    EXPECT_EQ(VkOf("0x"), 0);
    EXPECT_EQ(VkOf("1Bh"), 0x1B);
    EXPECT_EQ(VkOf("FFFFFFFFFF"), 0xFF);   // clamped to 0x7FFFFFFF
    EXPECT_EQ(VkOf("-FFFFFFFFFF"), 0x00);  // clamped to -0x80000000
}

TEST(ButtonPositions, NumbersLikeStrtol) {
    EXPECT_EQ(ParseLong(u"2147483647", 10), 2147483647);
    EXPECT_EQ(ParseLong(u"2147483648", 10), 2147483647);
    EXPECT_EQ(ParseLong(u"-2147483648", 10), -2147483647 - 1);
    EXPECT_EQ(ParseLong(u"-99999999999999999999", 10), -2147483647 - 1);
    EXPECT_EQ(ParseLong(u"\t\n\v\f\r +12x", 10), 12);
    EXPECT_EQ(ParseLong(u"+-1", 10), 0);
    EXPECT_EQ(ParseLong(u"0x1A", 10), 0);
    EXPECT_EQ(ParseLong(u"-0x1A", 16), -0x1A);
    EXPECT_EQ(ParseLong(u"0xg", 16), 0);
    EXPECT_EQ(ParseLong(u"\u0661", 10), 0);  // only ASCII digits
}

TEST(ButtonPositions, Rectangles) {
    EXPECT_EQ(ParseRect(u"10,20,110,60"), (CRectValue{10, 20, 110, 60}));
    EXPECT_EQ(ParseRect(u"10, 20, 110, 60"), (CRectValue{10, 20, 110, 60}));
    EXPECT_EQ(ParseRect(u"5"), (CRectValue{0, 0, 0, 5}));
    EXPECT_EQ(ParseRect(u""), (CRectValue{0, 0, 0, 0}));
    // With fewer commas a missing one counts as -1, and the searches start over.
    EXPECT_EQ(ParseRect(u"1,2"), (CRectValue{1, 0, 1, 2}));
    EXPECT_EQ(ParseRect(u"1,2,3"), (CRectValue{1, 2, 0, 1}));
    EXPECT_EQ(ParseRect(u"1,2,3,4,5"), (CRectValue{1, 2, 3, 4}));
    EXPECT_EQ(ParseRect(u",,,"), (CRectValue{0, 0, 0, 0}));
    EXPECT_EQ(ParseRect(u"1,2,3,"), (CRectValue{1, 2, 3, 0}));
    EXPECT_EQ(ParseRect(u"-1,-2,3 ,4"), (CRectValue{-1, -2, 3, 4}));
}

TEST(ButtonPositions, Status) {
    auto statusOf = [](std::string_view attr) { return LoadInto(Keys("<key " + std::string(attr) + "/>"))[0].kstatus; };
    EXPECT_EQ(statusOf("kstatus=\"1\""), 1);
    EXPECT_EQ(statusOf("kstatus=\"01\""), 1);
    EXPECT_EQ(statusOf("kstatus=\" 1 \""), 1);
    EXPECT_EQ(statusOf("kstatus=\"2\""), 0);
    EXPECT_EQ(statusOf("kstatus=\"0\""), 0);
    EXPECT_EQ(statusOf("kstatus=\"\""), 0);
    EXPECT_EQ(statusOf("kstatus=\"-1\""), 0);
    EXPECT_EQ(statusOf(""), 0);
}

TEST(ButtonPositions, FilesThatFillNothing) {
    ButtonPosTable before{};
    before[0].name = u"kept";
    before[0].vkcode = 0x20;
    for (std::string_view content :
         {std::string_view("<a><key vkcode=\"41\"/></a><b/>"), std::string_view("<a><key vkcode=\"41\"/>"),
          std::string_view("<a><key vkcode=\"41\"/></b></a>"), std::string_view("no markup"), std::string_view("")}) {
        ButtonPosTable t = LoadInto(content, before);
        EXPECT_EQ(t[0].name, u"kept") << content;
        EXPECT_EQ(t[0].vkcode, 0x20) << content;
    }
    ButtonPosTable missing = before;
    LoadButtonPositions(u"/nonexistent/ButtonPos.xml", missing);
    EXPECT_EQ(missing[0].name, u"kept");
}

TEST(ButtonPositions, RecordsBeyondTheFileKeepTheirContent) {
    ButtonPosTable before{};
    before[1].name = u"kept";
    ButtonPosTable t = LoadInto(Keys("<key name=\"first\"/>"), before);
    EXPECT_EQ(t[0].name, u"first");
    EXPECT_EQ(t[1].name, u"kept");
}

TEST(ButtonPositions, KeysAfterThe108thAreIgnored) {
    std::string keys;
    for (int i = 0; i < 120; ++i)
        keys += "<key name=\"k" + std::to_string(i) + "\" vkcode=\"" + std::to_string(i % 10) + "\"/>";
    ButtonPosTable t = LoadInto(Keys(keys));
    EXPECT_EQ(t[0].name, u"k0");
    EXPECT_EQ(t[107].name, u"k107");
    EXPECT_EQ(t[107].vkcode, 7);
}

TEST(ButtonPositions, ProcessWideTable) {
    ScratchFile file(Keys("<key name=\"Space\" vkcode=\"20\"/>"), "ButtonPos.xml");
    LoadButtonPositions(file.Path());
    EXPECT_EQ(g_buttonPosTable[0].name, u"Space");
    EXPECT_EQ(g_buttonPosTable[0].vkcode, 0x20);
    g_buttonPosTable = {};
}

}  // namespace
