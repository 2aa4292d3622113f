// The agent's figures under Wine, each beside a reference measured in the same run: start-up
// to the tray icon and private memory against two programs with a tray icon started the same
// way (a bare one, and one that also does the agent's start-up work), the configuration
// program's start-up to its drawn keyboard against the same two, the messages its windows
// receive while idle, and the heaviest apply seen from a configuration window against the same
// device requests sent by a bare client. The shared machine's load moves a single run by a
// factor of two: runs interleave and medians are taken. Figures are printed, never compared
// with a goal.
#include "AgentTestSupport.h"
#include "HeavySettings.h"
#include "MessageCount.h"
#include "SavedSettings.h"
#include "TrayIconProbe.h"
#include "k7testbed/StartProcess.h"
#include "k7testbed/VirtualKeyboard.h"
#include "app/Messages.h"
#include "config/win32/ConfigWindowClasses.h"
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "keyconfig/SettingsStore.h"
#include "keyconfig/win32/Win32Registry.h"
#include "ui/TrayCommands.h"

#include <dbt.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using configclient::CConfigClient;

namespace {

// A program started for its figures, ended when the object goes: its icon (`iconId` 0: it has
// none) is taken out of the notification area first, so that Wine's removal of a killed
// program's icon cannot overlap the next start.
class CStartedProgram {
public:
    // A null `title` finds the window by its class `cls` alone: the configuration program's
    // title changes as soon as it shows what it edits.
    CStartedProgram(const wchar_t* exe, const wchar_t* title, UINT iconId, const wchar_t* cls = nullptr)
        : m_title(title), m_cls(cls), m_nIconId(iconId) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        const std::wstring program = BesideTestProgram(exe);
        std::wstring cmd = L"\"" + program + L"\"";
        m_start = std::chrono::steady_clock::now();
        k7testbed::StartProcess(program.c_str(), cmd.data(), FALSE, 0, &si, &m_info);
    }
    ~CStartedProgram() {
        if (m_info.hProcess == nullptr) return;
        if (m_hWindow != nullptr && m_nIconId != 0) {
            NOTIFYICONDATAW icon = TrayIcon(m_hWindow, m_nIconId);
            Shell_NotifyIconW(NIM_DELETE, &icon);
        }
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, kWaitMs);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    CStartedProgram(const CStartedProgram&) = delete;
    CStartedProgram& operator=(const CStartedProgram&) = delete;

    // Waits (at most 20 s) for the program's tray icon and notes when it came.
    bool WaitForTrayIcon() {
        return WaitUntilReady([this] { return TrayIconExists(m_hWindow, m_nIconId); });
    }
    // The same for the configuration program's keyboard: `keys` key windows exist, and the
    // main window, the keyboard view and every key have been painted (no update region left,
    // which BeginPaint empties) and the thread is back in its loop (a sent message answered,
    // so the last WM_PAINT has returned). Asked from outside: the program is not changed.
    bool WaitForDrawnKeyboard(std::size_t keys) {
        return WaitUntilReady([this, keys] {
            if (!IsWindowVisible(m_hWindow) || GetUpdateRect(m_hWindow, nullptr, FALSE)) return false;
            const HWND view = GetDlgItem(m_hWindow, IDC_KEYBOARD);
            if (view == nullptr || GetUpdateRect(view, nullptr, FALSE)) return false;
            std::size_t drawn = 0;
            for (HWND key = FindWindowExW(view, nullptr, kKeyClass, nullptr); key != nullptr;
                 key = FindWindowExW(view, key, kKeyClass, nullptr), ++drawn)
                if (GetUpdateRect(key, nullptr, FALSE)) return false;
            DWORD_PTR result = 0;
            return drawn >= keys && SendMessageTimeoutW(m_hWindow, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &result);
        });
    }
    double SecondsToReady() const { return m_toReady; }  // since CreateProcess
    HWND Window() const { return m_hWindow; }
    HANDLE Process() const { return m_info.hProcess; }

private:
    double Elapsed() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }
    // Polls every millisecond, once the window titled as expected exists, until `ready`.
    template <typename Ready> bool WaitUntilReady(Ready ready) {
        if (m_info.hProcess == nullptr) return false;
        for (;;) {
            if (m_hWindow == nullptr) m_hWindow = FindWindowOfProcess(m_info.dwProcessId, m_title, m_cls);
            if (m_hWindow != nullptr && ready()) break;
            if (Elapsed() > 20) return false;
            Sleep(1);
        }
        m_toReady = Elapsed();
        return true;
    }

    const wchar_t* m_title;
    const wchar_t* m_cls;
    UINT m_nIconId;
    PROCESS_INFORMATION m_info{};
    std::chrono::steady_clock::time_point m_start;
    HWND m_hWindow = nullptr;
    double m_toReady = 0;
};

