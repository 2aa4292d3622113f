// The main job from the configuration program's side: settings written to the registry,
// WM_APPLY_SETTINGS sent, and what the virtual keyboard then holds and was sent, byte for
// byte and request by request, against expectations worked out here by hand.
#include "AgentOnKeyboard.h"
#include "SavedSettings.h"

#include "app/Messages.h"
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/SettingRecords.h"

#include <dbt.h>
#include <shellapi.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using configclient::CConfigClient;
using configclient::Received;

namespace {

// Factory slots of keys A to I: A is fixed at slot 10, the others hold their usage (0x05 to 0x0C).
constexpr int kSlotA = 10, kSlotB = 37, kSlotC = 28, kSlotD = 26, kSlotE = 24, kSlotF = 34, kSlotG = 35, kSlotH = 43,
              kSlotI = 48;

// One request as the keyboard's log shows it: its code, input size and first input bytes.
struct Request {
    std::uint32_t code;
    std::uint32_t inSize;
    std::array<std::uint8_t, oxkbd::kLogHeadSize> head{};
};

Request KeyTableWrite(const DeviceKeyTable& t) {
    Request r{IOCTL_WRITE_KEY_TABLE, kKeyTableSize};
    std::memcpy(r.head.data(), t.Bytes(), r.head.size());
    return r;
}
Request CombinationWrite(std::uint8_t slot, const CombinationKeys& keys = {}) {
    Request r{IOCTL_WRITE_COMBINATION, kCombinationRequestSize};
    r.head[0] = slot;
    std::memcpy(r.head.data() + 1, keys.data(), keys.size());
    return r;
}
Request MacroWrite(const std::uint8_t* record) {
    Request r{IOCTL_WRITE_MACRO, kMacroRequestSize};
    std::memcpy(r.head.data(), record, r.head.size());
    return r;
}

std::string Describe(const Request& r) {
    char text[96];
    std::snprintf(text, sizeof text, "0x%06X in %3u:", r.code, r.inSize);
    std::string s = text;
    for (std::uint8_t b : r.head) {
        std::snprintf(text, sizeof text, " %02X", b);
        s += text;
    }
    return s;
}

std::string Describe(const std::vector<Request>& requests) {
    std::string s;
    for (const Request& r : requests) s += "\n  " + Describe(r);
    return s.empty() ? " (none)" : s;
}

// The keyboard's log since the last counter reset, each request with its head zero-padded.
std::vector<Request> Logged(const oxkbd::State& state) {
    std::vector<Request> out;
    for (std::uint32_t i = 0; i < state.logCount; ++i) {
        const oxkbd::LogEntry& e = state.log[i];
        Request r{e.code, e.inSize};
        std::memcpy(r.head.data(), e.head, std::min<std::size_t>(e.inSize, r.head.size()));
        out.push_back(r);
    }
    return out;
}

void ExpectRequests(const oxkbd::State& state, const std::vector<Request>& expected) {
    const std::vector<Request> got = Logged(state);
    const bool same = got.size() == expected.size() &&
                      std::equal(got.begin(), got.end(), expected.begin(), [](const Request& a, const Request& b) {
                          return a.code == b.code && a.inSize == b.inSize && a.head == b.head;
                      });
    EXPECT_TRUE(same) << "expected:" << Describe(expected) << "\nthe keyboard got:" << Describe(got);
    for (const oxkbd::Counter& c : state.counters) EXPECT_EQ(c.rejected, 0u);
}

// A combination of Left Control and one letter, as key bytes.
CombinationKeys ControlWith(std::uint8_t usage) { return {0, 0xE0, 0, usage, 0, 0, 0, 0}; }
// The clearing writes AllocateCombinationSlot sends for every free slot from `firstFree` on.
void AddClearingWrites(std::vector<Request>& requests, int firstFree) {
    for (int s = firstFree; s <= 8; ++s) requests.push_back(CombinationWrite(static_cast<std::uint8_t>(s)));
}

// Dispatches this thread's messages until `done` holds; false after the timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

// Stands in front of the notification area: Shell_NotifyIconW hands its record to the first
// window of the area's class, which this one is (created last, topmost). The first icon
// addition of the process it holds for runs `whileHeld` while that program waits for the
// answer; every record is then passed on to the real area.
class CHeldTray {
public:
    explicit CHeldTray(std::function<void()> whileHeld) : m_whileHeld(std::move(whileHeld)) {
        m_hReal = FindWindowW(kClass, nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(WS_EX_TOPMOST, kClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 nullptr);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CHeldTray() {
        DestroyWindow(m_hWnd);
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    CHeldTray(const CHeldTray&) = delete;
    CHeldTray& operator=(const CHeldTray&) = delete;

    bool InFront() const { return m_hReal != nullptr && m_hWnd != nullptr && FindWindowW(kClass, nullptr) == m_hWnd; }
    void HoldFor(DWORD process) { m_dwProcess = process; }
    bool PassedOn() const { return m_bPassedOn; }

private:
    static constexpr wchar_t kClass[] = L"Shell_TrayWnd";

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CHeldTray*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg != WM_COPYDATA || self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
        // wParam is the icon's owner window.
        DWORD owner = 0;
        GetWindowThreadProcessId(reinterpret_cast<HWND>(wParam), &owner);
        const bool hold = !self->m_bPassedOn && owner == self->m_dwProcess &&
                          reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == NIM_ADD;
        if (hold) self->m_whileHeld();
        DWORD_PTR result = FALSE;
        SendMessageTimeoutW(self->m_hReal, WM_COPYDATA, wParam, lParam, SMTO_NORMAL, kWaitMs, &result);
        if (hold) self->m_bPassedOn = true;
        return static_cast<LRESULT>(result);
    }

    std::function<void()> m_whileHeld;
    HWND m_hReal = nullptr;
    HWND m_hWnd = nullptr;
    DWORD m_dwProcess = 0;
    bool m_bPassedOn = false;
};

class AgentApply : public AgentOnKeyboard {
protected:
    // A fresh agent, so its combination cache starts empty (the factory table names no slot).
    void StartAgent() {
        AgentOnKeyboard::StartAgent();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters());
    }
    Received Progress(LPARAM percent) const { return {client.Window(), WM_APPLY_PROGRESS, 0, percent}; }
    Received Reset(std::uint8_t vk) const {
        return {client.Window(), WM_ASSIGNMENT_RESET, reinterpret_cast<WPARAM>(agent.Window()), vk};
    }

    // Nine records naming nine different one-key combinations (Left Control + B .. J) on the
    // keys A to I, then a remap of key J that comes after them. Starts the apply without
    // waiting for it (it stops in the warning dialog) and returns the dialog.
    HWND ApplyNineCombinations(std::vector<Request>& requests, DeviceKeyTable& expected) {
        auto b = DefaultSettings();
        const int slots[] = {kSlotA, kSlotB, kSlotC, kSlotD, kSlotE, kSlotF, kSlotG, kSlotH, kSlotI};
        for (int i = 0; i < 9; ++i) {
            SetRecord(*b, i, static_cast<std::uint8_t>(0x41 + i), AssignCombination, i);
            b->combinations.records[i].vks[0] = 0xA2;                                 // Left Control
            b->combinations.records[i].vks[1] = static_cast<std::uint8_t>(0x42 + i);  // B to J
        }
        SetRecord(*b, 9, 0x4A, AssignKeyRemap, 0x41);  // after the warning: never translated
        EXPECT_TRUE(settings.Write(*b));

        expected = FactoryKeyTable();
        for (int i = 0; i < 8; ++i) {
            AddClearingWrites(requests, i + 1);
            const std::uint8_t slot = static_cast<std::uint8_t>(i + 1);
            requests.push_back(CombinationWrite(slot, ControlWith(static_cast<std::uint8_t>(0x05 + i))));
            expected.slots[slots[i]] = KeyEntry{{0x23, 0, slot, 8}};
        }
        EXPECT_TRUE(PostMessageW(agent.Window(), WM_APPLY_SETTINGS, 0, 0));
        // The title is set at the start of WM_INITDIALOG and the size at its end; the dialog
        // shows only once that has returned.
        for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
            client.Pump(50);
            HWND dialog = FindWindowW(nullptr, L"CCombWarnDlg");
            if (dialog && IsWindowVisible(dialog)) return dialog;
        }
        return nullptr;
    }

