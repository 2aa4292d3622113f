// Any stored settings, any working table and any cache: the translation stays inside its
// buffers, sends only whole macro and combination records to the device, and every entry it
// writes is one the key table knows.
#include "../EntryKinds.h"
#include "../RecordingDeviceIo.h"
#include "keyconfig/Translation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Host final : ITranslationHost {
    void ShowCombinationWarning() override {
        ++warnings;
        warningOpen = true;
    }
    void PostAssignmentReset(std::uint8_t) override {
        warningOpen = false;
        ++resets;
    }
    int warnings = 0;
    int resets = 0;
    bool warningOpen = false;  // a warning not yet followed by its reset notice
};

void Check(bool ok) {
    if (!ok) std::abort();
}

// Copies the next bytes of the input over `n` bytes at `dst`.
void Take(const std::uint8_t*& data, std::size_t& size, void* dst, std::size_t n) {
    const std::size_t k = std::min(n, size);
    std::memcpy(dst, data, k);
    data += k;
    size -= k;
}

// What the translation may leave in a slot it wrote; a combination it names is in use.
bool IsWrittenKind(const KeyEntry& e, const KeyEntry& factory, std::int32_t macroCount, const CombinationCache& cache) {
    if (e == factory) return true;
    if (!IsTranslatedEntry(e, macroCount)) return false;
    return e.b[0] != KindCombination || cache[e.b[2] - 1].used != 0;
}

// The translation written again, plainly, from what each assignment type means: the table,
// the cache and the notices it must end with. It shares only the key-code tables (pinned by
// their own tests) and the stored records' layout.
struct Reference {
    DeviceKeyTable table;
    CombinationCache cache;
    int warnings = 0;
    int resets = 0;
};

