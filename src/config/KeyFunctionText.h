// The short text of a key's function that the keyboard view writes under the key's name.
// The view only asks this interface; the full wording of each function belongs to the profile
// library, which provides an implementation of its own.
#pragma once

#include "config/ConfigTexts.h"
#include "keyconfig/SettingRecords.h"

#include <string>

class IKeyFunctionText {
public:
    virtual ~IKeyFunctionText() = default;
    // Empty for the factory function: the key shows its name alone.
    virtual std::u16string ShortText(const KeyAssignment& assignment) const = 0;
};

// Names the kind of function only (for example "Media function"), from the program's texts.
class CKindNameText final : public IKeyFunctionText {
public:
    explicit CKindNameText(const ConfigTexts& texts) : m_texts(texts) {}
    std::u16string ShortText(const KeyAssignment& assignment) const override;

private:
    const ConfigTexts& m_texts;
};
