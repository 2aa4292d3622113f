// The agent as a process under Wine against the virtual keyboard: the driver late, hostile
// messages from another process, and its idle and start-up figures. After each test the
// keyboard's own record must show no request of a wrong size and only tables the agent may
// write (KeyboardChecks.h); requests failing in turn are AgentFaultSweepTest.cpp's.
#include "AgentTestSupport.h"
#include "KeyboardChecks.h"
#include "k7testbed/VirtualKeyboard.h"
#include "app/Messages.h"
#include "keyconfig/DeviceKeyTable.h"

#include <dbt.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using configclient::CConfigClient;

namespace {

class AgentUnderFire : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
        ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
        ASSERT_TRUE(client.Connect(kWaitMs));
        ASSERT_TRUE(client.Register(kWaitMs));
    }
    void TearDown() override { ExpectUnharmedAfterFaults(agent, client, "after the test"); }

    CAgentProcess agent;
    CConfigClient client;
};

// The keyboard arrives but its driver answers only 5 s later: the agent retries quietly
// and resynchronises once the driver is up.
TEST_F(AgentUnderFire, DriverNotReadyForFiveSecondsAfterArrival) {
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface));
    client.Pump(5000);
    EXPECT_TRUE(agent.Running());
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not reopen the channel";
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    EXPECT_GE(s.counters[oxkbd::kReadKeyTable].accepted, 1u) << "no resynchronisation after the driver came up";
}

// Records sent as another process sends them: the system copies as many bytes as the
// record's size field says.
TEST_F(AgentUnderFire, HostileDeviceNotifications) {
    const std::wstring path = kKeyboardInterface;
    std::vector<std::uint8_t> whole(28 + 2 * (path.size() + 1));
    auto put32 = [](std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); };
    put32(whole.data(), static_cast<std::uint32_t>(whole.size()));
    put32(whole.data() + 4, DBT_DEVTYP_DEVICEINTERFACE);
    std::memcpy(whole.data() + 28, path.c_str(), 2 * (path.size() + 1));
    const WPARAM events[] = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEQUERYREMOVE, 0x8003};
    int sent = 0;
    auto send = [&](std::vector<std::uint8_t> record, std::uint32_t sizeField, std::uint32_t type) {
        put32(record.data(), sizeField);
        put32(record.data() + 4, type);
        for (WPARAM event : events) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(agent.Window(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()),
                                SMTO_NORMAL, kWaitMs, &result);
            ++sent;
        }
    };
    for (std::uint32_t size : {4u, 7u, 8u, 12u, 27u, 28u, 29u, 30u, 60u})
        send(whole, size, DBT_DEVTYP_DEVICEINTERFACE);
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 6u, 0xFFFFFFFFu})
        send(whole, static_cast<std::uint32_t>(whole.size()), type);
    // No terminating zero, and a path of 40,000 characters without one.
    auto unterminated = whole;
    unterminated.resize(whole.size() - 2);
    send(unterminated, static_cast<std::uint32_t>(unterminated.size()), DBT_DEVTYP_DEVICEINTERFACE);
    std::vector<std::uint8_t> huge(28 + 80000, 0x41);
    send(huge, static_cast<std::uint32_t>(huge.size()), DBT_DEVTYP_DEVICEINTERFACE);
    for (WPARAM event : events) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(agent.Window(), WM_DEVICECHANGE, event, 0, SMTO_NORMAL, kWaitMs, &result);
    }
    RecordProperty("sent", sent);
    // A real removal and arrival still work.
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEARRIVAL, kKeyboardInterface));
}

