#include "JsonPositions.h"

#include <gtest/gtest.h>

#include <string>

TEST(JsonPositions, MapsPointersToNamesAndValues) {
    const std::string text = "{\n  \"a\": [1, {\"b~/c\": \"x\\\"y\"}],\n  \"\\u00e9\": true\n}";
    const JsonPositions pos(text);
    EXPECT_EQ(pos.Value(""), (TextPosition{1, 1}));
    EXPECT_EQ(pos.Name("/a"), (TextPosition{2, 3}));
    EXPECT_EQ(pos.Value("/a"), (TextPosition{2, 8}));
    EXPECT_EQ(pos.Value("/a/0"), (TextPosition{2, 9}));
    EXPECT_EQ(pos.Name("/a/1/b~0~1c"), (TextPosition{2, 13}));
    EXPECT_EQ(pos.Value("/a/1/b~0~1c"), (TextPosition{2, 21}));
    EXPECT_EQ(pos.Value("/\xC3\xA9"), (TextPosition{3, 13}));
    EXPECT_EQ(pos.Value("/missing"), (TextPosition{1, 1}));
    EXPECT_TRUE(pos.Duplicates().empty());
}

TEST(JsonPositions, ReportsRepeatedMembersAtTheirSecondName) {
    const JsonPositions pos("{\"a\": 1, \"b\": {\"c\": 1, \"c\": 2}, \"a\": 3}");
    ASSERT_EQ(pos.Duplicates().size(), 2u);
    EXPECT_EQ(pos.Duplicates()[0].pointer, "/b/c");
    EXPECT_EQ(pos.Duplicates()[0].name, (TextPosition{1, 24}));
    EXPECT_EQ(pos.Duplicates()[1].pointer, "/a");
}

TEST(JsonPositions, DeepNestingAndBrokenTextStayBounded) {
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    const JsonPositions pos(deep);
    EXPECT_EQ(pos.Value("/0/0/0/0/0/0/0/0"), (TextPosition{1, 9}));
    EXPECT_EQ(pos.Value("/0/0/0/0/0/0/0/0/0"), (TextPosition{1, 1}));  // beyond the indexed depth
    for (const char* broken : {"{\"a\"", "{\"a\": [1,", "\"\\u12", "{\"\\", "[}", "{1: 2}", "]]]"})
        JsonPositions{broken};
}
