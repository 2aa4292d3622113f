#include "keyconfig/Translation.h"

#include "keyconfig/DeviceRecords.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint16_t, 18> kConsumerUsages = {
    0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA, 0x00E9, 0x00E2, 0x0224,
    0x0225, 0x0226, 0x0227, 0x022A, 0x0221, 0x018A, 0x0223, 0x0194, 0x0192,
};

struct Shortcut {
    std::uint8_t modifier, key;
};
// Index = parameter - 1.
constexpr std::array<Shortcut, 5> kSystemShortcuts = {{
    {0xE2, 0x2B},
    {0xE2, 0x3D},
    {0xE3, 0x0F},
    {0xE3, 0x15},
    {0xE3, 0x07},
}};
constexpr std::array<Shortcut, 9> kEditShortcuts = {{
    {0xE0, 0x1B},
    {0xE0, 0x06},
    {0xE0, 0x19},
    {0xE0, 0x04},
    {0xE0, 0x09},
    {0xE0, 0x11},
    {0xE0, 0x13},
    {0xE0, 0x16},
    {0xE0, 0x1D},
}};

template <std::size_t N> CombinationKeys ShortcutKeys(const std::array<Shortcut, N>& table, std::int32_t parameter) {
    CombinationKeys keys{};
    if (parameter >= 1 && parameter <= static_cast<std::int32_t>(N)) {
        keys[1] = table[parameter - 1].modifier;
        keys[3] = table[parameter - 1].key;
    }
    return keys;
}

bool IsCombinationReference(const KeyEntry& e) { return e.b[0] == KindCombination && e.b[1] == 0 && e.b[3] == 8; }

// Frees the cache entry of the combination the slot refers to, unless another slot still does.
void ReleaseCombination(const KeyConfigState& st, std::int32_t slot) {
    const KeyEntry& e = st.workTable.slots[slot];
    if (!IsCombinationReference(e)) return;
    const std::uint8_t c = e.b[2];
    for (int s = 0; s < kSlotCount; ++s)
        if (s != slot && st.workTable.slots[s].b[0] == KindCombination && st.workTable.slots[s].b[2] == c) return;
    const auto it = std::find_if(st.combCache.begin(), st.combCache.end(),
                                 [c](const CombinationCacheEntry& x) { return x.slot == c; });
    if (it != st.combCache.end()) *it = CombinationCacheEntry{};
}

// The stored macro count, bounded by the records that exist.
std::int32_t MacroCount(const MacroSetting& macros) { return std::min(macros.Count(), kMacroRecordCount); }

enum class Outcome { Next, Stop };

// Resets a record the device cannot honour and tells the configuration program; the slot
// then gets what the reset record asks for, the factory entry.
void RejectAssignment(const KeyConfigState& st, ITranslationHost& host, KeyAssignment& r, std::int32_t slot) {
    r.Set(AssignDefault, 0);
    host.PostAssignmentReset(r.vk);
    st.workTable.slots[slot] = st.factoryTable.slots[slot];
}

Outcome PlaceCombination(const KeyConfigState& st, ITranslationHost& host, KeyAssignment& r, std::int32_t slot,
                         const CombinationKeys& keys) {
    const CombinationSlot placed = AllocateCombinationSlot(st.driver, st.combCache, keys);
    if (placed.slot < 0) {
        const std::uint8_t vk = r.vk;  // the dialog's nested loop may run another apply
        host.ShowCombinationWarning();
        r.Set(AssignDefault, 0);
        host.PostAssignmentReset(vk);
        return Outcome::Stop;
    }
    if (!placed.found) st.driver.WriteCombination(static_cast<std::uint8_t>(placed.slot), keys);
    st.workTable.slots[slot] = KeyEntry{{KindCombination, 0, static_cast<std::uint8_t>(placed.slot), 8}};
    return Outcome::Next;
}

Outcome Apply(const KeyConfigState& st, ITranslationHost& host, KeyAssignment& r, std::int32_t slot) {
    KeyEntry& entry = st.workTable.slots[slot];
    const std::int32_t p = r.Parameter();
    switch (r.Type()) {
    case AssignDefault: entry = st.factoryTable.slots[slot]; return Outcome::Next;
    case AssignSystemShortcut: return PlaceCombination(st, host, r, slot, ShortcutKeys(kSystemShortcuts, p));
    case AssignEditShortcut: return PlaceCombination(st, host, r, slot, ShortcutKeys(kEditShortcuts, p));
    case AssignMouseButton:
        entry.b[0] = KindMouse;
        entry.b[1] = 0;
        if (p >= 1 && p <= 16) {
            entry.b[2] = p == 10 ? 1 : static_cast<std::uint8_t>(p);
            entry.b[3] = p == 10 ? 1 : 0;
        }
        return Outcome::Next;
    case AssignMacro:
        if (p < 0 || p >= MacroCount(st.settings.macros)) {
            RejectAssignment(st, host, r, slot);
            return Outcome::Next;
        }
        entry = KeyEntry{{KindMacro, 0, static_cast<std::uint8_t>(p + 1), 0xC0}};
        DownloadMacro(st.driver, st.settings.macros, p);
        return Outcome::Next;
    case AssignConsumer:
    case AssignConsumerAlt: {
        const std::uint16_t usage = static_cast<std::uint32_t>(p) < kConsumerUsages.size() ? kConsumerUsages[p] : 0;
        entry = KeyEntry{{KindConsumer, 0, static_cast<std::uint8_t>(usage >> 8), static_cast<std::uint8_t>(usage)}};
        return Outcome::Next;
    }
    case AssignCombination:
        if (p < 0 || p >= kCombinationRecordCount) {
            RejectAssignment(st, host, r, slot);
            return Outcome::Next;
        }
        return PlaceCombination(st, host, r, slot, CombinationKeysFromRecord(st.settings.combinations.records[p]));
    case AssignKeyRemap:
        entry = KeyEntry{{KindKey, UsageForVk(static_cast<std::uint8_t>(p)), 0, 0}};
        return Outcome::Next;
    default: return Outcome::Next;
    }
}

}  // namespace

std::int32_t SelectSlot(const UsageSlotMap& map, std::uint8_t vk) {
    // These keys share their usage with another slot of the factory table.
    switch (vk) {
    case 0x41: return 10;
    case 0xAD: return 134;
    case 0xB5: return 127;
    case 0xC4: return 150;
    case 0xC3: return 148;
    default: return FindSlotForUsage(map, UsageForVk(vk));
    }
}

void TranslateAssignments(const KeyConfigState& state, ITranslationHost& host) {
    for (KeyAssignment& r : state.settings.keys.records) {
        const std::int32_t slot = SelectSlot(state.usageSlotMap, r.vk);
        // A map built from another table may name no slot, or one outside the table.
        if (slot < 0 || slot >= kSlotCount) continue;
        // A record of no known type leaves its slot as it is, and so the combination the slot
        // refers to stays in use: freeing it would let the next placement clear or reuse a
        // device slot that the keyboard's table still names.
        const std::int32_t type = r.Type();
        if (type >= AssignDefault && type <= AssignKeyRemap) ReleaseCombination(state, slot);
        if (Apply(state, host, r, slot) == Outcome::Stop) return;
    }
}
