// Any stored settings, any working table and any cache: the translation stays inside its
// buffers, sends only whole macro and combination records to the device, and every entry it
// writes is one the key table knows.
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
    void PostAssignmentReset(std::uint8_t) override { warningOpen = false; }
    int warnings = 0;
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

bool IsConsumerUsage(std::uint8_t high, std::uint8_t low) {
    static constexpr std::uint16_t kUsages[] = {0x0000, 0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA,
                                                0x00E9, 0x00E2, 0x0224, 0x0225, 0x0226, 0x0227, 0x022A,
                                                0x0221, 0x018A, 0x0223, 0x0194, 0x0192};
    return std::find(std::begin(kUsages), std::end(kUsages), (high << 8) | low) != std::end(kUsages);
}

// The kinds of entry a translation may leave in a slot it wrote.
bool IsWrittenKind(const KeyEntry& e, const KeyEntry& factory, std::int32_t macroCount, const CombinationCache& cache) {
    const auto& b = e.b;
    if (e == factory || e == KeyEntry{} || e == kTableMark) return true;
    switch (b[0]) {
    case KindKey: return b[2] == 0 && b[3] == 0;
    case KindMouse: return b[1] == 0;  // bytes 2 and 3 may keep what the slot held
    case KindConsumer: return b[1] == 0 && IsConsumerUsage(b[2], b[3]);
    case KindCombination:
        return b[1] == 0 && b[3] == 8 && b[2] >= 1 && b[2] <= kMaxCombinationSlot && cache[b[2] - 1].used != 0;
    case KindMacro: return b[1] == 0 && b[3] == 0xC0 && b[2] >= 1 && b[2] <= macroCount;
    default: return false;
    }
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
    return 0;
}
