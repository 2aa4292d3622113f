// The layout file shipped beside the agent, and its keys by name.
#pragma once

#include "xml/ButtonPositions.h"
#include "xml/Utf8Text.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

inline const ButtonPosTable& ShippedLayout() {
    static const ButtonPosTable table = [] {
        ButtonPosTable t;
        LoadButtonPositions(Utf16FromUtf8(K7_LAYOUT_FILE), t);
        return t;
    }();
    return table;
}

inline int KeyIndex(std::u16string_view name) {
    const auto& layout = ShippedLayout();
    const auto it = std::ranges::find(layout, name, &ButtonPosRecord::name);
    if (it == layout.end()) throw std::invalid_argument(Utf8FromUtf16(name));
    return static_cast<int>(it - layout.begin());
}
