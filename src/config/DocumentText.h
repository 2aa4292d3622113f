// The texts the program makes of its document and of its files: the window's title, and the
// language file's templates filled in.
#pragma once

#include "config/ConfigDocument.h"
#include "config/ConfigTexts.h"

#include <initializer_list>
#include <string>
#include <string_view>

// `text` with %1, %2, ... replaced by the arguments in order; a number without an argument
// stays as it is, so that a translation's mistake shows instead of vanishing.
std::u16string FillText(std::u16string_view text, std::initializer_list<std::u16string_view> arguments);

// The last part of a Windows path: "fps.json" of "C:\profiles\fps.json".
std::u16string_view FileName(std::u16string_view path);

// What the document shows: the profile file's name, or the stored settings, a new profile,
// restored edits.
std::u16string DocumentName(const CConfigDocument& document, const ConfigTexts& texts);

// "<what> - <program>": the profile file's name, or what else the document shows (the stored
// settings, a new profile, restored edits); a leading "*" marks unsaved edits.
std::u16string DocumentTitle(const CConfigDocument& document, const ConfigTexts& texts, std::u16string_view program);
