#include <gtest/gtest.h>

#include "xml/Utf8Text.h"

namespace {

TEST(Utf8Text, RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00E9\u20AC\xD83D\xDE00\xDBFF\xDFFF";
    const std::string utf8 = Utf8FromUtf16(text);
    EXPECT_EQ(utf8, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf16FromUtf8(utf8), text);
}

// File names and JSON must never receive ill-formed UTF-8.
TEST(Utf8Text, WhatNoCharacterIsBecomesTheReplacementCharacter) {
    EXPECT_EQ(Utf8FromUtf16(u"\xD800x\xDC00\xDC00\xD800"), "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    std::string out;
    AppendUtf8(out, 0xDFFF);
    AppendUtf8(out, 0x110000);
    AppendUtf8(out, 0x10FFFF);
    EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF" "b\xE2\x82"), u"\uFFFD\uFFFDb\uFFFD");
}

}  // namespace
