// The words the program shows for a key's function: the agent's own strings of language.xml
// where they say the function (str_play, str_mouse_left, str_swap, str_cut, str_comb, ...),
// the program's own texts where they do not, and the profile's names (Describe.h) for keys
// and macros.
#pragma once

#include "Profile.h"
#include "config/ConfigTexts.h"
#include "config/KeyFunctionText.h"

#include <string>

// "Previous track", "Mouse button 6", "Cut (Ctrl+X)", "» Tab", "LeftCtrl+C", the macro's name;
// empty for the factory function.
class CProfileFunctionText final : public IKeyFunctionText {
public:
    explicit CProfileFunctionText(const ConfigTexts& texts) : m_texts(texts) {}
    std::u16string ShortText(const Profile& profile, const KeyFunction& function) const override;

private:
    const ConfigTexts& m_texts;
};