    CSavedSettings settings;
};

TEST_F(AgentApply, SmallConfigurationReachesTheKeyboardExactly) {
    StartAgent();
    auto b = DefaultSettings();
    SetOneKeyOfEachKind(*b);  // E's combination: Left Control + C
    MacroRecord& m = b->macros.records[0];
    StoreLe32(m.repeat, 0x00030002);  // only the low 16 bits count
    m.eventCount[0] = 2;
    m.events[0] = {0x41, 1, {}, {}};
    StoreLe32(m.events[0].delay, 120);
    m.events[1] = {0x41, 0, {}, {}};
    StoreLe32(m.events[1].delay, 49);
    StoreLe32(b->macros.count, 1);
    b->combinations.records[0].vks[0] = 0xA2;
    b->combinations.records[0].vks[2] = 0x43;  // a gap: C keeps pair 2
    ASSERT_TRUE(settings.Write(*b));

    LRESULT result = 0;
    ASSERT_TRUE(client.Apply(kWaitMs, &result));
    EXPECT_EQ(result, 1);
    ASSERT_TRUE(client.WaitForReceived(3, kWaitMs));
    const Received progress[] = {Progress(25), Progress(50), Progress(100)};
    ExpectReceived(client, progress, "apply");

    DeviceKeyTable table = FactoryKeyTable();
    table.slots[kSlotA] = KeyEntry{{0x00, 0x1D, 0, 0}};
    table.slots[kSlotB] = KeyEntry{{0x04, 0, 0x00, 0xE2}};
    table.slots[kSlotC] = KeyEntry{{0x02, 0, 1, 1}};
    table.slots[kSlotD] = KeyEntry{{0x53, 0, 1, 0xC0}};
    table.slots[kSlotE] = KeyEntry{{0x23, 0, 1, 8}};
    table.slots[kSlotF] = KeyEntry{{0x23, 0, 2, 8}};
    std::uint8_t macro[kMacroRequestSize] = {1, 0x00, 0x02, 0x82, 0x04, 0x00, 0x04};
    const CombinationKeys ctrlC = {0, 0xE0, 0, 0, 0, 0x06, 0, 0};

    std::vector<Request> requests = {MacroWrite(macro)};
    AddClearingWrites(requests, 1);
    requests.push_back(CombinationWrite(1, ctrlC));
    AddClearingWrites(requests, 2);
    requests.push_back(CombinationWrite(2, ControlWith(0x04)));
    requests.push_back(KeyTableWrite(table));

    const auto state = State();
    ExpectRequests(*state, requests);
    EXPECT_EQ(0, std::memcmp(state->table.Bytes(), table.Bytes(), kKeyTableSize));
    for (int s = 0; s < kSlotCount; ++s) EXPECT_EQ(state->table.slots[s], table.slots[s]) << "slot " << s;
    EXPECT_EQ(0, std::memcmp(state->macros[1], macro, kMacroRequestSize));
    const std::uint8_t slot1[kCombinationRequestSize] = {1, 0, 0xE0, 0, 0, 0, 0x06, 0, 0};
    const std::uint8_t slot2[kCombinationRequestSize] = {2, 0, 0xE0, 0, 0x04, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(state->combinations[1], slot1, kCombinationRequestSize));
    EXPECT_EQ(0, std::memcmp(state->combinations[2], slot2, kCombinationRequestSize));
    EXPECT_EQ(state->counters[oxkbd::kWriteKeyTable].accepted, 1u);
    EXPECT_EQ(state->counters[oxkbd::kWriteMacro].accepted, 1u);
    EXPECT_EQ(state->counters[oxkbd::kWriteCombination].accepted, 17u);
    EXPECT_EQ(state->counters[oxkbd::kReadKeyTable].accepted, 0u);
}

TEST_F(AgentApply, NinthCombinationWarnsResetsAndStops) {
    StartAgent();
    std::vector<Request> requests;
    DeviceKeyTable table;
    HWND dialog = ApplyNineCombinations(requests, table);
    ASSERT_NE(dialog, nullptr) << "no window titled \"CCombWarnDlg\" appeared";
    RECT r{};
    ASSERT_TRUE(GetWindowRect(dialog, &r));
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 160);
    // Nothing goes on while the dialog is open.
    const Received before[] = {Progress(25)};
    ExpectReceived(client, before, "while the dialog is open");
    EXPECT_EQ(State()->counters[oxkbd::kWriteKeyTable].accepted, 0u);

