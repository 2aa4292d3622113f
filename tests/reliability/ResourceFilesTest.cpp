// The two files beside the agent missing, empty, in UTF-16 big-endian, in a declared code
// page or of random bytes: start-up and applies go on, with defaults where the files say
// nothing (a layout that lists no keys gives default settings that all name virtual key 0,
// so the keyboard keeps its own table), and the keyboard still gets only whole requests and
// tables of known origin.
#include "AgentRig.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The file's text (UTF-8, with its declaration) as UTF-16 big-endian with a byte-order mark.
std::string Utf16Be(const std::string& utf8) {
    std::u16string text;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;  // the shipped files hold no 4-byte characters
        char32_t v = n == 1 ? c : n == 2 ? (c & 0x1F) : (c & 0x0F);
        for (int k = 1; k < n; ++k) v = (v << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        text.push_back(static_cast<char16_t>(v));
        i += n;
    }
    std::string out = "\xFE\xFF";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

struct Variant {
    const char* name;
    std::string (*content)(const std::string& shipped);  // nullptr: no file
};

const Variant kVariants[] = {
    {"missing", nullptr},
    {"empty", [](const std::string&) { return std::string(); }},
    {"UTF-16 big-endian", [](const std::string& s) { return Utf16Be(s); }},
    {"declared code page",
     [](const std::string& s) {
         std::string t = s;
         const auto at = t.find("encoding=\"");
         if (at != std::string::npos) t.replace(at, t.find('"', at + 10) - at + 1, "encoding=\"windows-1252\"");
         return t + "\x80\xFF";
     }},
    {"random bytes",
     [](const std::string& s) {
         std::mt19937 random(7);
         std::string t(s.size(), '\0');
         for (char& c : t) c = static_cast<char>(random());
         return t;
     }},
};

class ResourceFiles : public testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(ResourceFiles, StartAndApplyGoOn) {
    const std::string file = std::get<0>(GetParam());
    const Variant& variant = kVariants[std::get<1>(GetParam())];
    const fs::path res = K7_RES_DIR_NARROW;
    const fs::path dir = fs::temp_directory_path() /
                         ("k7-resource-files-" + std::to_string(::getpid()) + "-" + file + "-" + variant.name);
    fs::create_directories(dir);
    for (const char* name : {"ButtonPos.xml", "language.xml"}) {
        fs::remove(dir / name);
        if (name != file)
            fs::copy_file(res / name, dir / name);
        else if (variant.content)
            std::ofstream(dir / name, std::ios::binary) << variant.content(ReadAll(res / name));
    }

    LoadLanguageStrings((dir / "language.xml").u16string());
    auto rig = std::make_unique<Rig>();
    rig->registry.RemoveKey(kSettingsKeyPath);  // the defaults come from the layout file
    rig->desktop.m_modulePath = (dir / "K7_Setting.exe").u16string();
    rig->Create();
    rig->Send(WM_APPLY_SETTINGS);
    rig->Send(WM_APPLY_SETTINGS);
    ExpectOnlyKnownTables(*rig, true, file + " " + variant.name);
    EXPECT_EQ(rig->faulty.m_written.size(), 2u);
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(All, ResourceFiles,
                         testing::Combine(testing::Values("ButtonPos.xml", "language.xml"), testing::Range(0, 5)));

}  // namespace
