// The named-entity table against the HTML 4.01 entity sets, and the table of
// character-set names.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "TestText.h"
#include "xml/CharsetTable.h"
#include "xml/EntityTable.h"
#include "xml/XmlDocument.h"

namespace {

// name -> code point, from Debian's sgml-data copies of the HTML 4.01 sets.
std::map<std::string, std::uint32_t> Html401Entities() {
    std::map<std::string, std::uint32_t> entities;
    const std::regex line(R"(<!ENTITY\s+(\w+)\s+CDATA\s+"&#(\d+);")");
    for (const char* set : {"HTMLlat1", "HTMLsymbol", "HTMLspecial"}) {
        std::ifstream in(std::string("/usr/share/sgml/html/entities/") + set + ".ent");
        EXPECT_TRUE(in) << set;
        for (std::string text; std::getline(in, text);) {
            std::smatch m;
            if (std::regex_search(text, m, line))
                entities[m[1]] = static_cast<std::uint32_t>(std::stoul(m[2]));
        }
    }
    return entities;
}

std::u16string CodePointText(std::uint32_t c) {
    if (c < 0x10000)
        return std::u16string(1, static_cast<char16_t>(c));
    return {static_cast<char16_t>(((c - 0x10000) >> 10) | 0xD800), static_cast<char16_t>((c & 0x3FF) | 0xDC00)};
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(EntityTable, HoldsTheHtml401SetsAndApos) {
    auto expected = Html401Entities();
    ASSERT_EQ(expected.size(), 252u);
    expected["apos"] = 0x27;
    ASSERT_EQ(g_entityTable.Entries().size(), expected.size());

    // Every name, written as the sets write it, gives its character.
    for (const auto& [name, code] : expected)
        EXPECT_EQ(XmlDocument::DecodeEntities(U16("&" + name + ";")), CodePointText(code)) << name;

    // Every entry is one of them, under its lower-case name.
    std::multiset<std::pair<std::string, std::uint32_t>> fromSets, fromTable;
    for (const auto& [name, code] : expected)
        fromSets.insert({Lower(name), code});
    for (const NamedValue& e : g_entityTable.Entries())
        fromTable.insert({U8(e.name), e.value});
    EXPECT_EQ(fromTable, fromSets);
}

TEST(EntityTable, BucketsAndCasePairs) {
    // lower-case name -> the names of the sets that share it
    std::map<std::string, std::vector<std::string>> byLower;
    auto sets = Html401Entities();
    for (const auto& [name, code] : sets)
        byLower[Lower(name)].push_back(name);

    std::size_t total = 0, pairs = 0;
    for (std::size_t b = 0; b < EntityTable::kBuckets; ++b) {
        auto bucket = g_entityTable.Bucket(b);
        total += bucket.size();
        for (std::size_t i = 0; i < bucket.size(); ++i) {
            EXPECT_EQ(EntityTable::BucketOf(bucket[i].name), b);
            if (i + 1 == bucket.size() || bucket[i + 1].name != bucket[i].name)
                continue;
            // Two entries for one lower-case name: the capital variant first.
            ++pairs;
            std::string small = U8(bucket[i].name);
            ASSERT_EQ(byLower[small].size(), 2u) << small;
            std::string capital = byLower[small][0] == small ? byLower[small][1] : byLower[small][0];
            EXPECT_EQ(bucket[i].value, sets[capital]) << capital;
            EXPECT_EQ(bucket[i + 1].value, sets[small]) << small;
        }
    }
    EXPECT_EQ(total, kEntityCount);
    EXPECT_EQ(pairs, 64u);
}

TEST(CharsetTable, NamesAndCodePages) {
    std::set<std::u16string_view> names;
    std::set<std::uint32_t> codePages;
    for (const NamedValue& e : CharsetNames()) {
        names.insert(e.name);
        codePages.insert(e.value);
    }
    EXPECT_EQ(CharsetNames().size(), kCharsetNameCount);
    EXPECT_EQ(names.size(), 254u);
    EXPECT_EQ(codePages.size(), 116u);
}

TEST(CharsetTable, Lookups) {
    EXPECT_EQ(CodePageForCharset(u""), 0u);
    EXPECT_EQ(CodePageForCharset(u"windows-1252"), 1252u);
    EXPECT_EQ(CodePageForCharset(u"Windows-1252"), 1252u);
    EXPECT_EQ(CodePageForCharset(u"437"), 437u);
    EXPECT_EQ(CodePageForCharset(u"Shift_JIS"), 932u);
    EXPECT_EQ(CodePageForCharset(u"ISO_646.IRV:1991"), 20127u);
    EXPECT_EQ(CodePageForCharset(u"_iso-2022-jp$SIO"), 50222u);
    EXPECT_EQ(CodePageForCharset(u"extended_unix_code_packed_format_for_japanese"), 51932u);
    // The rows as the table has them.
    EXPECT_EQ(CodePageForCharset(u"cp500"), 775u);
    EXPECT_EQ(CodePageForCharset(u"x-ebcdic-france"), 1143u);
    EXPECT_EQ(CodePageForCharset(u"iso_8859-8-i"), 1255u);
    EXPECT_EQ(CodePageForCharset(u"iso-8859-8-i"), 38598u);
    EXPECT_EQ(CodePageForCharset(u"csiso"), 28593u);
    // 32-bit text by an exact-case prefix only.
    EXPECT_EQ(CodePageForCharset(u"UTF-32"), kCodePageUtf32);
    EXPECT_EQ(CodePageForCharset(u"UTF-32BE"), kCodePageUtf32);
    EXPECT_EQ(CodePageForCharset(u"utf-32"), std::nullopt);
    // Near misses.
    EXPECT_EQ(CodePageForCharset(u"utf-8 "), std::nullopt);
    EXPECT_EQ(CodePageForCharset(u"utf8"), std::nullopt);
    EXPECT_EQ(CodePageForCharset(u"\u0130so-8859-1"), std::nullopt);  // only A-Z are lower-cased
    EXPECT_EQ(CodePageForCharset(std::u16string(99, u'a')), std::nullopt);
    EXPECT_EQ(CodePageForCharset(u"utf-8" + std::u16string(95, u' ')), std::nullopt);
}

}  // namespace
