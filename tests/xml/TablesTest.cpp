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
            if (std::regex_search(text, m, line)) entities[m[1]] = static_cast<std::uint32_t>(std::stoul(m[2]));
        }
    }
    return entities;
}

std::u16string CodePointText(std::uint32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    return {static_cast<char16_t>(((c - 0x10000) >> 10) | 0xD800), static_cast<char16_t>((c & 0x3FF) | 0xDC00)};
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
    for (const auto& [name, code] : expected) fromSets.insert({Lower(name), code});
    for (const NamedValue& e : g_entityTable.Entries()) fromTable.insert({U8(e.name), e.value});
    EXPECT_EQ(fromTable, fromSets);
}

TEST(EntityTable, BucketsAndCasePairs) {
    // lower-case name -> the names of the sets that share it
    std::map<std::string, std::vector<std::string>> byLower;
    auto sets = Html401Entities();
    for (const auto& [name, code] : sets) byLower[Lower(name)].push_back(name);

    std::size_t total = 0, pairs = 0;
    for (std::size_t b = 0; b < EntityTable::kBuckets; ++b) {
        auto bucket = g_entityTable.Bucket(b);
        total += bucket.size();
        for (std::size_t i = 0; i < bucket.size(); ++i) {
            EXPECT_EQ(EntityTable::BucketOf(bucket[i].name), b);
            if (i + 1 == bucket.size() || bucket[i + 1].name != bucket[i].name) continue;
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

// The character-set names by code page, as the table is written down.
const struct {
    std::uint32_t codePage;
    const char16_t* names;  // separated by ", "
} kCharsetRows[] = {
    {37, u"ebcdic-cp-us"},
    {420, u"x-ebcdic-arabic"},
    {437, u"437, ibm437, cspc8, cp437, codepage437"},
    {708, u"asmo-708"},
    {720, u"dos-720"},
    {737, u"ibm737"},
    {775, u"ibm775, cp500"},
    {850, u"ibm850"},
    {852, u"ibm852, cp852"},
    {857, u"ibm857"},
    {861, u"ibm861"},
    {862, u"dos-862"},
    {866, u"ibm866, cp866"},
    {869, u"ibm869"},
    {870, u"cp870"},
    {874, u"tis-620, dos-874, windows-874, iso-8859-11"},
    {875, u"x-ebcdic-greekmodern"},
    {932, u"x-sjis, shift-jis, csshiftjis, x-ms-cp932, shift_jis, ms_kanji, cswindows31j"},
    {936,
     u"cn-gb, gbk, csgb2312, gb_2312-80, gb231280, gb2312-80, gb2312, csiso58gb231280, "
     u"csgb231280, chinese, iso-ir-58"},
    {949,
     u"ksc_5601, korean, iso-ir-149, csksc56011987, ksc5601, ks_c_5601-1987, "
     u"ks_c_5601-1989, ks_c_5601, ks_c_5601_1987, euc-kr"},
    {950, u"cn-big5, big5, x-x-big5, csbig5"},
    {1026, u"cp1026"},
    {1140, u"x-ebcdic-cp-us-euro"},
    {1142, u"x-ebcdic-denmarknorway-euro"},
    {1143, u"x-ebcdic-france, x-ebcdic-germany-euro, x-ebcdic-finlandsweden-euro"},
    {1144, u"x-ebcdic-italy-euro"},
    {1145, u"x-ebcdic-spain-euro"},
    {1146, u"x-ebcdic-uk-euro"},
    {1147, u"x-ebcdic-france-euro"},
    {1148, u"x-ebcdic-international-euro"},
    {1149, u"x-ebcdic-icelandic-euro"},
    {1200, u"utf-16, unicode"},
    {1201, u"unicodefffe"},
    {1250, u"windows-1250, x-cp1250"},
    {1251, u"windows-1251, x-cp1251"},
    {1252, u"us, iso-ir-6, windows-1252, x-ansi"},
    {1253, u"windows-1253"},
    {1254, u"windows-1254"},
    {1255, u"windows-1255, iso_8859-8-i"},
    {1256, u"cp1256, windows-1256"},
    {1257, u"windows-1257"},
    {1258, u"windows-1258"},
    {1361, u"johab"},
    {10000, u"macintosh"},
    {10001, u"x-mac-japanese"},
    {10002, u"x-mac-chinesetrad"},
    {10003, u"x-mac-korean"},
    {10004, u"x-mac-arabic"},
    {10005, u"x-mac-hebrew"},
    {10006, u"x-mac-greek"},
    {10007, u"x-mac-cyrillic"},
    {10008, u"x-mac-chinesesimp"},
    {10029, u"x-mac-ce"},
    {10079, u"x-mac-icelandic"},
    {10081, u"x-mac-turkish"},
    {20000, u"x-chinese-cns"},
    {20002, u"x-chinese-eten"},
    {20105, u"x-ia5"},
    {20106, u"x-ia5-german"},
    {20107, u"x-ia5-swedish"},
    {20108, u"x-ia5-norwegian"},
    {20127,
     u"ansi_x3.4-1968, ansi_x3.4-1986, iso646-us, ibm367, iso-ir-6us, "
     u"iso_646.irv:1991, us-ascii, ascii, cp367, csascii"},
    {20273, u"x-ebcdic-germany"},
    {20277, u"x-ebcdic-denmarknorway"},
    {20278, u"x-ebcdic-finlandsweden"},
    {20280, u"x-ebcdic-italy"},
    {20284, u"x-ebcdic-spain"},
    {20285, u"x-ebcdic-uk"},
    {20290, u"x-ebcdic-japanesekatakana"},
    {20423, u"x-ebcdic-greek"},
    {20424, u"x-ebcdic-hebrew"},
    {20833, u"x-ebcdic-koreanextended"},
    {20838, u"x-ebcdic-thai"},
    {20866, u"koi, koi8r, koi8, koi8-r, cskoi8r"},
    {20873, u"x-ebcdic-icelandic"},
    {20880, u"x-ebcdic-cyrillicrussian"},
    {20905, u"x-ebcdic-turkish"},
    {21025, u"x-ebcdic-cyrillicserbianbulgarian"},
    {21866, u"koi8-ru, koi8-u"},
    {28591, u"l1, ibm819, iso-ir-100, iso8859-1, cp819, iso-8859-1, iso_8859-1:1987, latin1, iso_8859-1"},
    {28592, u"l2, iso-ir-101, iso8859-2, csisolatin2, iso-8859-2, iso_8859-2:1987, latin2, iso_8859-2"},
    {28593, u"l3, iso-ir-109, iso-8859-3, csiso, iso_8859-3:1988, latin3, iso_8859-3"},
    {28594, u"l4, iso-ir-110, csisolatin4, iso-8859-4, iso_8859-4:1988, latin4, iso_8859-4"},
    {28595, u"l5, iso-ir-144, csisolatin5, iso-8859-5, cyrillic, iso_8859-5:1988, csisolatincyrillic, iso_8859-5"},
    {28596, u"ecma-114, arabic, csisolatinarabic, iso-ir-127, iso-8859-6, iso_8859-6:1987, iso_8859-6"},
    {28597,
     u"ecma-118, iso-ir-126, greek, elot_928, iso-8859-7, csisolatingreek, "
     u"iso_8859-7:1987, greek8, iso_8859-7"},
    {28598, u"hebrew, iso-ir-138, visual, csisolatinhebrew, iso-8859-8, iso_8859-8:1988, iso_8859-8"},
    {28599, u"iso_8859-9, iso-ir-148, iso-8859-9, iso_8859-9:1989, latin5"},
    {28605, u"l9, iso_8859-15, latin9, iso-8859-15"},
    {29001, u"x-europa"},
    {38598, u"iso-8859-8-i, logical"},
    {50220, u"iso-2022-jp"},
    {50221, u"_iso-2022-jp, csiso2022jp"},
    {50222, u"_iso-2022-jp$sio"},
    {50225, u"csiso2022kr, iso-2022-kr"},
    {50930, u"x-ebcdic-japaneseandkana"},
    {50933, u"x-ebcdic-japaneseanduscanada, x-ebcdic-koreanandkoreanextended"},
    {50935, u"x-ebcdic-simplifiedchinese"},
    {50937, u"x-ebcdic-traditionalchinese"},
    {50939, u"x-ebcdic-japaneseandjapaneselatin"},
    {51932, u"x-euc, extended_unix_code_packed_format_for_japanese, cseucpkdfmtjapanese, euc-jp, x-euc-jp"},
    {51936, u"euc-cn, x-euc-cn"},
    {51949, u"cseuckr"},
    {52936, u"hz-gb-2312"},
    {57002, u"x-iscii-de"},
    {57003, u"x-iscii-be"},
    {57004, u"x-iscii-ta"},
    {57005, u"x-iscii-te"},
    {57006, u"x-iscii-as"},
    {57007, u"x-iscii-or"},
    {57008, u"x-iscii-ka"},
    {57009, u"x-iscii-ma"},
    {57010, u"x-iscii-gu"},
    {57011, u"x-iscii-pa"},
    {65000, u"unicode-1-1-utf-7, x-unicode-2-0-utf-7, csunicode11utf7, utf-7"},
    {65001, u"unicode-1-1-utf-8, unicode-2-0-utf-8, x-unicode-2-0-utf-8, utf-8"},
};

TEST(CharsetTable, EveryNameWithItsCodePageAsWrittenDown) {
    std::multiset<std::pair<std::u16string, std::uint32_t>> expected, actual;
    for (const auto& row : kCharsetRows) {
        const std::u16string_view names = row.names;
        for (std::size_t at = 0; at <= names.size();) {
            const std::size_t end = std::min(names.find(u", ", at), names.size());
            expected.insert({std::u16string(names.substr(at, end - at)), row.codePage});
            at = end + 2;
        }
    }
    ASSERT_EQ(expected.size(), 254u);
    for (const NamedValue& e : CharsetNames()) actual.insert({std::u16string(e.name), e.value});
    EXPECT_EQ(actual, expected);
    for (const auto& [name, codePage] : expected) EXPECT_EQ(CodePageForCharset(name), codePage) << U8(name);
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
