#include <gtest/gtest.h>

#include "TestText.h"
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
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"
                            "b\xE2\x82"),
              u"\uFFFD\uFFFDb\uFFFD");
}

// ASCII goes sixteen bytes at a time: every sequence, well-formed or not, at every
// place around such a run reads as it reads alone.
TEST(Utf8Text, SequencesAtEveryPlaceAroundAsciiRuns) {
    for (std::string_view sequence :
         {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xC3", "\xE2\x82", "\xFF", "\xED\xA0\x80"}) {
        const std::u16string alone = Utf16FromUtf8(sequence);
        for (std::size_t before = 0; before < 40; ++before) {
            const std::string ascii(before, 'a');
            const std::string text = ascii + std::string(sequence) + ascii + "z";
            EXPECT_EQ(Utf16FromUtf8(text), U16(ascii) + alone + U16(ascii) + u"z") << before;
        }
    }
    // Longer than the conversion's buffer.
    const std::string big = std::string(10000, 'b') + "\xC3\xA9" + std::string(10000, 'c');
    EXPECT_EQ(Utf16FromUtf8(big), std::u16string(10000, u'b') + u"\u00E9" + std::u16string(10000, u'c'));
}

}  // namespace
