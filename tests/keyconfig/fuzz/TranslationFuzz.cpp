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

// What the translation may leave in a slot it wrote; a combination it names is in use.
bool IsWrittenKind(const KeyEntry& e, const KeyEntry& factory, std::int32_t macroCount, const CombinationCache& cache) {
    if (e == factory) return true;
    if (!IsTranslatedEntry(e, macroCount)) return false;
    return e.b[0] != KindCombination || cache[e.b[2] - 1].used != 0;
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
