// What kind of function an assignment type gives its key, and the colour the keyboard view
// paints each kind in.
#pragma once

#include "keyconfig/SettingRecords.h"

#include <cstdint>

enum class FunctionKind {
    Factory,      // type 1: the key's own function
    Remap,        // type 9
    Media,        // types 5 and 7: the consumer functions
    Mouse,        // type 3
    Shortcut,     // types 2 and 6: system and edit shortcuts
    Macro,        // type 4
    Combination,  // type 8
    Unknown,      // any other type: the agent leaves the key's entry as it is
};

FunctionKind KindOf(std::int32_t type);

struct KindColour {
    std::uint8_t r, g, b;
    friend bool operator==(const KindColour&, const KindColour&) = default;
};

// The key's face; every kind has its own, light enough for black text.
KindColour FaceColour(FunctionKind kind);
