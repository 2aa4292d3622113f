// Every control request failing in turn, under Wine, with the agent as a process against the
// virtual keyboard: in its creation, an apply, the factory restore, a report rate and the
// resynchronisation on arrival. Each sequence first runs clean, and the keyboard's counters
// give how many requests of each code it makes; then each of those requests fails alone, and
// from there onward. After every run the keyboard's own record must show nothing rejected
// but the injected failures, only tables the agent may write, the agent still running and
// still applying (KeyboardChecks.h).
#include "AgentTestSupport.h"
#include "KeyboardChecks.h"
#include "SavedSettings.h"

#include "app/Messages.h"
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"
#include "keyconfig/DeviceKeyTable.h"

#include <dbt.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using configclient::CConfigClient;

namespace {

// The keyboard as the agent may find it: keys changed by an earlier configuration, two of
// them naming combination slots that hold their combinations, and the mark gone.
constexpr int kSlotX = 20, kSlotZ = 12, kSlotNine = 63;
const CombinationKeys kControlX = {0, 0xE0, 0, 0x1B, 0, 0, 0, 0};
const CombinationKeys kControlV = {0, 0xE0, 0, 0x19, 0, 0, 0, 0};

DeviceKeyTable FoundTable() {
    DeviceKeyTable t = FactoryKeyTable();
    t.slots[kSlotZ] = KeyEntry{{KindConsumer, 0, 0x00, 0xE2}};
    t.slots[kSlotX] = KeyEntry{{KindCombination, 0, 3, 8}};
    t.slots[kSlotNine] = KeyEntry{{KindCombination, 0, 5, 8}};
    t.slots[kMarkSlot] = KeyEntry{};
    return t;
}

// A stored configuration whose apply makes every kind of request an apply makes: a remap,
// a consumer key, a mouse button, two macros and two combinations (one of them a fixed
// shortcut). No record names virtual key 0xC1, so the mark's slot is the translation's to
// leave alone.
std::unique_ptr<SettingBuffers> EveryKindOfAssignment() {
    auto b = DefaultSettings();
    SetOneKeyOfEachKind(*b);                 // D: macro 1, E: Left Control + C
    SetRecord(*b, 6, 0x47, AssignMacro, 1);  // G: macro 2
    for (int m = 0; m < 2; ++m) {
        MacroRecord& r = b->macros.records[m];
        r.eventCount[0] = 2;
        r.events[0] = {static_cast<std::uint8_t>(0x41 + m), 1, {}, {}};
        StoreLe32(r.events[0].delay, 120);
        r.events[1] = {static_cast<std::uint8_t>(0x41 + m), 0, {}, {}};
    }
    StoreLe32(b->macros.count, 2);
    b->combinations.records[0].vks[0] = 0xA2;
    b->combinations.records[0].vks[1] = 0x43;
    return b;
}

class AgentFaultSweep : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "a handle of an earlier program is still open";
        ASSERT_TRUE(settings.Write(*EveryKindOfAssignment()));
    }
    void TearDown() override {
        k7testbed::FailNextRequests(0, 0);
        StopAgent();
    }

    // Resets the keyboard and gives it the found table and its two combinations through a
    // channel of the test's own; the agent's channel must be closed.
    void GiveKeyboardFoundTable() {
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        {
            CWin32DeviceIo io;
            CUSBDriver driver(io);
            ASSERT_TRUE(driver.Open());
            ASSERT_TRUE(driver.WriteKeyTable(FoundTable()));
            ASSERT_TRUE(driver.WriteCombination(3, kControlX));
            ASSERT_TRUE(driver.WriteCombination(5, kControlV));
        }
        ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << k7testbed::KeyboardError();
    }
    void StartAgent() {
        agent = std::make_unique<CAgentProcess>();
        ASSERT_TRUE(agent->Start()) << "the agent did not show its window";
        ASSERT_TRUE(client.Connect(kWaitMs));
        ASSERT_TRUE(client.Register(kWaitMs));
    }
    void StopAgent() {
        if (!agent) return;
        PostMessageW(agent->Window(), WM_CLOSE, 0, 0);
        DWORD exitCode = 0xDEAD;
        EXPECT_TRUE(agent->WaitForExit(kWaitMs, &exitCode)) << "the agent did not end on WM_CLOSE";
        EXPECT_EQ(exitCode, 0u) << "the agent ended abnormally";
        agent.reset();
        EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << k7testbed::KeyboardError();
    }
    // The running agent in a known state: its combination cache empty (the factory restore
    // clears it), then the keyboard removed and given the found table. Ends with the
    // agent's channel closed.
    void RemoveAndRefill() {
        if (!agent) StartAgent();
        ASSERT_TRUE(client.RestoreFactory(kWaitMs));
        ASSERT_TRUE(SendDeviceChange(agent->Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
        ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "the agent kept its channel after the removal";
        GiveKeyboardFoundTable();
    }
    void Arrive() {
        EXPECT_TRUE(SendDeviceChange(agent->Window(), DBT_DEVICEARRIVAL, kKeyboardInterface)) << "no answer";
    }

    CSavedSettings settings;
    std::unique_ptr<CAgentProcess> agent;
    CConfigClient client;
};

struct Sequence {
    const char* name;
    bool translates;  // the translation's entries may reach the keyboard
    std::function<void()> prepare;
    std::function<void()> run;
};

TEST_F(AgentFaultSweep, EveryRequestFailingInTurnInEverySequence) {
    const Sequence sequences[] = {
        // A new agent over the found table: it reads the table and the two combinations.
        {"creation", false,
         [&] {
             StopAgent();
             GiveKeyboardFoundTable();
         },
         [&] { StartAgent(); }},
        {"apply", true,
         [&] {
             RemoveAndRefill();
             Arrive();
         },
         [&] { EXPECT_TRUE(client.Apply(kWaitMs)) << "no answer"; }},
        {"factory restore", false,
         [&] {
             RemoveAndRefill();
             Arrive();
         },
         [&] { EXPECT_TRUE(client.RestoreFactory(kWaitMs)) << "no answer"; }},
        {"report rate", false,
         [&] {
             RemoveAndRefill();
             Arrive();
         },
         [&] { EXPECT_TRUE(client.SetReportRate(2, kWaitMs)) << "no answer"; }},
        // The arrival reads the table, repairs its mark, reads it again and the combinations.
        {"resynchronisation", false, [&] { RemoveAndRefill(); }, [&] { Arrive(); }},
    };
    const DeviceKeyTable found = FoundTable();
    int runs = 0;
    for (const Sequence& sequence : sequences) {
        const ULONGLONG start = GetTickCount64();
        const int runsBefore = runs;
        sequence.prepare();
        ASSERT_FALSE(HasFatalFailure()) << sequence.name;
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
        sequence.run();
        ASSERT_FALSE(HasFatalFailure()) << sequence.name;
        oxkbd::State clean{};
        ASSERT_TRUE(k7testbed::ReadKeyboardState(clean)) << k7testbed::KeyboardError();
        ExpectUnharmedAfterFaults(*agent, client, std::string(sequence.name) + ", clean", found, sequence.translates);

        std::string counts;
        for (std::uint32_t kind = 0; kind < oxkbd::kOther; ++kind) {
            const std::uint32_t code = oxkbd::kRequestShapes[kind].code;
            if (clean.counters[kind].accepted != 0)
                counts += " " + std::to_string(clean.counters[kind].accepted) + " " + oxkbd::kRequestNames[kind];
            for (std::uint32_t nth = 1; nth <= clean.counters[kind].accepted; ++nth) {
                for (bool onward : {false, true}) {
                    const std::string context = std::string(sequence.name) + ", " + oxkbd::kRequestNames[kind] + " #" +
                                                std::to_string(nth) + (onward ? " onward" : " alone") + " failing";
                    sequence.prepare();
                    ASSERT_FALSE(HasFatalFailure()) << context;
                    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
                    ASSERT_TRUE(k7testbed::FailRequests(code, nth - 1, onward ? oxkbd::kFailAll : 1u));
                    sequence.run();
                    ASSERT_FALSE(HasFatalFailure()) << context;
                    oxkbd::State s{};
                    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
                    EXPECT_GE(s.failInjected, 1u) << context << ": the request did not come";
                    EXPECT_LE(s.tablesReceived, oxkbd::kTableLogCapacity) << context << ": tables left unchecked";
                    ExpectUnharmedAfterFaults(*agent, client, context, found, sequence.translates);
                    ASSERT_FALSE(HasFatalFailure()) << context;
                    ++runs;
                }
            }
        }
        std::printf("%s:%s; %d runs, %.1f s\n", sequence.name, counts.c_str(), runs - runsBefore,
                    (GetTickCount64() - start) / 1000.0);
    }
    RecordProperty("runs", runs);
}

// Slot 3, which key X names, cannot be read back at creation: the apply that follows places
// its two combinations elsewhere and leaves slot 3 holding X's combination.
TEST_F(AgentFaultSweep, ASlotThatCouldNotBeReadBackKeepsItsCombinationThroughAnApply) {
    GiveKeyboardFoundTable();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::FailRequests(oxkbd::kRequestShapes[oxkbd::kReadCombination].code, 0, 1));
    StartAgent();
    EXPECT_TRUE(client.Apply(kWaitMs)) << "no answer";
    oxkbd::State s{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    EXPECT_EQ(s.failInjected, 1u);
    EXPECT_EQ(s.table.slots[kSlotX], (KeyEntry{{KindCombination, 0, 3, 8}}));
    const CombinationKeys held = {s.combinations[3][1], s.combinations[3][2], s.combinations[3][3],
                                  s.combinations[3][4], s.combinations[3][5], s.combinations[3][6],
                                  s.combinations[3][7], s.combinations[3][8]};
    EXPECT_EQ(held, kControlX);
}

}  // namespace
