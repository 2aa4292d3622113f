// The agent as a process with the virtual keyboard plugged in and pulled out as a Plug and
// Play device, so that every arrival and removal the agent sees is the platform's own.
#include "AgentPresenceSupport.h"

#include "driver/win32/CHidDevice.h"

using configclient::Received;

namespace {

using Kinds = std::vector<oxkbd::RequestKind>;

class AgentPresence : public PresenceFixture {};

// A run of `exe` under this thread as its debugger: the texts it wrote to the debugger
// output, in order, and its exit code.
struct DebuggedRun {
    std::vector<std::wstring> texts;
    DWORD exitCode = ~0u;
};

DebuggedRun RunUnderDebugger(const std::wstring& exe) {
    DebuggedRun run;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &si, &pi)) {
        ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
        return run;
    }
    bool ended = false;
    DEBUG_EVENT ev;
    while (!ended && WaitForDebugEvent(&ev, kWaitMs)) {
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoint is the debugger's to pass; anything else is the program's.
            if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            // The length counts the terminating zero; the text may come as ANSI or as UTF-16.
            const OUTPUT_DEBUG_STRING_INFO& info = ev.u.DebugString;
            const SIZE_T unit = info.fUnicode ? 2 : 1;
            std::vector<BYTE> bytes(info.nDebugStringLength * unit);
            SIZE_T read = 0;
            EXPECT_TRUE(ReadProcessMemory(pi.hProcess, info.lpDebugStringData, bytes.data(), bytes.size(), &read));
            std::wstring text;
            for (SIZE_T i = 0; i + unit <= read; i += unit)
                text += static_cast<wchar_t>(unit == 2 ? bytes[i] | (bytes[i + 1] << 8) : bytes[i]);
            run.texts.push_back(text.substr(0, text.find(L'\0')));
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            run.exitCode = ev.u.ExitProcess.dwExitCode;
            ended = true;
            break;
        }
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
    }
    EXPECT_TRUE(ended) << "the debugged program did not end";
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

// The presence test tells its debugger exactly when it found the keyboard.
TEST_F(AgentPresence, TheDeviceSearchNamesTheKeyboardToTheDebuggerOnlyWhenFound) {
    const std::wstring probe = BesideTestProgram(L"k7_find_device_probe.exe");
    const DebuggedRun absent = RunUnderDebugger(probe);
    EXPECT_EQ(absent.exitCode, 0u);
    EXPECT_EQ(absent.texts, std::vector<std::wstring>{});

    ASSERT_TRUE(Plug());
    const DebuggedRun present = RunUnderDebugger(probe);
    EXPECT_EQ(present.exitCode, 1u);
    EXPECT_EQ(present.texts, std::vector<std::wstring>{L"Success:Found K7 device\n"});
}

// The keyboard comes up after the agent: one read, a second read after the (absent)
// repair, then nothing but combination read-backs, on one handle.
TEST_F(AgentPresence, PluggingInResynchronisesOnceWithoutWritingAMarkedTable) {
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    StartAgent();
    EXPECT_FALSE(CHidDevice().FindDevice());
    ASSERT_TRUE(Plug());
    const auto state = SettledState();
    EXPECT_EQ(WithoutCombinationReads(LoggedKinds(*state)), (Kinds{oxkbd::kReadKeyTable, oxkbd::kReadKeyTable}))
        << DescribeLog(*state);
    EXPECT_EQ(state->handlesOpened, 1u);
    EXPECT_EQ(state->handlesOpen, 1u);
    client.Pump(kQuietMs);
    EXPECT_TRUE(client.ReceivedMessages().empty()) << configclient::Describe(client.ReceivedMessages());
}

TEST_F(AgentPresence, PluggingInRepairsAnUnmarkedTableWithOneWriteAndReadsItAgain) {
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    StartAgent();
    // The service comes up unplugged, which the agent does not hear of.
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kUnmarkedTable)) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
    ASSERT_TRUE(Plug());
    const auto state = SettledState();
    EXPECT_EQ(WithoutCombinationReads(LoggedKinds(*state)),
              (Kinds{oxkbd::kReadKeyTable, oxkbd::kWriteKeyTable, oxkbd::kReadKeyTable}))
        << DescribeLog(*state);
    const KeyEntry mark{{0x70, 0xFF, 0, 0}};
    EXPECT_EQ(state->table.slots[kMarkSlot], mark);
    EXPECT_EQ(state->handlesOpened, 1u);
}

// Each removal closes the handle and the configuration window, each arrival reopens.
TEST_F(AgentPresence, UnpluggingClosesTheChannelAndTheConfigWindowEachTime) {
    ASSERT_TRUE(Plug());
    StartAgent();
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs));
    EXPECT_TRUE(CHidDevice().FindDevice());

    ASSERT_TRUE(Unplug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0, kWaitMs)) << "the agent kept its handle";
    EXPECT_FALSE(CHidDevice().FindDevice());
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    const Received one[] = {{client.Window(), WM_CLOSE, 0, 0}};
    ExpectReceived(client, one, "first removal");

    ASSERT_TRUE(Plug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not reopen";
    EXPECT_TRUE(CHidDevice().FindDevice());
    client.Pump(kQuietMs);
    EXPECT_TRUE(client.ReceivedMessages().empty()) << configclient::Describe(client.ReceivedMessages());

    ASSERT_TRUE(Unplug());
    EXPECT_TRUE(k7testbed::WaitForKeyboardHandles(0, kWaitMs));
    client.WaitForReceived(1, kWaitMs);
    client.Pump(kQuietMs);
    ExpectReceived(client, one, "second removal");
    oxkbd::State state{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state));
    EXPECT_EQ(state.handlesOpened, 2u);
    EXPECT_EQ(state.handlesClosed, 2u);
}

}  // namespace
