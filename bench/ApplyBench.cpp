// One apply request's translation and request framing for the heaviest configuration the
// stored settings allow (HeavySettings.h). The device is a recording driver that copies
// every request, so the figures include the framing.
#include <benchmark/benchmark.h>

#include "HeavySettings.h"

#include "driver/CUSBDriver.h"
#include "driver/ModelDeviceIo.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/Translation.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Keeps the bytes of every request in one buffer reused across iterations, and passes it on
// to the model of the keyboard, so that the figures include the keyboard's checks too.
class RecordingIo final : public IDeviceIo {
public:
    DeviceHandle Open(std::u16string_view path) override { return m_io.Open(path); }
    void Close(DeviceHandle handle) override { m_io.Close(handle); }
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        m_bytes.insert(m_bytes.end(), reinterpret_cast<const std::uint8_t*>(&code),
                       reinterpret_cast<const std::uint8_t*>(&code) + sizeof code);
        m_bytes.insert(m_bytes.end(), static_cast<const std::uint8_t*>(in),
                       static_cast<const std::uint8_t*>(in) + inSize);
        ++m_nRequests;
        return m_io.Control(handle, code, in, inSize, out, outSize);
    }
    void Clear() {
        m_bytes.clear();
        m_nRequests = 0;
    }
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_nRequests = 0;

private:
    keyboard::CKeyboardModel m_keyboard;
    CModelDeviceIo m_io{m_keyboard};
};

class NoDialogHost final : public ITranslationHost {
public:
    void ShowCombinationWarning() override {}
    void PostAssignmentReset(std::uint8_t) override {}
};

struct Agent {
    DeviceKeyTable factory{}, work{};
    UsageSlotMap map;
    CombinationCache cache{};
    std::unique_ptr<SettingBuffers> settings = HeavySettings();
    RecordingIo io;
    CUSBDriver driver{io};
    NoDialogHost host;

    Agent() {
        BuildFactoryTable(factory, map);
        work = factory;
        driver.Open();
    }

    // The apply sequence's device part: translation, then the whole table.
    void Apply() {
        TranslateAssignments({work, factory, map, cache, *settings, driver}, host);
        driver.WriteKeyTable(work);
    }
};

void Report(benchmark::State& state, const RecordingIo& io) {
    state.counters["requests"] = static_cast<double>(io.m_nRequests);
    state.counters["bytes"] = static_cast<double>(io.m_bytes.size());
}

// The first apply after the keyboard arrived: every combination is placed and sent.
void FirstApplyWorstCase(benchmark::State& state) {
    Agent agent;
    for (auto _ : state) {
        agent.work = agent.factory;
        agent.cache = CombinationCache{};
        agent.io.Clear();
        agent.Apply();
        benchmark::DoNotOptimize(agent.io.m_bytes.data());
    }
    Report(state, agent.io);
}
BENCHMARK(FirstApplyWorstCase)->Unit(benchmark::kMicrosecond);

// Applying the same settings again: the combinations are found in the cache.
void RepeatedApplyWorstCase(benchmark::State& state) {
    Agent agent;
    agent.Apply();
    for (auto _ : state) {
        agent.io.Clear();
        agent.Apply();
        benchmark::DoNotOptimize(agent.io.m_bytes.data());
    }
    Report(state, agent.io);
}
BENCHMARK(RepeatedApplyWorstCase)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
