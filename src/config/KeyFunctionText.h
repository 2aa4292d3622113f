// The short text of a key's function that the keyboard view writes under the key's name and
// the details panel and the assignment dialog show. The windows only ask this interface.
#pragma once

#include "Profile.h"

#include <string>

class IKeyFunctionText {
public:
    virtual ~IKeyFunctionText() = default;
    // Empty for the factory function: the key shows its name alone.
    virtual std::u16string ShortText(const Profile& profile, const KeyFunction& function) const = 0;
};
