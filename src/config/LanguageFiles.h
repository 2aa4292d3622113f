// The language files beside the programs. Each translation lies there as language.TAG.xml and
// names its language in its own words (cfg_language_name); the one in place, language.xml, is
// what the agent and the program read at their start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ConfigTexts;

inline constexpr char16_t kLanguageInPlace[] = u"language.xml";

struct LanguageFile {
    std::u16string fileName;  // e.g. language.de.xml
    std::u16string name;      // its cfg_language_name; the file name when it names none
    bool current = false;     // language.xml holds the same bytes
};

// language.TAG.xml with a tag of letters, digits and "-" (language.de.xml, language.zh-CN.xml).
bool IsLanguageFileName(std::u16string_view fileName);

// The language files in `folder`, by file name; none when the folder cannot be listed.
std::vector<LanguageFile> FindLanguageFiles(std::u16string_view folder);

// What came of choosing a language file.
enum class LanguageOutcome {
    Changed,     // language.xml replaced, the agent restarted and registered again
    NoAgent,     // language.xml replaced; no agent ran
    NotEnded,    // language.xml replaced; the agent did not end in time and runs on
    NotStarted,  // language.xml replaced; the agent ended and could not be started again
    ReadOnly,    // nothing changed: the folder cannot be written
    Failed,      // nothing changed: language.xml could not be replaced for another reason
};

// Whether language.xml holds the new language afterwards, so that the program re-makes its
// windows with it.
inline bool LanguageReplaced(LanguageOutcome outcome) {
    return outcome != LanguageOutcome::ReadOnly && outcome != LanguageOutcome::Failed;
}

// The status line's text for the outcome.
const std::u16string& LanguageOutcomeText(const ConfigTexts& texts, LanguageOutcome outcome);