// Wine's stand-alone notification area (there is no window manager under Xvfb) hides
// itself when its last icon goes, and hiding stalls it for 2 s waiting for a window manager
// to confirm. An icon of the test's own keeps it shown while programs come and go.
class CTrayAnchor {
public:
    CTrayAnchor() {
        HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        m_icon = TrayIcon(owner, 1);
        m_icon.uFlags = NIF_ICON;
        m_icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        m_bAdded = Shell_NotifyIconW(NIM_ADD, &m_icon);
    }
    ~CTrayAnchor() {
        if (m_bAdded) Shell_NotifyIconW(NIM_DELETE, &m_icon);
        DestroyWindow(m_icon.hWnd);
    }
    CTrayAnchor(const CTrayAnchor&) = delete;
    CTrayAnchor& operator=(const CTrayAnchor&) = delete;
    bool Added() const { return m_bAdded; }

private:
    NOTIFYICONDATAW m_icon{};
    bool m_bAdded = false;
};

// Counts, through MessageCountHook.cpp loaded into the window's process, what the window
// and the other windows of its thread receive from the moment of construction.
class CMessageCounter {
public:
    explicit CMessageCounter(HWND window) {
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        m_hMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(messagecount::Counts),
                                        messagecount::MappingName(thread).c_str());
        if (m_hMapping == nullptr) return;
        m_pCounts = static_cast<messagecount::Counts*>(
            MapViewOfFile(m_hMapping, FILE_MAP_WRITE, 0, 0, sizeof(messagecount::Counts)));
        HMODULE hook = LoadLibraryW(BesideTestProgram(L"k7_message_count.dll").c_str());
        if (m_pCounts == nullptr || hook == nullptr) return;
        m_pCounts->window = reinterpret_cast<std::uint64_t>(window);
        auto proc = [&](const char* name) {
            return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook, name)));
        };
        m_hRemoved = SetWindowsHookExW(WH_GETMESSAGE, proc("CountRemovedMessage"), hook, thread);
        m_hSent = SetWindowsHookExW(WH_CALLWNDPROC, proc("CountSentMessage"), hook, thread);
    }
    ~CMessageCounter() {
        if (m_hRemoved) UnhookWindowsHookEx(m_hRemoved);
        if (m_hSent) UnhookWindowsHookEx(m_hSent);
        if (m_pCounts) UnmapViewOfFile(m_pCounts);
        if (m_hMapping) CloseHandle(m_hMapping);
    }
    CMessageCounter(const CMessageCounter&) = delete;
    CMessageCounter& operator=(const CMessageCounter&) = delete;

    bool Installed() const { return m_hRemoved != nullptr && m_hSent != nullptr; }
    LONG Count(messagecount::Kind kind) const { return m_pCounts->byKind[kind]; }
    LONG ToWindow() const { return Count(messagecount::kPostedToWindow) + Count(messagecount::kSentToWindow); }
    LONG ToOthers() const { return Count(messagecount::kPostedToOther) + Count(messagecount::kSentToOther); }
    // The last arrivals (at most the ring's size), oldest first: "posted to window 0x113, ...".
    std::string Last() const {
        static const char* const kinds[] = {"posted to window", "sent to window", "posted to other", "sent to other"};
        const LONG total = m_pCounts->arrivals;
        std::string text;
        char item[48];
        for (LONG i = std::max<LONG>(0, total - LONG{messagecount::kRingSize}); i < total; ++i) {
            const messagecount::Arrival& a = m_pCounts->ring[i % messagecount::kRingSize];
            std::snprintf(item, sizeof item, "%s%s 0x%04X", text.empty() ? "" : ", ",
                          kinds[a.kind % messagecount::kKindCount], a.message);
            text += item;
        }
        return text;
    }
    // Waits until `kind` reached `count`; the hook counts on the other thread's time.
    bool WaitFor(messagecount::Kind kind, LONG count) const {
        for (DWORD waited = 0; Count(kind) < count; waited += 10) {
            if (waited >= kWaitMs) return false;
            Sleep(10);
        }
        return true;
    }