    ASSERT_TRUE(PostMessageW(dialog, WM_CLOSE, 0, 0));
    ASSERT_TRUE(client.WaitForReceived(3, kWaitMs));
    const Received after[] = {Reset(0x49), Progress(50), Progress(100)};
    ExpectReceived(client, after, "after the dialog");
    EXPECT_FALSE(IsWindow(dialog));

    requests.push_back(KeyTableWrite(table));
    const auto state = State();
    ExpectRequests(*state, requests);
    for (int s = 0; s < kSlotCount; ++s) EXPECT_EQ(state->table.slots[s], table.slots[s]) << "slot " << s;
}

// A minimised configuration window reports its rectangle near (-32000, -32000): the warning
// opens on the primary monitor's work area instead, where the user can answer it.
TEST_F(AgentApply, WarningOverAMinimisedConfigWindowOpensOnTheWorkArea) {
    StartAgent();
    ShowWindow(client.Window(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(client.Window()));
    std::vector<Request> requests;
    DeviceKeyTable table;
    HWND dialog = ApplyNineCombinations(requests, table);
    ASSERT_NE(dialog, nullptr) << "no window titled \"CCombWarnDlg\" appeared";
    RECT work{}, r{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && GetWindowRect(dialog, &r));
    EXPECT_EQ(r.left, work.left + (work.right - work.left - 320) / 2);
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 160) / 2);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(client.WaitForReceived(4, kWaitMs)) << "the apply did not end";
}

