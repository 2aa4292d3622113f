// The system's MultiByteToWideChar against the native iconv results kept in data/:
// every sample must convert alike, unless the difference is listed with its reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "../CodePageSamples.h"
#include "xml/CodePageConversion.h"

namespace {

const std::string kData = K7_XML_TEST_DATA;

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    CodePageSample s{0, bytes, {}};
    std::string line = FormatSample(s);
    return line.substr(2, line.size() - 3);  // between "0\t" and the final tab
}

std::string Units(const std::u16string& text) {
    CodePageSample s{0, {}, text};
    return FormatSample(s).substr(3);
}

// "<code page>\t<bytes in hex, or *>\t<reason>" per line; "#" starts a comment.
struct Difference {
    std::string reason;
    bool seen = false;
};

std::map<std::pair<std::uint32_t, std::string>, Difference> ReadDifferences() {
    std::map<std::pair<std::uint32_t, std::string>, Difference> listed;
    std::ifstream in(kData + "/" + kDifferencesFile, std::ios::binary);
    EXPECT_TRUE(in) << kDifferencesFile;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string cp, bytes, reason;
        std::getline(fields, cp, '\t');
        std::getline(fields, bytes, '\t');
        std::getline(fields, reason);
        EXPECT_FALSE(reason.empty()) << line;
        listed[{static_cast<std::uint32_t>(std::stoul(cp)), bytes}] = {reason};
    }
    return listed;
}

TEST(CodePageCrossCheck, SystemConversionMatchesTheNativeOne) {
    auto listed = ReadDifferences();
    std::ifstream in(kData + "/" + kSamplesFile, std::ios::binary);
    ASSERT_TRUE(in);
    std::set<std::uint32_t> compared, unknown;
    std::size_t samples = 0, unlisted = 0;
    for (std::string line; std::getline(in, line);) {
        CodePageSample s;
        ASSERT_TRUE(ParseSample(line, s)) << line;
        ++samples;
        if (!IsValidCodePage(s.codePage)) {
            unknown.insert(s.codePage);
            continue;
        }
        compared.insert(s.codePage);
        std::u16string system;
        EXPECT_TRUE(ConvertFromCodePage(s.codePage, s.bytes, system)) << line;
        if (system == s.text) continue;
        auto whole = listed.find({s.codePage, "*"});
        auto exact = listed.find({s.codePage, Hex(s.bytes)});
        if (exact != listed.end()) {
            exact->second.seen = true;
        } else if (whole != listed.end()) {
            whole->second.seen = true;
        } else if (++unlisted <= 200) {
            ADD_FAILURE() << s.codePage << "\t" << Hex(s.bytes) << "\tnative " << Units(s.text) << " system "
                          << Units(system);
        }
    }
    EXPECT_EQ(unlisted, 0u);
    // A code page that the system does not know must be listed as a whole.
    for (std::uint32_t cp : unknown) {
        auto it = listed.find({cp, "*"});
        EXPECT_TRUE(it != listed.end()) << cp << " is not known to the system converter";
        if (it != listed.end()) it->second.seen = true;
    }
    for (const auto& [key, diff] : listed)
        if (!diff.seen) std::printf("listed but not seen: %u %s\n", key.first, key.second.c_str());
    std::printf("%zu samples, %zu code pages compared, %zu not known to the system\n", samples, compared.size(),
                unknown.size());
}

}  // namespace
