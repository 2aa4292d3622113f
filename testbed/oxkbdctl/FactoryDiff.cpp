#include "FactoryDiff.h"

#include "EntryNames.h"
#include "Plan.h"
#include "Profile.h"
#include "StateReport.h"
#include "keyconfig/DeviceKeyTable.h"

#include <string>
#include <vector>

namespace {

// Bytes up to the last nonzero one (at least `minimum`), so that empty event space is not shown.
std::size_t UsedLength(const std::uint8_t* bytes, std::size_t count, std::size_t minimum) {
    while (count > minimum && bytes[count - 1] == 0) --count;
    return count;
}

// "Left Control + C" from the four (0, usage) pairs of a combination.
std::string CombinationKeysText(const std::uint8_t* keys) {
    std::string text;
    for (int pair = 0; pair < 4; ++pair) {
        const std::uint8_t usage = keys[2 * pair + 1];
        if (!usage) continue;
        const char* name = KeyboardUsageName(usage);
        if (!text.empty()) text += " + ";
        text += *name ? std::string(name) : "usage " + Hex(&usage, 1);
    }
    return text.empty() ? "no keys" : text;
}

}  // namespace

void PrintFactoryDiff(std::FILE* out, const oxkbd::State& state, const ButtonPosTable& layout) {
    const std::vector<int> owner = SlotOwners(layout);
    const DeviceKeyTable& factory = FactoryKeyTable();
    std::fprintf(out, "Key table: the slots that differ from the factory table\n");
    std::fprintf(out, "  %-4s  %-12s  %-11s  %-22s  %-11s  %s\n", "slot", "key", "factory", "meaning", "now",
                 "meaning");
    int changed = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const KeyEntry& was = factory.slots[static_cast<std::size_t>(slot)];
        const KeyEntry& now = state.table.slots[static_cast<std::size_t>(slot)];
        if (now == was) continue;
        ++changed;
        const int i = owner[static_cast<std::size_t>(slot)];
        const std::string key = i < 0 ? "-" : KeyName(layout[static_cast<std::size_t>(i)]);
        std::fprintf(out, "  %4d  %-12s  %s  %-22s  %s  %s\n", slot, key.c_str(), Hex(was.b.data(), 4).c_str(),
                     DescribeEntry(was).c_str(), Hex(now.b.data(), 4).c_str(), DescribeEntry(now).c_str());
    }
    if (!changed) std::fprintf(out, "  (none: the keyboard holds its factory table)\n");

    std::fprintf(out, "Macros the keyboard holds (number, repeat count, then delay/usage byte pairs):\n");
    bool any = false;
    for (std::uint32_t n = 0; n < oxkbd::kMacroCount; ++n) {
        const std::uint8_t* m = state.macros[n];
        if (AllZero(m, kMacroRequestSize)) continue;
        any = true;
        const std::size_t length = UsedLength(m, kMacroRequestSize, 3);
        std::fprintf(out, "  macro %2u  repeat %u  events %s\n", m[0], static_cast<unsigned>(m[1] << 8 | m[2]),
                     length > 3 ? Hex(m + 3, length - 3).c_str() : "none");
    }
    if (!any) std::fprintf(out, "  none\n");

    std::fprintf(out, "Combinations the keyboard holds (slot, key bytes):\n");
    any = false;
    for (std::uint32_t n = 0; n < oxkbd::kCombinationCount; ++n) {
        const std::uint8_t* c = state.combinations[n];
        if (AllZero(c + 1, kCombinationRequestSize - 1)) continue;
        any = true;
        std::fprintf(out, "  slot %u  %s  %s\n", n, Hex(c + 1, kCombinationRequestSize - 1).c_str(),
                     CombinationKeysText(c + 1).c_str());
    }
    if (!any) std::fprintf(out, "  none\n");
}