// A listed reliability case: the keyboard goes while the warning dialog is open.
TEST_F(AgentApply, RemovalDuringTheWarningSendsNothingMore) {
    StartAgent();
    std::vector<Request> requests;
    DeviceKeyTable table;
    HWND dialog = ApplyNineCombinations(requests, table);
    ASSERT_NE(dialog, nullptr) << "no window titled \"CCombWarnDlg\" appeared";
    ASSERT_TRUE(SendDeviceChange(agent.Window(), DBT_DEVICEREMOVECOMPLETE, kKeyboardInterface));
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0)) << "the agent kept its handle after the removal";

    ASSERT_TRUE(PostMessageW(dialog, WM_CLOSE, 0, 0));
    ASSERT_TRUE(client.WaitForReceived(5, kWaitMs));
    const Received expected[] = {
        Progress(25), {client.Window(), WM_CLOSE, 0, 0}, Reset(0x49), Progress(50), Progress(100)};
    ExpectReceived(client, expected, "removal while the dialog is open");
    client.Pump(kQuietMs);
    ExpectRequests(*State(), requests);  // the combinations before the warning, and no table
}

// Destruction messages posted and sent to the open warning by another program: the dialog must
// still answer its own close, and the apply then ends as usual.
TEST_F(AgentApply, DestructionMessagesFromAnotherProcessLeaveTheWarningWorking) {
    StartAgent();
    std::vector<Request> requests;
    DeviceKeyTable table;
    HWND dialog = ApplyNineCombinations(requests, table);
    ASSERT_NE(dialog, nullptr) << "no window titled \"CCombWarnDlg\" appeared";
    for (const UINT msg : {WM_NCDESTROY, WM_DESTROY}) {
        ASSERT_TRUE(PostMessageW(dialog, msg, 0, 0));
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(dialog, msg, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    }
    client.Pump(kQuietMs);
    ASSERT_TRUE(PostMessageW(dialog, WM_CLOSE, 0, 0));
    ASSERT_TRUE(client.WaitForReceived(4, kWaitMs)) << "the warning did not close";
    const Received expected[] = {Progress(25), Reset(0x49), Progress(50), Progress(100)};
    ExpectReceived(client, expected, "posted destruction while the dialog is open");
}

// The configuration program finds the window by its title while its creation still waits on the
// notification area, and sends its requests: each is answered at once and carried out, in its
// order, when creation has ended, on the tables it read and built.
TEST_F(AgentApply, RequestsDuringCreationRunInOrderWhenItEnds) {
    auto b = DefaultSettings();
    SetRecord(*b, 0, 0x41, AssignKeyRemap, 0x5A);  // A sends Z
    ASSERT_TRUE(settings.Write(*b));
    std::vector<LRESULT> answers;
    CHeldTray tray([&] {
        // The agent's icon is not in the notification area yet: this is its addition.
        ASSERT_TRUE(client.Connect(kWaitMs));
        const std::pair<UINT, WPARAM> requests[] = {
            {WM_REGISTER_CONFIG_WINDOW, reinterpret_cast<WPARAM>(client.Window())},
            {WM_APPLY_SETTINGS, 0},
            {WM_SET_REPORT_RATE, 2},
            {WM_RESTORE_FACTORY, 0},
            {WM_CLOSE, 0}};
        for (const auto& [msg, wParam] : requests) {
            LRESULT result = -1;
            EXPECT_TRUE(client.Send(msg, wParam, 0, kWaitMs, &result)) << "request 0x" << std::hex << msg;
            answers.push_back(result);
        }
    });
    ASSERT_TRUE(tray.InFront()) << "the test's notification area is not the one found first";
    ASSERT_TRUE(agent.Start(false));
    tray.HoldFor(agent.Id());
    ASSERT_TRUE(PumpUntil([&] { return tray.PassedOn(); }, kWaitMs)) << "the agent added no icon";
    EXPECT_EQ(answers, (std::vector<LRESULT>{0, 1, 0, 0, 0}));
    // The close among them ends the agent.
    ASSERT_TRUE(PumpUntil([&] { return !agent.Running(); }, kWaitMs)) << "the agent kept running";
    DWORD code = 0xFFFF;
    ASSERT_TRUE(agent.WaitForExit(0, &code));
    EXPECT_EQ(code, 0u);
    client.Pump(kQuietMs);
    const Received expected[] = {Progress(25), Progress(50), Progress(100), {client.Window(), WM_CLOSE, 0, 0}};
    ExpectReceived(client, expected, "requests during creation");

    DeviceKeyTable applied = FactoryKeyTable();
    applied.slots[kSlotA] = KeyEntry{{0x00, 0x1D, 0, 0}};
    Request rate{IOCTL_SET_REPORT_RATE, 1};
    rate.head[0] = 2;
    std::vector<Request> requests = {
        {IOCTL_READ_KEY_TABLE, 0}, KeyTableWrite(applied), rate, KeyTableWrite(FactoryKeyTable())};
    AddClearingWrites(requests, 1);
    for (int n = 1; n <= 11; ++n) {
        const std::uint8_t number[kMacroRequestSize] = {static_cast<std::uint8_t>(n)};
        requests.push_back(MacroWrite(number));
    }
    ExpectRequests(*State(), requests);
}

TEST_F(AgentApply, RestoreFactoryClearsSlotsOneToEightAndMacrosOneToEleven) {
    // Everything the keyboard can hold, written through its own channel: slot 0 and
    // macro 0 too, which the restore must leave alone.
    {
        CWin32DeviceIo io;
        CUSBDriver driver(io);
        ASSERT_TRUE(driver.Open());
        DeviceKeyTable zero{};
        ASSERT_TRUE(driver.WriteKeyTable(zero));
        for (std::uint8_t n = 0; n <= 11; ++n) {
            MacroContent content{};
            content.fill(static_cast<std::uint8_t>(0xA0 + n));
            ASSERT_TRUE(driver.WriteMacro(n, content));
        }
        for (std::uint8_t s = 0; s <= 8; ++s)
            ASSERT_TRUE(driver.WriteCombination(s, ControlWith(static_cast<std::uint8_t>(0x04 + s))));
    }
    ASSERT_TRUE(k7testbed::WaitForKeyboardHandles(0));
    const auto before = State();
    StartAgent();
    ASSERT_TRUE(client.RestoreFactory(kWaitMs));

    std::vector<Request> requests = {KeyTableWrite(FactoryKeyTable())};
    AddClearingWrites(requests, 1);
    for (int n = 1; n <= 11; ++n) {
        const std::uint8_t number[kMacroRequestSize] = {static_cast<std::uint8_t>(n)};
        requests.push_back(MacroWrite(number));
    }
    const auto state = State();
    ExpectRequests(*state, requests);
    EXPECT_EQ(0, std::memcmp(state->table.Bytes(), FactoryKeyTable().Bytes(), kKeyTableSize));
    EXPECT_EQ(0, std::memcmp(state->macros[0], before->macros[0], kMacroRequestSize)) << "macro 0 was touched";
    EXPECT_EQ(0, std::memcmp(state->combinations[0], before->combinations[0], kCombinationRequestSize))
        << "slot 0 was touched";
    for (int n = 1; n <= 11; ++n) {
        std::uint8_t cleared[kMacroRequestSize] = {static_cast<std::uint8_t>(n)};
        EXPECT_EQ(0, std::memcmp(state->macros[n], cleared, kMacroRequestSize)) << "macro " << n;
    }
    for (int s = 1; s <= 8; ++s) {
        std::uint8_t cleared[kCombinationRequestSize] = {static_cast<std::uint8_t>(s)};
        EXPECT_EQ(0, std::memcmp(state->combinations[s], cleared, kCombinationRequestSize)) << "slot " << s;
    }
}

}  // namespace
