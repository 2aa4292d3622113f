// What the keyboard's eight combination slots hold, as far as the agent knows.
#pragma once

#include "keyboard/KeyboardChannel.h"

#include <array>
#include <cstdint>

struct CombinationCacheEntry {
    std::int32_t used = 0;  // nonzero while the entry holds a combination
    CombinationKeys keys{};
    std::int32_t slot = 0;  // k + 1 while used, 0 when free

    friend bool operator==(const CombinationCacheEntry&, const CombinationCacheEntry&) = default;
};

// The keys of an entry whose slot a key names but could not be read back. The first byte of
// every pair the agent sends is 0, so no combination equals them: the entry stays held,
// neither cleared nor reused by a placement, until a translation releases its slot.
inline constexpr CombinationKeys kUnreadCombination{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Entry k always describes device combination slot k + 1.
using CombinationCache = std::array<CombinationCacheEntry, kMaxCombinationSlot>;
