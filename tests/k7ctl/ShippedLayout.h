// The layout file the agent ships, loaded once for the tests.
#pragma once

#include "Profile.h"
#include "xml/ButtonPositions.h"
#include "xml/Utf8Text.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

inline const ButtonPosTable& ShippedLayout() {
    static const ButtonPosTable table = [] {
        ButtonPosTable t;
        LoadButtonPositions(Utf16FromUtf8(K7_LAYOUT_FILE), t);
        return t;
    }();
    return table;
}

inline std::size_t KeyIndex(std::string_view name) {
    const auto& layout = ShippedLayout();
    const auto it = std::ranges::find(layout, name, KeyName);
    if (it == layout.end()) throw std::invalid_argument(std::string(name));
    return static_cast<std::size_t>(it - layout.begin());
}
