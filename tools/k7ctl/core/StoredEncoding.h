// The four registry values as k7ctl reads and writes them, and their conversion to and from
// a profile.
#pragma once

#include "Profile.h"
#include "keyconfig/SettingRecords.h"

#include <cstdint>
#include <string>
#include <vector>

struct StoredSettings {
    SettingBuffers buffers;  // zeros where a value was missing or shorter than its buffer
    std::int32_t rate = 8;
};

// Read-modify-write: the bytes the agent reads come from the profile, every other byte keeps
// what is stored. Record i of "KeySetting" takes the key code of layout record i.
void EncodeProfile(const Profile& profile, const ButtonPosTable& layout, StoredSettings& stored);

// The stored values as a profile; macros are named "macro1", "macro2", ... Whatever a profile
// cannot say (an unknown type, a code without a name) is left out and named in `warnings`.
Profile ProfileFromStored(const StoredSettings& stored, const ButtonPosTable& layout,
                          std::vector<std::string>& warnings);

// The profile as JSON text; only keys that are not "default" are listed.
std::string ProfileToJson(const Profile& profile, const ButtonPosTable& layout);

// "remap LeftCtrl", "combination LeftCtrl+LeftAlt+Delete", "default", ...
std::string DescribeFunction(const Profile& profile, const KeyFunction& function);
