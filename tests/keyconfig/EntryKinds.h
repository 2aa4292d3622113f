// The kinds of entry the translation may write into a slot, for checks over arbitrary input.
#pragma once

#include "keyboard/ControlCodes.h"
#include "keyboard/KeyTableRecord.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

// A plain key, a mouse button (whose bytes 2 and 3 may keep what the slot held), a consumer
// usage of the table or none, a combination reference to slot 1..8, a macro reference to
// 1..`macroCount`, the mark, or all zero. Factory entries (device entries among them) are
// the caller's to accept, as only it knows the slot.
inline bool IsTranslatedEntry(const KeyEntry& e, std::int32_t macroCount) {
    static constexpr std::uint16_t kConsumer[] = {0x0000, 0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA,
                                                  0x00E9, 0x00E2, 0x0224, 0x0225, 0x0226, 0x0227, 0x022A,
                                                  0x0221, 0x018A, 0x0223, 0x0194, 0x0192};
    const auto& b = e.b;
    if (e == KeyEntry{} || e == kTableMark) return true;
    switch (b[0]) {
    case KindKey: return b[2] == 0 && b[3] == 0;
    case KindMouse: return b[1] == 0;
    case KindConsumer:
        return b[1] == 0 &&
               std::find(std::begin(kConsumer), std::end(kConsumer), (b[2] << 8) | b[3]) != std::end(kConsumer);
    case KindCombination: return b[1] == 0 && b[3] == 8 && b[2] >= 1 && b[2] <= kMaxCombinationSlot;
    case KindMacro: return b[1] == 0 && b[3] == 0xC0 && b[2] >= 1 && b[2] <= macroCount;
    default: return false;
    }
}