private:
    HANDLE m_hMapping = nullptr;
    messagecount::Counts* m_pCounts = nullptr;
    HHOOK m_hRemoved = nullptr;
    HHOOK m_hSent = nullptr;
};

// The configuration program, titled as the shipped language.xml names it, and the keys the
// shipped ButtonPos.xml places.
constexpr wchar_t kConfigExe[] = L"K7_Config.exe";
constexpr std::size_t kShippedKeys = 108;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double CpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto v = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7; };
    return v(kernel) + v(user);
}

// A whole number from the environment, or `fallback`: the benchmark script asks for longer
// runs than the test suite's.
int EnvNumber(const char* name, int fallback) {
    char value[16] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) ? std::atoi(value) : fallback;
}

// Interleaved runs per figure.
int FigureRuns() { return std::max(1, EnvNumber("K7_FIGURE_RUNS", 3)); }

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// What one process holds privately, read two ways. Committed: the pages of its private regions
// (heaps, stacks, VirtualAlloc) as the Windows side of the process committed them, summed
// region by region. Resident: what Wine reports as PagefileUsage, the host process's anonymous
// resident pages and swap (RssAnon + VmSwap of /proc/PID/status), Wine's own host-side
// allocations included; it grows with every page touched. (Wine leaves PrivateUsage 0; on
// Windows PrivateUsage and PagefileUsage are both the private commit.)
struct PrivateMemory {
    double committedKib = 0, residentKib = 0;
};

PrivateMemory ReadPrivateMemory(HANDLE process) {
    PrivateMemory m;
    MEMORY_BASIC_INFORMATION region;
    for (const char* p = nullptr; VirtualQueryEx(process, p, &region, sizeof region) == sizeof region;
         p = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) m.committedKib += region.RegionSize / 1024.0;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    m.residentKib = (counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024.0;
    return m;
}

// One program's figures over the runs: start-up to its tray icon, and its private memory once
// its queue is idle after that (the icon comes in the middle of the window's creation).
struct StartUpFigures {
    const wchar_t* exe;
    const wchar_t* title;
    UINT iconId;
    std::vector<double> seconds, committedKib, residentKib;

    // Starts the program and measures it; it is left running in `started`.
    void Run(std::unique_ptr<CStartedProgram>& started) {
        started.reset();  // one at a time: a second agent would end at once
        started = std::make_unique<CStartedProgram>(exe, title, iconId);
        ASSERT_TRUE(started->WaitForTrayIcon()) << "no tray icon from " << exe;
        ASSERT_EQ(WaitForInputIdle(started->Process(), kWaitMs), 0u);
        const PrivateMemory m = ReadPrivateMemory(started->Process());
        seconds.push_back(started->SecondsToReady());
        committedKib.push_back(m.committedKib);
        residentKib.push_back(m.residentKib);
    }
};

// The median of the runs' own ratios: a run's two figures were taken moments apart, under
// the same load, where the medians of each side may come from different moments.
double MedianRatio(const std::vector<double>& values, const std::vector<double>& references) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < values.size() && i < references.size(); ++i)
        ratios.push_back(values[i] / references[i]);
    return Median(ratios);
}

// "FIGURE, median of N: WHO A (lowest-highest), reference R, bare program B; ratio A/R,
// against the bare program A/B", values in `unit` with `digits` decimals.
void PrintAgainstReferences(const char* figure, const char* who, const char* unit, int digits,
                            const std::vector<double>& agent, const std::vector<double>& reference,
                            const std::vector<double>& bare) {
    const auto [low, high] = std::minmax_element(agent.begin(), agent.end());
    std::printf(
        "%s, median of %zu: %s %.*f %s (%.*f-%.*f), reference %.*f %s, bare program %.*f %s; "
        "ratio %.2f, against the bare program %.2f\n",
        figure, agent.size(), who, digits, Median(agent), unit, digits, *low, digits, *high, digits, Median(reference),
        unit, digits, Median(bare), unit, MedianRatio(agent, reference), MedianRatio(agent, bare));
}

