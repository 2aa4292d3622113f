// What a key's function is called in a profile, and a one-line text of it for people.
#pragma once

#include "Profile.h"

#include <string>
#include <string_view>
#include <vector>

// The profile's member for the function: "remap", "media", "media-alt", "shortcut", "mouse",
// "macro", "combination", or "default" (also for a type a profile cannot write).
std::string_view FunctionMember(const KeyFunction& function);

// The names the function's value is written with: one name, or for a combination one per key
// up to the last one given (empty for a gap). An empty name where the code has none; nothing
// when the function names a macro or combination the profile does not have, or is a default.
std::vector<std::string_view> FunctionNames(const Profile& profile, const KeyFunction& function);

// "remap LeftCtrl", "combination LeftCtrl+LeftAlt+Delete", "default", ...
std::string DescribeFunction(const Profile& profile, const KeyFunction& function);