TEST_F(AgentUnderFire, RegistrationsOfAbsentWindowsThenABurstOfApplies) {
    for (UINT_PTR window : {UINT_PTR{1}, UINT_PTR{0xDEAD0}, UINT_PTR{0xFFFFFFFF}, ~UINT_PTR{0}})
        ASSERT_TRUE(client.Send(WM_REGISTER_CONFIG_WINDOW, window, 0, kWaitMs));
    ASSERT_TRUE(client.Apply(kWaitMs));
    ASSERT_TRUE(client.Register(kWaitMs));
    const int burst = [] {
        char value[16] = {};
        return GetEnvironmentVariableA("K7_APPLY_BURST", value, sizeof value) ? std::atoi(value) : 500;
    }();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    for (int i = 0; i < burst; ++i) ASSERT_TRUE(client.Apply(kWaitMs)) << "apply " << i;
    EXPECT_TRUE(client.WaitForReceived(3 * burst, kWaitMs));
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s));
    EXPECT_EQ(s.counters[oxkbd::kWriteKeyTable].accepted, static_cast<std::uint32_t>(burst));
}

// The figures: start-up to the task window against a minimal window program started the
// same way, the agent's private memory, and its CPU time over a few idle seconds with the
// channel open. Printed, never compared with a time.
double SecondsToWindow(const std::wstring& program, const wchar_t* title, PROCESS_INFORMATION& info) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + program + L"\"";
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info))
        return -1;
    while (!FindWindowW(nullptr, title)) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) return -1;
        Sleep(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto v = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; };
    return v(kernel) + v(user);
}

TEST(AgentFigures, StartUpMemoryAndIdle) {
    const DWORD idleMs = [] {
        char value[16] = {};
        return GetEnvironmentVariableA("K7_IDLE_SECONDS", value, sizeof value) ? 1000u * std::atoi(value) : 3000u;
    }();
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    PROCESS_INFORMATION warmUp{}, minimal{}, agent{};
    // The first program started pays for what Wine starts once per prefix.
    ASSERT_GT(SecondsToWindow(BesideTestProgram(L"k7_minimal_window.exe"), L"K7MinimalWindow", warmUp), 0);
    TerminateProcess(warmUp.hProcess, 0);
    WaitForSingleObject(warmUp.hProcess, kWaitMs);
    CloseHandle(warmUp.hProcess);
    CloseHandle(warmUp.hThread);
    const double minimalSeconds = SecondsToWindow(BesideTestProgram(L"k7_minimal_window.exe"), L"K7MinimalWindow", minimal);
    ASSERT_GT(minimalSeconds, 0);
    const double agentSeconds = SecondsToWindow(BesideTestProgram(L"K7_Setting.exe"), L"OrvexK7_Setting", agent);
    ASSERT_GT(agentSeconds, 0);
    Sleep(500);  // let creation finish before the idle period

    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(agent.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    const double cpuBefore = CpuSeconds(agent.hProcess);
    Sleep(idleMs);
    const double cpuIdle = CpuSeconds(agent.hProcess) - cpuBefore;

    std::printf("start-up to window: agent %.3f s, minimal program %.3f s, ratio %.2f\n", agentSeconds, minimalSeconds,
                agentSeconds / minimalSeconds);
    // Wine leaves PrivateUsage 0; its PagefileUsage is the private commit, as on Windows.
    const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    std::printf("agent private memory: %.0f KiB, working set %.0f KiB\n", privateBytes / 1024.0,
                memory.WorkingSetSize / 1024.0);
    std::printf("agent CPU time over %.0f s idle: %.3f s\n", idleMs / 1000.0, cpuIdle);
    RecordProperty("startup_ratio", std::to_string(agentSeconds / minimalSeconds));
    RecordProperty("private_kib", static_cast<int>(privateBytes / 1024));
    RecordProperty("idle_cpu_ms", static_cast<int>(cpuIdle * 1000));
    // Idle means no work: far less than a timer's worth of wake-ups would cost.
    EXPECT_LT(cpuIdle, 0.05 * idleMs / 1000.0 + 0.02);

    for (PROCESS_INFORMATION* p : {&agent, &minimal}) {
        TerminateProcess(p->hProcess, 0);
        WaitForSingleObject(p->hProcess, kWaitMs);
        CloseHandle(p->hProcess);
        CloseHandle(p->hThread);
    }
}

}  // namespace
