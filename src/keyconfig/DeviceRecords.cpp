#include "keyconfig/DeviceRecords.h"

#include <algorithm>

MacroContent MacroContentFromRecord(const MacroRecord& record) {
    MacroContent content{};
    const std::uint16_t repeat = std::max<std::uint16_t>(record.Repeat(), 1);
    content[0] = static_cast<std::uint8_t>(repeat >> 8);
    content[1] = static_cast<std::uint8_t>(repeat);
    // The device record has room for 95 events; longer macros are cut rather than overflowing it.
    const int events = std::min<int>(record.EventCount(), kDeviceMacroEvents);
    for (int j = 0; j < events; ++j) {
        const MacroEvent& e = record.events[j];
        // A delay beyond 127 units would spill into the state bit.
        const auto units =
            static_cast<std::uint8_t>(std::min<std::uint32_t>(e.DelayMs() / kDelayUnitMs, kMaxDelayUnits));
        content[2 + 2 * j] = static_cast<std::uint8_t>(units | (e.state ? 0x80 : 0));
        content[3 + 2 * j] = UsageForVk(e.vk);
    }
    return content;
}

void DownloadMacro(IKeyboardChannel& driver, const MacroSetting& macros, std::int32_t index) {
    if (index < 0 || index >= kMacroRecordCount) return;
    const auto number = static_cast<std::uint8_t>(index + 1);
    if (number > kMaxMacroNumber) return;
    driver.WriteMacro(number, MacroContentFromRecord(macros.records[index]));
}

CombinationKeys CombinationKeysFromRecord(const CombinationRecord& record) {
    CombinationKeys keys{};
    for (int i = 0; i < 4; ++i)
        if (record.vks[i] != 0) keys[2 * i + 1] = UsageForVk(record.vks[i]);
    return keys;
}

namespace {

void ClearSlot(IKeyboardChannel& driver, CombinationCache& cache, int k) {
    driver.WriteCombination(static_cast<std::uint8_t>(k + 1), CombinationKeys{});
    cache[k] = CombinationCacheEntry{};
}

}  // namespace

CombinationSlot AllocateCombinationSlot(IKeyboardChannel& driver, CombinationCache& cache,
                                        const CombinationKeys& keys) {
    CombinationSlot result{-1, false};
    for (int k = 0; k < kMaxCombinationSlot; ++k) {
        if (cache[k].used != 0) {
            if (cache[k].keys == keys) result = {k + 1, true};
        } else {
            ClearSlot(driver, cache, k);
        }
    }
    if (result.found) return result;
    for (int k = 0; k < kMaxCombinationSlot; ++k) {
        if (cache[k].used == 0) {
            cache[k] = CombinationCacheEntry{1, keys, k + 1};
            return {k + 1, false};
        }
    }
    return result;
}

void ReadBackCombinations(IKeyboardChannel& driver, const DeviceKeyTable& workTable, CombinationCache& cache) {
    std::array<bool, kMaxCombinationSlot> named{};
    for (const KeyEntry& e : workTable.slots) {
        const std::uint8_t b = e.b[2];
        if (e.b[0] != KindCombination || e.b[1] != 0 || e.b[3] != 8 || b < 1 || b > kMaxCombinationSlot) continue;
        named[b - 1] = true;
        // What a slot that failed to read holds is not known, but a key names it: left free, the
        // next apply would clear or reuse it under that key.
        CombinationKeys keys{};
        if (!driver.ReadCombination(b, keys)) keys = kUnreadCombination;
        cache[b - 1] = CombinationCacheEntry{1, keys, b};
    }
    // What an unnamed entry says is not known to hold on the keyboard now (placed while it was
    // away, or changed elsewhere): kept, it would be taken as already sent.
    for (int k = 0; k < kMaxCombinationSlot; ++k)
        if (!named[k]) cache[k] = CombinationCacheEntry{};
}

void ClearAllCombinations(IKeyboardChannel& driver, CombinationCache& cache) {
    for (int k = 0; k < kMaxCombinationSlot; ++k) ClearSlot(driver, cache, k);
}

void ClearAllMacros(IKeyboardChannel& driver) {
    for (std::uint8_t n = 1; n <= kMaxMacroNumber; ++n) driver.WriteMacro(n, MacroContent{});
}

void RestoreFactoryState(IKeyboardChannel& driver, const DeviceKeyTable& factoryTable, CombinationCache& cache) {
    if (driver.IsOpen()) driver.WriteKeyTable(factoryTable);
    ClearAllCombinations(driver, cache);
    ClearAllMacros(driver);
}