TEST(AgentFigures, StartUpMemoryAndIdle) {
    const DWORD idleMs = 1000u * EnvNumber("K7_IDLE_SECONDS", 3);
    const CTrayAnchor anchor;
    ASSERT_TRUE(anchor.Added()) << "no notification area (explorer not running)";
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    // The first program started pays for what Wine starts once per prefix.
    ASSERT_TRUE(CStartedProgram(L"k7_startup_reference.exe", L"K7StartupReference", 1).WaitForTrayIcon());
    // So does the first that loads the common controls' version 6, which only the
    // configuration program asks for (its manifest).
    ASSERT_TRUE(CStartedProgram(kConfigExe, nullptr, 0, kConfigMainClass).WaitForDrawnKeyboard(kShippedKeys));
    StartUpFigures bare{L"k7_minimal_window.exe", L"K7MinimalWindow", 1, {}, {}, {}};
    StartUpFigures reference{L"k7_startup_reference.exe", L"K7StartupReference", 1, {}, {}, {}};
    StartUpFigures agentFigures{
        L"K7_Setting.exe", reinterpret_cast<const wchar_t*>(kTaskWindowTitle), kTrayIconId, {}, {}, {}};
    std::vector<double> configSeconds;
    std::unique_ptr<CStartedProgram> yardstick, agent;
    for (int i = 0; i < FigureRuns(); ++i) {
        agent.reset();
        ASSERT_NO_FATAL_FAILURE(bare.Run(yardstick));
        ASSERT_NO_FATAL_FAILURE(reference.Run(yardstick));
        yardstick.reset();
        {
            CStartedProgram config(kConfigExe, nullptr, 0, kConfigMainClass);
            ASSERT_TRUE(config.WaitForDrawnKeyboard(kShippedKeys)) << "no drawn keyboard from K7_Config.exe";
            configSeconds.push_back(config.SecondsToReady());
        }
        ASSERT_NO_FATAL_FAILURE(agentFigures.Run(agent));
    }
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(1, kWaitMs)) << "the agent did not open the channel";

    CMessageCounter counter(agent->Window());
    ASSERT_TRUE(counter.Installed()) << "hooks not installed, error " << GetLastError();
    const double cpuBefore = CpuSeconds(agent->Process());
    Sleep(idleMs);
    const double cpuIdle = CpuSeconds(agent->Process()) - cpuBefore;
    const LONG idleToWindow = counter.ToWindow(), idleToOthers = counter.ToOthers();
    const std::string idleArrivals = counter.Last();

    PrintAgainstReferences("start-up to tray icon", "agent", "s", 3, agentFigures.seconds, reference.seconds,
                           bare.seconds);
    PrintAgainstReferences("start-up of the configuration program to its drawn keyboard", "program", "s", 3,
                           configSeconds, reference.seconds, bare.seconds);
    PrintAgainstReferences("private memory (committed)", "agent", "KiB", 0, agentFigures.committedKib,
                           reference.committedKib, bare.committedKib);
    PrintAgainstReferences("private memory (resident, as Wine reports it)", "agent", "KiB", 0, agentFigures.residentKib,
                           reference.residentKib, bare.residentKib);
    std::printf(
        "agent messages over %.0f s idle: %ld to the task window, %ld to its thread's other windows; "
        "CPU time %.3f s\n",
        idleMs / 1000.0, idleToWindow, idleToOthers, cpuIdle);
    RecordProperty("startup_ratio", std::to_string(MedianRatio(agentFigures.seconds, reference.seconds)));
    RecordProperty("config_startup_ratio", std::to_string(MedianRatio(configSeconds, reference.seconds)));
    RecordProperty("private_kib", static_cast<int>(Median(agentFigures.committedKib)));
    RecordProperty("idle_messages", idleToWindow);
    RecordProperty("idle_messages_other_windows", idleToOthers);
    RecordProperty("idle_cpu_ms", static_cast<int>(cpuIdle * 1000));
    EXPECT_EQ(idleToWindow, 0) << "last arrivals: " << idleArrivals;
    // Work the hooks cannot see, such as a busy loop; too coarse for single wake-ups (a 100 ms
    // timer's 30 ticks in 3 s measure 0 s under Wine).
    EXPECT_LT(cpuIdle, 0.05 * idleMs / 1000.0 + 0.02);

    // Zero means none: one posted and one sent message are each counted once, as what they
    // are (the sent one is answered after the posted one was dispatched: one thread).
    const LONG posted = counter.Count(messagecount::kPostedToWindow), sent = counter.Count(messagecount::kSentToWindow);
    ASSERT_TRUE(PostMessageW(agent->Window(), WM_NULL, 0, 0));
    EXPECT_TRUE(counter.WaitFor(messagecount::kPostedToWindow, posted + 1)) << counter.Last();
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(agent->Window(), WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    EXPECT_EQ(counter.Count(messagecount::kPostedToWindow), posted + 1) << counter.Last();
    EXPECT_EQ(counter.Count(messagecount::kSentToWindow), sent + 1) << counter.Last();

    // The keyboard away after an arrival whose open failed: the retry's ticks are counted
    // while it runs, and once the removal stopped it the task window receives nothing again.
    ASSERT_TRUE(SendDeviceChange(agent->Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(k7testbed::StopKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(SendDeviceChange(agent->Window(), DBT_DEVICEARRIVAL, kKeyboardInterface));
    EXPECT_TRUE(counter.WaitFor(messagecount::kPostedToWindow, counter.Count(messagecount::kPostedToWindow) + 2))
        << "no retry after the failed open: " << counter.Last();
    ASSERT_TRUE(SendDeviceChange(agent->Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    const LONG awayBefore = counter.ToWindow();
    Sleep(idleMs);
    const LONG away = counter.ToWindow() - awayBefore;
    std::printf("agent messages over %.0f s idle, keyboard away: %ld to the task window\n", idleMs / 1000.0, away);
    RecordProperty("idle_messages_keyboard_away", away);
    EXPECT_EQ(away, 0) << "last arrivals: " << counter.Last();
    EXPECT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
}

// One request as the keyboard logged it, its input rebuilt from what the keyboard keeps: an
// input of up to kLogHeadSize bytes is logged whole, a macro is kept as received (number
// first), and every table sent is in the table log.
struct LoggedRequest {
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::uint32_t outSize;
};

// The requests since the counters were cleared, or none when the log cannot say them all.
std::vector<LoggedRequest> LoggedRequests(const oxkbd::State& s) {
    std::vector<LoggedRequest> requests;
    if (s.logCount == 0 || s.logCount == oxkbd::kLogCapacity || s.log[0].sequence != 1 ||
        s.tablesReceived > oxkbd::kTableLogCapacity)
        return {};
    std::uint32_t tables = 0;
    for (std::uint32_t i = 0; i < s.logCount; ++i) {
        const oxkbd::LogEntry& e = s.log[i];
        const std::uint8_t* in = e.head;
        if (e.code == IOCTL_WRITE_KEY_TABLE) {
            in = s.tableLog[tables++].Bytes();
        } else if (e.code == IOCTL_WRITE_MACRO) {
            if (e.head[0] >= oxkbd::kMacroCount) return {};
            in = s.macros[e.head[0]];
        } else if (e.inSize > oxkbd::kLogHeadSize) {
            return {};
        }
        requests.push_back({e.code, {in, in + e.inSize}, e.outSize});
    }
    return requests;
}

// The heaviest apply as a configuration program sees it, from posting WM_APPLY_SETTINGS from
// its registered window to receiving progress 100, against the same requests (codes, sizes,
// bytes, order, as the keyboard logged the agent's) sent by a bare client on a handle of its
// own. Each apply is paired with the replay of its own requests: the first one places the
// combinations, later ones find them in the agent's cache.
TEST(AgentFigures, HeaviestApplyAgainstItsRequests) {
    ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
    CSavedSettings saved;
    ASSERT_TRUE(saved.Write(*HeavySettings()));
    CAgentProcess agent;
    ASSERT_TRUE(agent.Start()) << "the agent did not show its window";
    CConfigClient client;
    ASSERT_TRUE(client.Connect(kWaitMs));
    ASSERT_TRUE(client.Register(kWaitMs));
    CWin32DeviceIo io;
    const DeviceHandle bareClient = io.Open(DEVICE_PATH);
    ASSERT_NE(bareClient, DeviceHandle{0}) << "\\\\.\\oxkbd not opened, error " << GetLastError();

    auto state = std::make_unique<oxkbd::State>();
    std::vector<std::uint8_t> answer(kKeyTableSize);  // the longest answer
    std::vector<double> applySeconds, requestSeconds, reloadSeconds, stageSeconds[3];
    CWin32Registry registry;
    auto reloaded = std::make_unique<SettingBuffers>();
    std::int32_t reloadedRate = 0;
    double agentCpuSeconds = 0;
    std::size_t fewestRequests = SIZE_MAX, mostRequests = 0;
    for (int i = 0; i < FigureRuns(); ++i) {
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
        client.ClearReceived();
        const double cpuBefore = CpuSeconds(agent.Process());
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(PostMessageW(client.Agent(), WM_APPLY_SETTINGS, 0, 0));
        // When each progress report came: the request reached the agent; settings read and
        // translated, macros and combinations sent; the table written.
        for (std::size_t n = 1; n <= 3; ++n) {
            ASSERT_TRUE(client.WaitForReceived(n, kWaitMs)) << configclient::Describe(client.ReceivedMessages());
            stageSeconds[n - 1].push_back(Seconds(std::chrono::steady_clock::now() - start));
        }
        applySeconds.push_back(stageSeconds[2].back());
        agentCpuSeconds += CpuSeconds(agent.Process()) - cpuBefore;
        ASSERT_EQ(client.ReceivedMessages().back().lParam, 100) << configclient::Describe(client.ReceivedMessages());

        ASSERT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
        const std::vector<LoggedRequest> requests = LoggedRequests(*state);
        ASSERT_FALSE(requests.empty()) << state->logCount << " requests logged, not all of them kept";
        const auto bareStart = std::chrono::steady_clock::now();
        for (const LoggedRequest& r : requests)
            ASSERT_TRUE(io.Control(bareClient, r.code, r.in.empty() ? nullptr : r.in.data(),
                                   static_cast<std::uint32_t>(r.in.size()), answer.data(), r.outSize))
                << "request 0x" << std::hex << r.code << " failed, error " << std::dec << GetLastError();
        requestSeconds.push_back(Seconds(std::chrono::steady_clock::now() - bareStart));
        fewestRequests = std::min(fewestRequests, requests.size());
        mostRequests = std::max(mostRequests, requests.size());
        // The apply's own work beside its requests: the same reload of the stored values.
        const auto reloadStart = std::chrono::steady_clock::now();
        ReloadSettings(registry, *reloaded, reloadedRate);
        reloadSeconds.push_back(Seconds(std::chrono::steady_clock::now() - reloadStart));
        // The apply and its replay were well-formed: the keyboard rejected nothing.
        ASSERT_TRUE(k7testbed::ReadKeyboardState(*state)) << k7testbed::KeyboardError();
        for (std::uint32_t k = 0; k < oxkbd::kRequestKindCount; ++k)
            EXPECT_EQ(state->counters[k].rejected, 0u) << oxkbd::kRequestNames[k];
    }
    io.Close(bareClient);

    const double ratio = MedianRatio(applySeconds, requestSeconds);
    std::printf(
        "apply of the heaviest configuration, median of %zu: from the request to progress 100 %.2f ms, "
        "its device requests (%zu to %zu) from a bare client %.2f ms; ratio %.2f\n",
        applySeconds.size(), Median(applySeconds) * 1000, fewestRequests, mostRequests, Median(requestSeconds) * 1000,
        ratio);
    // Where the apply's time went, for a ratio far from 1: the agent's CPU time is counted in
    // the host's 10 ms ticks, hence the sum over all runs.
    std::printf(
        "apply stages, medians: progress 25 at %.2f ms, 50 at %.2f ms, 100 at %.2f ms; "
        "agent CPU time %.0f ms over the %zu applies; the stored values reloaded by the test %.2f ms\n",
        Median(stageSeconds[0]) * 1000, Median(stageSeconds[1]) * 1000, Median(stageSeconds[2]) * 1000,
        agentCpuSeconds * 1000, applySeconds.size(), Median(reloadSeconds) * 1000);
    RecordProperty("apply_ratio", std::to_string(ratio));
}

}  // namespace
