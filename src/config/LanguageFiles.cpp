#include "config/LanguageFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "config/ConfigTexts.h"
#include "xml/FileBytes.h"
#include "xml/LanguageStrings.h"
#include "xml/XmlDocument.h"

namespace {

constexpr std::u16string_view kPrefix = u"language.";
constexpr std::u16string_view kSuffix = u".xml";

bool IsTagCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-';
}

std::vector<std::uint8_t> Bytes(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    std::u16string error;
    if (!ReadFileBytes(path.u16string(), bytes, error)) bytes.clear();
    return bytes;
}

}  // namespace

bool IsLanguageFileName(std::u16string_view fileName) {
    if (fileName.size() <= kPrefix.size() + kSuffix.size() || !fileName.starts_with(kPrefix) ||
        !fileName.ends_with(kSuffix))
        return false;
    const std::u16string_view tag = fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
    return std::all_of(tag.begin(), tag.end(), IsTagCharacter);
}

std::vector<LanguageFile> FindLanguageFiles(std::u16string_view folder) {
    const std::filesystem::path dir{std::u16string(folder)};
    std::vector<LanguageFile> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::u16string fileName = it->path().filename().u16string();
        if (IsLanguageFileName(fileName) && it->is_regular_file(error)) files.push_back({fileName, {}, false});
    }
    std::sort(files.begin(), files.end(),
              [](const LanguageFile& a, const LanguageFile& b) { return a.fileName < b.fileName; });
    // An unreadable language.xml matches no file: none is marked then.
    const std::vector<std::uint8_t> inPlace = Bytes(dir / kLanguageInPlace);
    for (LanguageFile& file : files) {
        XmlDocument document;
        document.LoadFile((dir / file.fileName).u16string());
        file.name = GetConfigText(document, u"config", u"cfg_language_name");
        if (file.name.empty()) file.name = file.fileName;
        file.current = !inPlace.empty() && Bytes(dir / file.fileName) == inPlace;
    }
    return files;
}

const std::u16string& LanguageOutcomeText(const ConfigTexts& texts, LanguageOutcome outcome) {
    switch (outcome) {
    case LanguageOutcome::Changed: return texts.languageSet;
    case LanguageOutcome::NoAgent: return texts.languageNoAgent;
    case LanguageOutcome::NotEnded: return texts.languageNotEnded;
    case LanguageOutcome::NotStarted: return texts.languageNotStarted;
    case LanguageOutcome::ReadOnly: return texts.languageReadOnly;
    case LanguageOutcome::Failed: break;
    }
    return texts.languageFailed;
}
