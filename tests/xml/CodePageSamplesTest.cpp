// The native converter's results for the shared byte samples, kept in data/ so that
// the Windows test can hold the system's conversion against them. Run with
// K7_UPDATE_TEST_DATA=1 to rewrite the file after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "CodePageSamples.h"
#include "xml/CodePageConversion.h"

namespace {

std::vector<std::string> NativeResults() {
    std::vector<std::string> lines;
    const auto samples = SampleBytes();
    for (std::uint32_t cp : TableCodePages()) {
        for (const auto& bytes : samples) {
            CodePageSample s{cp, bytes, {}};
            if (!ConvertFromCodePage(cp, bytes, s.text)) break;  // iconv does not know this code page
            lines.push_back(FormatSample(s));
        }
    }
    return lines;
}

TEST(CodePageSamples, MatchTheCommittedResults) {
    const std::string path = std::string(K7_XML_TEST_DATA) + "/" + kSamplesFile;
    std::vector<std::string> lines = NativeResults();
    ASSERT_GT(lines.size(), 10000u);
    if (std::getenv("K7_UPDATE_TEST_DATA")) {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& line : lines) out << line << '\n';
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::size_t i = 0;
    for (std::string line; std::getline(in, line); ++i) {
        ASSERT_LT(i, lines.size());
        ASSERT_EQ(line, lines[i]) << "line " << i + 1;
        CodePageSample s;
        ASSERT_TRUE(ParseSample(line, s));
        EXPECT_EQ(FormatSample(s), line);
    }
    EXPECT_EQ(i, lines.size());
}

TEST(CodePageConversion, DefaultAnsiIsWindows1252) {
    const std::uint8_t bytes[] = {0x80, 0xE9, 'a'};
    std::u16string out;
    ASSERT_TRUE(ConvertFromCodePage(kCodePageDefaultAnsi, bytes, out));
    EXPECT_EQ(out, u"\u20AC\u00E9a");
}

TEST(CodePageConversion, UnknownCodePagesAndBadBytes) {
    const std::uint8_t bytes[] = {'a'};
    std::u16string out = u"kept";
    EXPECT_FALSE(ConvertFromCodePage(1200, bytes, out));  // UTF-16 is not a byte code page
    EXPECT_FALSE(ConvertFromCodePage(12345, bytes, out));
    EXPECT_EQ(out, u"kept");
    // A byte that starts no character becomes U+FFFD, and conversion goes on.
    const std::uint8_t utf8[] = {'a', 0xFF, 'b', 0xC3};
    out.clear();
    ASSERT_TRUE(ConvertFromCodePage(kCodePageUtf8, utf8, out));
    EXPECT_EQ(out, u"a\uFFFDb\uFFFD");
    // One U+FFFD per maximal ill-formed part, as Windows converts.
    const std::uint8_t ill[] = {0xE0, 0x80, 0xF0, 0x9F, 0x98, 'x',  0xED, 0xA0,
                                0x80, 0xF4, 0x90, 0xC0, 0xF0, 0x9F, 0x98};
    out.clear();
    ASSERT_TRUE(ConvertFromCodePage(kCodePageUtf8, ill, out));
    EXPECT_EQ(out, u"\uFFFD\uFFFD\uFFFDx\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    const std::uint8_t good[] = {0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF};
    out.clear();
    ASSERT_TRUE(ConvertFromCodePage(kCodePageUtf8, good, out));
    EXPECT_EQ(out, u"\u00E9\u20AC\xD83D\xDE00\xDBFF\xDFFF");
    // Stateful encodings end in their initial state.
    const std::uint8_t jis[] = {0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'x'};
    out.clear();
    ASSERT_TRUE(ConvertFromCodePage(50220, jis, out));
    EXPECT_EQ(out, u"\u3042x");
}

}  // namespace