Reference Translate(const SettingBuffers& settings, const DeviceKeyTable& work, const CombinationCache& cache,
                    const DeviceKeyTable& factory, const UsageSlotMap& map) {
    static constexpr std::uint16_t kConsumer[18] = {0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA,
                                                    0x00E9, 0x00E2, 0x0224, 0x0225, 0x0226, 0x0227,
                                                    0x022A, 0x0221, 0x018A, 0x0223, 0x0194, 0x0192};
    static constexpr std::uint8_t kSystem[5][2] = {
        {0xE2, 0x2B}, {0xE2, 0x3D}, {0xE3, 0x0F}, {0xE3, 0x15}, {0xE3, 0x07}};
    static constexpr std::uint8_t kEdit[9][2] = {{0xE0, 0x1B}, {0xE0, 0x06}, {0xE0, 0x19}, {0xE0, 0x04}, {0xE0, 0x09},
                                                 {0xE0, 0x11}, {0xE0, 0x13}, {0xE0, 0x16}, {0xE0, 0x1D}};
    Reference ref{work, cache};
    const std::int32_t macroCount = std::min(settings.macros.Count(), kMacroRecordCount);
    for (const KeyAssignment& r : settings.keys.records) {
        int slot;
        switch (r.vk) {
        case 0x41: slot = 10; break;
        case 0xAD: slot = 134; break;
        case 0xB5: slot = 127; break;
        case 0xC4: slot = 150; break;
        case 0xC3: slot = 148; break;
        default: {
            const auto it = map.find(UsageForVk(r.vk));
            slot = it == map.end() ? -1 : it->second;
        }
        }
        if (slot < 0 || slot >= kSlotCount) continue;
        KeyEntry& e = ref.table.slots[slot];
        const std::int32_t type = r.Type(), p = r.Parameter();
        if (type < AssignDefault || type > AssignKeyRemap) continue;
        // Release: the combination this slot names is freed when no other slot shows it.
        if (e.b[0] == 0x23 && e.b[1] == 0 && e.b[3] == 8) {
            bool shown = false;
            for (int s = 0; s < kSlotCount; ++s)
                shown = shown || (s != slot && ref.table.slots[s].b[0] == 0x23 && ref.table.slots[s].b[2] == e.b[2]);
            for (CombinationCacheEntry& c : ref.cache) {
                if (!shown && c.slot == e.b[2]) {
                    c = {};
                    break;
                }
            }
        }
        CombinationKeys keys{};
        bool place = false;
        bool reject = false;
        if (type == AssignDefault) {
            e = factory.slots[slot];
        } else if (type == AssignSystemShortcut || type == AssignEditShortcut) {
            const auto* row = type == AssignSystemShortcut ? (p >= 1 && p <= 5 ? kSystem[p - 1] : nullptr)
                                                           : (p >= 1 && p <= 9 ? kEdit[p - 1] : nullptr);
            if (row) keys = {0, row[0], 0, row[1], 0, 0, 0, 0};
            place = true;
        } else if (type == AssignMouseButton) {
            e.b[0] = 0x02;
            e.b[1] = 0;
            if (p >= 1 && p <= 16) {
                e.b[2] = p == 10 ? 1 : static_cast<std::uint8_t>(p);  // 10 is the double click
                e.b[3] = p == 10 ? 1 : 0;
            }
        } else if (type == AssignMacro) {
            if (p >= 0 && p < macroCount)
                e = {{0x53, 0, static_cast<std::uint8_t>(p + 1), 0xC0}};
            else
                reject = true;
        } else if (type == AssignConsumer || type == AssignConsumerAlt) {
            const std::uint16_t u = static_cast<std::uint32_t>(p) < 18 ? kConsumer[p] : 0;
            e = {{0x04, 0, static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u & 0xFF)}};
        } else if (type == AssignCombination) {
            if (p >= 0 && p < kCombinationRecordCount) {
                for (int i = 0; i < 4; ++i) {
                    const std::uint8_t vk = settings.combinations.records[p].vks[i];
                    keys[2 * i + 1] = vk ? UsageForVk(vk) : 0;
                }
                place = true;
            } else {
                reject = true;
            }
        } else {  // AssignKeyRemap
            e = {{0x00, UsageForVk(static_cast<std::uint8_t>(p)), 0, 0}};
        }
        if (reject) {
            ++ref.resets;
            e = factory.slots[slot];
        }
        if (!place) continue;
        // Placement: an entry holding the same keys (the last one), else the lowest free one;
        // every free entry is emptied on the way.
        int found = -1;
        for (int k = 0; k < kMaxCombinationSlot; ++k) {
            if (ref.cache[k].used == 0)
                ref.cache[k] = {};
            else if (ref.cache[k].keys == keys)
                found = k;
        }
        for (int k = 0; found < 0 && k < kMaxCombinationSlot; ++k) {
            if (ref.cache[k].used == 0) {
                ref.cache[k] = {1, keys, k + 1};
                found = k;
            }
        }
        if (found < 0) {
            ++ref.warnings;
            ++ref.resets;
            return ref;
        }
        e = {{0x23, 0, static_cast<std::uint8_t>(found + 1), 8}};
    }
    return ref;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto factory = [] {
        auto t = std::make_unique<std::pair<DeviceKeyTable, UsageSlotMap>>();
        BuildFactoryTable(t->first, t->second);
        return t;
    }();
    // Separate objects with the sanitizer's guard zones around each; static, because a fresh
    // 180 KB allocation per input would take most of the time.
    static SettingBuffers settingsStore;
    static DeviceKeyTable workStore;
    static CombinationCache cacheStore;
    SettingBuffers* const settings = &settingsStore;
    DeviceKeyTable* const work = &workStore;
    CombinationCache* const cache = &cacheStore;
    std::memset(settings, 0, sizeof *settings);
    *work = DeviceKeyTable{};
    *cache = CombinationCache{};
    Take(data, size, &settings->keys, sizeof settings->keys);
    Take(data, size, work, sizeof *work);
    Take(data, size, settings->macros.count, sizeof settings->macros.count);
    bool open = true;
    for (int k = 0; k < kMaxCombinationSlot && size; ++k, --size, ++data) {
        if (*data & 1) (*cache)[k] = {1, CombinationKeys{0, *data}, k + 1};
        if (k == kMaxCombinationSlot - 1) open = !(*data & 0x80);
    }
    for (CombinationRecord& r : settings->combinations.records) Take(data, size, r.vks, sizeof r.vks);
    Take(data, size, &settings->macros.records, sizeof settings->macros.records);

    const DeviceKeyTable before = *work;
    const Reference expected = Translate(*settings, before, *cache, factory->first, factory->second);
    RecordingDeviceIo io;
    CUSBDriver driver(io);
    if (open) driver.Open();
    Host host;
    TranslateAssignments({*work, factory->first, factory->second, *cache, *settings, driver}, host);

    const std::int32_t macroCount = std::clamp(settings->macros.Count(), 0, kMacroRecordCount);
    Check(open || io.requests.empty());
    for (const DeviceRequest& r : io.requests) {
        if (r.code == IOCTL_WRITE_MACRO)
            Check(r.in.size() == kMacroRequestSize && r.in[0] >= 1 && r.in[0] <= kMaxMacroNumber &&
                  r.in[0] <= macroCount);
        else
            Check(r.code == IOCTL_WRITE_COMBINATION && r.in.size() == kCombinationRequestSize && r.in[0] >= 1 &&
                  r.in[0] <= kMaxCombinationSlot);
    }
    for (int s = 0; s < kSlotCount; ++s)
        if (work->slots[s] != before.slots[s])
            Check(IsWrittenKind(work->slots[s], factory->first.slots[s], macroCount, *cache));
    // One warning at most, and it ends the translation after its own reset notice.
    Check(host.warnings <= 1 && !host.warningOpen);
    for (int k = 0; k < kMaxCombinationSlot; ++k) Check((*cache)[k].used == 0 || (*cache)[k].slot == k + 1);
    // Entry by entry what the plain translation gives, and the same cache and notices.
    for (int s = 0; s < kSlotCount; ++s) Check(work->slots[s] == expected.table.slots[s]);
    Check(*cache == expected.cache);
    Check(host.warnings == expected.warnings && host.resets == expected.resets);
    return 0;
}
