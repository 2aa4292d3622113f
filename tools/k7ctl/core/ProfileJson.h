// A profile as JSON text: read with every error placed at its line and column, and written.
#pragma once

#include "Profile.h"

#include <string>
#include <string_view>
#include <vector>

// Parses and checks a profile. Every error is one line "file:line:column: subject: rule";
// the profile is only meaningful when the list is empty.
std::vector<std::string> ReadProfile(std::string_view text, std::string_view fileName, const ButtonPosTable& layout,
                                     Profile& profile);

// The profile as JSON text; only keys that are not "default" are listed.
std::string ProfileToJson(const Profile& profile, const ButtonPosTable& layout);
