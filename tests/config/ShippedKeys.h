// The keys of the shipped layout by their names in the layout file.
#pragma once

#include "../xml/ShippedLayout.h"
#include "xml/Utf8Text.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

inline int KeyIndex(std::u16string_view name) {
    const auto& layout = ShippedLayout();
    const auto it = std::ranges::find(layout, name, &ButtonPosRecord::name);
    if (it == layout.end()) throw std::invalid_argument(Utf8FromUtf16(name));
    return static_cast<int>(it - layout.begin());
}
