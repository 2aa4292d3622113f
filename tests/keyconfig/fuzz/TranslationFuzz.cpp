// Any stored settings, any working table and any cache: the translation stays inside its
// buffers and sends only whole macro and combination records to the device.
#include "../RecordingDeviceIo.h"
#include "keyconfig/Translation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Host final : ITranslationHost {
    void ShowCombinationWarning() override { ++warnings; }
    void PostAssignmentReset(std::uint8_t) override {
        if (warnings) ++resetsAfterWarning;
    }
    int warnings = 0, resetsAfterWarning = 0;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto factory = [] {
        auto t = std::make_unique<std::pair<DeviceKeyTable, UsageSlotMap>>();
        BuildFactoryTable(t->first, t->second);
        return t;
    }();
    auto settings = std::make_unique<SettingBuffers>();
    DeviceKeyTable work{};
    CombinationCache cache{};
    Take(data, size, &settings->keys, sizeof settings->keys);
    Take(data, size, &work, sizeof work);
    Take(data, size, settings->macros.count, sizeof settings->macros.count);
    for (int k = 0; k < kMaxCombinationSlot && size; ++k, --size, ++data)
        if (*data & 1) cache[k] = {1, CombinationKeys{0, *data}, k + 1};
    for (CombinationRecord& r : settings->combinations.records) Take(data, size, r.vks, sizeof r.vks);
    Take(data, size, &settings->macros.records, sizeof settings->macros.records);

    RecordingDeviceIo io;
    CUSBDriver driver(io);
    driver.Open();
    Host host;
    TranslateAssignments({work, factory->first, factory->second, cache, *settings, driver}, host);

    for (const DeviceRequest& r : io.requests) {
        if (r.code == IOCTL_WRITE_MACRO)
            Check(r.in.size() == kMacroRequestSize && r.in[0] >= 1 && r.in[0] <= kMaxMacroNumber);
        else
            Check(r.code == IOCTL_WRITE_COMBINATION && r.in.size() == kCombinationRequestSize && r.in[0] >= 1 &&
                  r.in[0] <= kMaxCombinationSlot);
    }
    Check(host.warnings <= 1 && host.resetsAfterWarning == host.warnings);
    for (int k = 0; k < kMaxCombinationSlot; ++k) Check(cache[k].used == 0 || cache[k].slot == k + 1);
    return 0;
}
