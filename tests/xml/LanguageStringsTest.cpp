// The language strings: where the loader finds its keys, and the process-wide strings.
#include <gtest/gtest.h>

#include <set>

#include "TestText.h"
#include "xml/LanguageStrings.h"

namespace {

class LanguageStrings : public ::testing::Test {
protected:
    void Load(std::string_view content) {
        ScratchFile file(content, "language.xml");
        LoadLanguageStrings(file.Path());
    }
    void TearDown() override {
        for (const LanguageKey& k : LanguageKeys()) k.text->clear();
    }
    static std::size_t Filled() {
        std::size_t n = 0;
        for (const LanguageKey& k : LanguageKeys()) n += !k.text->empty();
        return n;
    }
};

TEST_F(LanguageStrings, TheKeysInTheirOrder) {
    std::set<std::u16string_view> names;
    for (const LanguageKey& k : LanguageKeys()) names.insert(k.key);
    EXPECT_EQ(names.size(), 58u);
    EXPECT_EQ(LanguageKeys()[0].key, u"str_title");
    EXPECT_EQ(LanguageKeys()[0].text, &str_title);
    EXPECT_EQ(LanguageKeys()[40].key, u"str_exit");
    EXPECT_EQ(LanguageKeys()[41].text, &str_config);
    EXPECT_EQ(LanguageKeys()[46].text, &str_msg4);
    EXPECT_EQ(LanguageKeys()[57].key, u"str_newcombo");
}

TEST_F(LanguageStrings, KeysUnderConfig) {
    Load(
        "<language><other><str_title>no</str_title></other>"
        "<config><str_title>K7 &amp; co</str_title><str_exit> Exit </str_exit>"
        "<str_exit>second</str_exit><str_msg4><b>bold</b></str_msg4></config></language>");
    EXPECT_EQ(str_title, u"K7 & co");
    EXPECT_EQ(str_exit, u" Exit ");  // the first occurrence, untrimmed
    EXPECT_EQ(str_msg4, u"");        // a key with child elements has no text
    EXPECT_EQ(Filled(), 2u);
}

TEST_F(LanguageStrings, OnlyTitle) {
    Load("<l><config><str_title>Title</str_title></config></l>");
    EXPECT_EQ(str_title, u"Title");
    EXPECT_EQ(Filled(), 1u);
}

TEST_F(LanguageStrings, ShapesWithoutKeys) {
    Load("<config><str_title>Title</str_title></config>");
    EXPECT_EQ(Filled(), 0u);
    Load("<l><config str_title=\"Title\"/></l>");
    EXPECT_EQ(Filled(), 0u);
    Load("<l><str_title>Title</str_title></l>");
    EXPECT_EQ(Filled(), 0u);
}

TEST_F(LanguageStrings, NestedConfigIsSearchedWhenTheKeyIsMissing) {
    Load("<l><config><str_exit>Exit</str_exit><config><str_title>Inner</str_title></config></config></l>");
    EXPECT_EQ(str_exit, u"Exit");
    EXPECT_EQ(str_title, u"Inner");
    EXPECT_EQ(GetConfigText(u"config", u"str_none"), u"");
}

TEST_F(LanguageStrings, MissingFileEmptiesEverything) {
    Load("<l><config><str_title>Title</str_title></config></l>");
    LoadLanguageStrings(u"/nonexistent/language.xml");
    EXPECT_EQ(Filled(), 0u);
}

TEST_F(LanguageStrings, ADocumentWithErrorsIsStillRead) {
    Load("<l><config><str_title>Title</str_title></config></l><extra/>");
    EXPECT_EQ(str_title, u"Title");
}

}  // namespace
