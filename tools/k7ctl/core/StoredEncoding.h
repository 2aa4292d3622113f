// The four stored values as k7ctl reads and writes them, and the conversion of a profile to
// and from them.
#pragma once

#include "Profile.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/SettingsStore.h"

#include <cstdint>
#include <string>
#include <vector>

struct StoredSettings {
    SettingBuffers buffers;  // zeros where a value was missing or shorter than its buffer
    std::int32_t rate = kDefaultReportRate;
};

// Read-modify-write: the bytes the agent reads come from the profile, every other byte keeps
// what is stored. Record i of "KeySetting" takes the key code of layout record i.
void EncodeProfile(const Profile& profile, const ButtonPosTable& layout, StoredSettings& stored);

// The stored values as a profile; macros are named "macro1", "macro2", ... Whatever a profile
// cannot say (an unknown type, a code without a name) is left out and named in `warnings`.
Profile ProfileFromStored(const StoredSettings& stored, const ButtonPosTable& layout,
                          std::vector<std::string>& warnings);
