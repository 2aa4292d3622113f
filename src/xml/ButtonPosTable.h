// The keyboard's 108 configurable keys as listed in ButtonPos.xml, in file order.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int BUTTON_COUNT = 108;

struct CRectValue {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const CRectValue&, const CRectValue&) = default;
};

struct ButtonPosRecord {
    std::u16string name;
    std::uint8_t vkcode = 0;
    std::u16string buttontip;
    CRectValue rect;
    std::int32_t kstatus = 0;  // always 0 or 1
};

using ButtonPosTable = std::array<ButtonPosRecord, BUTTON_COUNT>;
