// The shipped translations hold exactly the English file's keys, each with a text, and decode
// to their own words (the Chinese one from its declared GB2312); the program finds the
// language files beside it and marks the one in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "config/ConfigTexts.h"
#include "config/LanguageFiles.h"
#include "xml/LanguageStrings.h"
#include "xml/XmlDocument.h"

namespace {

namespace fs = std::filesystem;

const fs::path kResources = K7_RES_DIR;
constexpr const char* kTranslations[] = {"language.de.xml", "language.zh-CN.xml"};

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Every child element of `config` with its text, and how often each key occurs.
struct FileKeys {
    std::map<std::string, int> count;
    std::vector<std::string> empty;
};

FileKeys KeysOf(const fs::path& path) {
    XmlDocument document;
    EXPECT_TRUE(document.LoadFile(path.u16string())) << path << ": " << Narrow(document.StatusText());
    const auto& elements = document.Elements();
    const std::u16string& text = document.DocumentText();
    const auto name = [&](std::uint32_t e) {
        const std::size_t from = elements[e].start + 1;
        return std::u16string(text.substr(from, text.find_first_of(u" \t\r\n/>", from) - from));
    };
    FileKeys keys;
    for (std::uint32_t e = 1; e < elements.size(); ++e) {
        if (name(e) != u"config") continue;
        for (std::uint32_t k = elements[e].firstChild; k != 0; k = elements[k].nextSibling) {
            const std::string key = Narrow(name(k));
            ++keys.count[key];
            if (GetConfigText(document, u"config", name(k)).empty()) keys.empty.push_back(key);
        }
        break;
    }
    return keys;
}

TEST(LanguageFiles, EveryTranslationHoldsExactlyTheEnglishKeysEachWithAText) {
    const FileKeys english = KeysOf(kResources / "language.xml");
    for (const LanguageKey& key : LanguageKeys())
        EXPECT_EQ(english.count.count(Narrow(key.key)), 1u) << "the English file lacks " << Narrow(key.key);
    EXPECT_TRUE(english.empty.empty()) << "empty in English: " << english.empty.front();
    for (const char* file : kTranslations) {
        const FileKeys translated = KeysOf(kResources / file);
        for (const auto& [key, n] : english.count)
            EXPECT_EQ(translated.count.count(key), 1u) << file << " lacks " << key;
        for (const auto& [key, n] : translated.count) {
            EXPECT_EQ(english.count.count(key), 1u) << file << " has " << key << ", which the English file has not";
            EXPECT_EQ(n, 1) << file << " has " << key << " " << n << " times";
        }
        for (const std::string& key : translated.empty) ADD_FAILURE() << file << ": " << key << " is empty";
    }
}

TEST(LanguageFiles, EachFileDecodesToItsOwnWords) {
    struct Expected {
        const char* file;
        const char* status;  // how the reader took the file
        std::u16string_view title, next, menu, name;
    };
    const Expected expected[] = {
        {"language.xml", "utf-8 ", u"K7 Gaming Keyboard", u"Next track", u"&Language", u"English"},
        {"language.de.xml", "utf-8 ", u"K7 Gaming-Tastatur", u"N\u00e4chster Titel", u"&Sprache", u"Deutsch"},
        // Declared as GB2312, converted from code page 936.
        {"language.zh-CN.xml", "gb2312 ", u"K7 \u6e38\u620f\u952e\u76d8", u"\u4e0b\u4e00\u66f2", u"\u8bed\u8a00(&L)",
         u"\u7b80\u4f53\u4e2d\u6587"},
    };
    for (const Expected& e : expected) {
        XmlDocument document;
        ASSERT_TRUE(document.LoadFile((kResources / e.file).u16string())) << e.file;
        EXPECT_EQ(Narrow(document.StatusText()).substr(0, std::string(e.status).size()), e.status) << e.file;
        EXPECT_EQ(GetConfigText(document, u"config", u"str_title"), e.title) << e.file;
        EXPECT_EQ(GetConfigText(document, u"config", u"str_next"), e.next) << e.file;
        EXPECT_EQ(GetConfigText(document, u"config", u"cfg_menu_language"), e.menu) << e.file;
        EXPECT_EQ(GetConfigText(document, u"config", u"cfg_language_name"), e.name) << e.file;
    }
}

TEST(LanguageFiles, OnlyLanguageTagFileNamesCount) {
    for (const char16_t* name : {u"language.de.xml", u"language.zh-CN.xml", u"language.en.xml", u"language.1.xml"})
        EXPECT_TRUE(IsLanguageFileName(name)) << Narrow(name);
    for (const char16_t* name :
         {u"language.xml", u"language..xml", u"language.de.xml.bak", u"language.d e.xml", u"language.de.txt",
          u"Language.de.xml", u"languages.de.xml", u"language.de_DE.xml", u"xlanguage.de.xml", u""})
        EXPECT_FALSE(IsLanguageFileName(name)) << Narrow(name);
}

class LanguageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("k7-languages-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    void Write(const char* name, const std::string& content) const {
        std::ofstream(m_folder / name, std::ios::binary) << content;
    }
    void Copy(const char* from, const char* to) const { fs::copy_file(kResources / from, m_folder / to); }
    std::vector<LanguageFile> Found() const { return FindLanguageFiles(m_folder.u16string()); }

