// The keys of the shipped layout by the names profiles give them.
#pragma once

#include "Profile.h"
#include "../xml/ShippedLayout.h"
#include "xml/Utf8Text.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

inline std::size_t KeyIndex(std::string_view name) {
    const auto& layout = ShippedLayout();
    const auto it = std::ranges::find(layout, name, KeyName);
    if (it == layout.end()) throw std::invalid_argument(std::string(name));
    return static_cast<std::size_t>(it - layout.begin());
}
