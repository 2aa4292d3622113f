// Arrivals and removals in a long run, the driver now ready and now not: the agent never
// holds more than one handle of the keyboard, does not leak handles of its own, and still
// applies at the end. K7_PRESENCE_CYCLES sets the number of cycles (20 by default).
#include "AgentPresenceSupport.h"

#include <dbt.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using configclient::Received;

// One row of the system's handle list (SystemHandleInformation).
struct HandleEntry {
    ULONG ownerProcess;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

// The handles `process` holds. Wine answers GetProcessHandleCount with 0 for every
// process, so the count is taken from the system's handle list, which Wine does fill in.
bool CountHandles(HANDLE process, DWORD& count) {
    if (GetProcessHandleCount(process, &count) && count != 0) return true;
    const DWORD id = GetProcessId(process);
    std::vector<std::byte> buffer(1 << 16);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                              nullptr)) ==
           static_cast<NTSTATUS>(0xC0000004))  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status < 0) return false;
    ULONG rows = 0;
    std::memcpy(&rows, buffer.data(), sizeof rows);
    const auto* entry = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    count = 0;
    for (ULONG i = 0; i < rows; ++i) count += entry[i].ownerProcess == id;
    return true;
}

int Cycles() {
    const char* text = std::getenv("K7_PRESENCE_CYCLES");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 20;
}

class PresenceSoak : public PresenceFixture {
protected:
    // How a cycle's arrival and removal reach the agent.
    enum class Kind { kPlatform, kSentBeforeTheDriver };
    // Plugging starts the driver before it announces the keyboard, so an arrival ahead of
    // the driver can only be sent; every other cycle is the platform's own.
    static Kind KindOf(int cycle) { return cycle % 4 == 3 ? Kind::kSentBeforeTheDriver : Kind::kPlatform; }

    bool Arrive(Kind kind) {
        if (kind == Kind::kPlatform) return Plug();
        if (kind == Kind::kSentBeforeTheDriver) {
            if (!k7testbed::StopKeyboard()) return false;
            if (!SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface)) return false;
            client.Pump(3 * kDeviceRetryPeriodMs);  // some ticks fail
            return k7testbed::StartKeyboard();
        }
        return SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface);
    }
    bool Remove(Kind kind) {
        if (kind == Kind::kPlatform) return Unplug();
        return SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface);
    }
    std::uint32_t OpenHandles() {
        oxkbd::State state{};
        EXPECT_TRUE(k7testbed::ReadKeyboardState(state)) << k7testbed::KeyboardError();
        return state.handlesOpen;
    }
};

TEST_F(PresenceSoak, ArrivalsAndRemovalsNeverHoldTwoHandlesNorLeak) {
    ASSERT_TRUE(k7testbed::StopKeyboard());
    StartAgent();
    DWORD handlesAtStart = 0;
    const bool counted = CountHandles(agent.Process(), handlesAtStart);
    const int cycles = Cycles();
    int closes = 0;
    for (int cycle = 0; cycle < cycles && !HasFailure(); ++cycle) {
        const Kind kind = KindOf(cycle);
        ASSERT_TRUE(Arrive(kind)) << "cycle " << cycle << ": " << k7testbed::KeyboardError();
        EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "cycle " << cycle << ": not one open handle";
        ASSERT_TRUE(Remove(kind)) << "cycle " << cycle << ": " << k7testbed::KeyboardError();
        EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0, kWaitMs)) << "cycle " << cycle << ": handle kept";
        EXPECT_LE(OpenHandles(), 1u) << "cycle " << cycle;
        ++closes;
        if (cycle == 0 && counted) CountHandles(agent.Process(), handlesAtStart);
    }
    // Each removal closed the configuration window once.
    client.Pump(kQuietMs);
    std::size_t closesSeen = 0;
    for (const Received& r : client.ReceivedMessages()) closesSeen += r.msg == WM_CLOSE;
    EXPECT_EQ(closesSeen, static_cast<std::size_t>(closes));
    client.ClearReceived();

    DWORD handlesAtEnd = 0;
    if (counted && CountHandles(agent.Process(), handlesAtEnd)) {
        std::printf("agent handles: %lu after the first cycle, %lu after %d\n", handlesAtStart, handlesAtEnd, cycles);
        EXPECT_GT(handlesAtStart, 0u) << "a count of nothing proves nothing";
        EXPECT_LE(handlesAtEnd, handlesAtStart + 8) << "the agent's handles grew";
    } else {
        ADD_FAILURE() << "the agent's handles could not be counted";
    }

    ASSERT_TRUE(Plug());
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs));
    LRESULT result = 0;
    ASSERT_TRUE(client.Apply(kWaitMs, &result));
    EXPECT_EQ(result, 1);
    client.WaitForReceived(3, kWaitMs);
    const Received expected[] = {{client.Window(), WM_APPLY_PROGRESS, 0, 25},
                                 {client.Window(), WM_APPLY_PROGRESS, 0, 50},
                                 {client.Window(), WM_APPLY_PROGRESS, 0, 100}};
    ExpectReceived(client, expected, "apply after the soak");
}

}  // namespace