    fs::path m_folder;
};

TEST_F(LanguageFolder, FilesByNameEachNamedInItsOwnWordsAndTheOneInPlaceMarked) {
    Copy("language.zh-CN.xml", "language.zh-CN.xml");
    Copy("language.de.xml", "language.de.xml");
    Copy("language.xml", "language.en.xml");
    Copy("language.de.xml", "language.xml");
    Write("language.fr.xml", "<language><config><str_title>K7</str_title></config></language>");  // names nothing
    Write("language.old.xml.bak", "");
    Write("ButtonPos.xml", "<buttons/>");
    fs::create_directory(m_folder / "language.dir.xml");

    const std::vector<LanguageFile> found = Found();
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].fileName, u"language.de.xml");
    EXPECT_EQ(found[0].name, u"Deutsch");
    EXPECT_TRUE(found[0].current);
    EXPECT_EQ(found[1].fileName, u"language.en.xml");
    EXPECT_EQ(found[1].name, u"English");
    EXPECT_FALSE(found[1].current);
    EXPECT_EQ(found[2].fileName, u"language.fr.xml");
    EXPECT_EQ(found[2].name, u"language.fr.xml") << "a file that names no language is named by its file name";
    EXPECT_FALSE(found[2].current);
    EXPECT_EQ(found[3].fileName, u"language.zh-CN.xml");
    EXPECT_EQ(found[3].name, u"\u7b80\u4f53\u4e2d\u6587");
    EXPECT_FALSE(found[3].current);
}

TEST_F(LanguageFolder, WithoutALanguageFileInPlaceNoneIsMarked) {
    Copy("language.de.xml", "language.de.xml");
    Write("language.xx.xml", "");
    Write("language.yy.xml", "");  // two empty files are equal, but an empty language.xml is no language
    Write("language.xml", "");
    for (const LanguageFile& file : Found()) EXPECT_FALSE(file.current) << Narrow(file.fileName);
    fs::remove(m_folder / "language.xml");
    for (const LanguageFile& file : Found()) EXPECT_FALSE(file.current) << Narrow(file.fileName);
    EXPECT_TRUE(FindLanguageFiles((m_folder / "missing").u16string()).empty());
}

TEST(LanguageFiles, EachOutcomeHasItsOwnText) {
    ConfigTexts texts;
    texts.languageSet = u"set";
    texts.languageNoAgent = u"no agent";
    texts.languageNotEnded = u"not ended";
    texts.languageNotStarted = u"not started";
    texts.languageReadOnly = u"read-only";
    texts.languageFailed = u"failed";
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::Changed), u"set");
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::NoAgent), u"no agent");
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::NotEnded), u"not ended");
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::NotStarted), u"not started");
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::ReadOnly), u"read-only");
    EXPECT_EQ(LanguageOutcomeText(texts, LanguageOutcome::Failed), u"failed");
    EXPECT_FALSE(LanguageReplaced(LanguageOutcome::ReadOnly));
    EXPECT_FALSE(LanguageReplaced(LanguageOutcome::Failed));
    EXPECT_TRUE(LanguageReplaced(LanguageOutcome::NotEnded));
}

}  // namespace
