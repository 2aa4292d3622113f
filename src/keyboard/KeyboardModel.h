// The K7 keyboard as its kernel driver answers the agent: the six requests with exactly
// their buffer sizes and ranges, the state they change (key table, device macros 0..11,
// combination slots 0..8, report rate), and what a test bed needs around it (counters, a
// request log, the tables received, injected faults). The virtual keyboard oxkbd.sys runs
// it in the kernel; the native tests, the planner and the benchmark run it as their
// keyboard, so that no stand-in accepts what the keyboard refuses.
//
// Freestanding like a kernel driver: no exceptions, no RTTI, no allocation, nothing of the
// standard library beyond the record headers' <array> and <cstdint>.
#pragma once

#include "keyboard/ControlCodes.h"
#include "keyboard/FactoryKeyTableData.h"
#include "keyboard/KeyTableRecord.h"

#include <cstdint>

namespace keyboard {

inline constexpr std::uint32_t kMacroCount = kMaxMacroNumber + 1;            // device macros 0..11
inline constexpr std::uint32_t kCombinationCount = kMaxCombinationSlot + 1;  // slots 0..8
inline constexpr std::uint32_t kLogCapacity = 64;
inline constexpr std::uint32_t kLogHeadSize = 12;
inline constexpr std::uint32_t kTableLogCapacity = 4;
inline constexpr std::uint32_t kFailAll = 0xFFFFFFFF;  // as a failure count: every request from there on

// How a request completes, as the NTSTATUS values the kernel driver returns, so that the
// request log reads the same in the kernel and outside.
inline constexpr std::int32_t kStatusSuccess = 0;
inline constexpr std::int32_t kStatusInvalidParameter = static_cast<std::int32_t>(0xC000000Du);
inline constexpr std::int32_t kStatusInvalidDeviceRequest = static_cast<std::int32_t>(0xC0000010u);
inline constexpr std::int32_t kStatusIoDeviceError = static_cast<std::int32_t>(0xC0000185u);

// Index of a request kind in State::counters; kOther counts unknown codes.
enum RequestKind : std::uint32_t {
    kSetReportRate,
    kWriteKeyTable,
    kReadKeyTable,
    kWriteMacro,
    kWriteCombination,
    kReadCombination,
    kOther,
    kRequestKindCount
};

inline constexpr const char* kRequestNames[kRequestKindCount] = {
    "SET_REPORT_RATE",   "WRITE_KEY_TABLE",  "READ_KEY_TABLE", "WRITE_MACRO",
    "WRITE_COMBINATION", "READ_COMBINATION", "other"};

// What each of the six requests carries: its code and exact buffer sizes.
struct RequestShape {
    std::uint32_t code, inSize, outSize;
};
inline constexpr RequestShape kRequestShapes[kOther] = {
    {IOCTL_SET_REPORT_RATE, 1, 0},
    {IOCTL_WRITE_KEY_TABLE, kKeyTableSize, 0},
    {IOCTL_READ_KEY_TABLE, 0, kKeyTableSize},
    {IOCTL_WRITE_MACRO, kMacroRequestSize, kMacroRequestSize},
    {IOCTL_WRITE_COMBINATION, kCombinationRequestSize, 0},
    {IOCTL_READ_COMBINATION, kCombinationRequestSize, kCombinationRequestSize},
};
inline constexpr std::uint32_t kLargestRequest = kKeyTableSize;

constexpr RequestKind KindOfCode(std::uint32_t code) {
    for (std::uint32_t i = 0; i < kOther; ++i)
        if (kRequestShapes[i].code == code) return static_cast<RequestKind>(i);
    return kOther;
}

struct Counter {
    std::uint32_t accepted;
    std::uint32_t rejected;
};
static_assert(sizeof(Counter) == 8);

// One request seen by the keyboard, accepted or not.
struct LogEntry {
    std::uint32_t sequence;  // 1 for the first request after start or a counter reset
    std::uint32_t code;
    std::uint32_t inSize;
    std::uint32_t outSize;
    std::int32_t status;              // kStatus... the request completed with
    std::uint8_t head[kLogHeadSize];  // first input bytes, zero-padded
};
static_assert(sizeof(LogEntry) == 32);

// The whole state of the keyboard; oxkbd.sys hands it out as it is.
struct State {
    std::uint32_t size;       // sizeof(State), so that a stale test bed notices
    std::uint8_t reportRate;  // 0 until a rate is set
    std::uint8_t reserved[3];
    DeviceKeyTable table;
    std::uint8_t macros[kMacroCount][kMacroRequestSize];                    // as received, number first
    std::uint8_t combinations[kCombinationCount][kCombinationRequestSize];  // as received, slot first
    std::uint8_t reserved2[3];
    Counter counters[kRequestKindCount];
    std::uint32_t handlesOpened;
    std::uint32_t handlesClosed;
    std::uint32_t handlesOpen;
    std::uint32_t failCode;       // code whose requests fail, 0 when none
    std::uint32_t failSkip;       // requests of that code still to pass before the failures start
    std::uint32_t failRemaining;  // failures still to come, kFailAll for no end
    std::uint32_t failInjected;   // failures injected since the counters were cleared
    std::uint32_t logCount;       // valid entries of `log`, oldest first
    LogEntry log[kLogCapacity];
    // Every well-formed key-table write since the counters were cleared, failed ones too,
    // so that a test sees each table the keyboard was sent, not only the one it holds.
    std::uint32_t tablesReceived;
    DeviceKeyTable tableLog[kTableLogCapacity];  // the last min(tablesReceived, capacity), oldest first
};
static_assert(sizeof(State) == 8 + 608 + 12 * 193 + 9 * 9 + 3 + 7 * 8 + 8 * 4 + 64 * 32 + 4 + 4 * 608);
static_assert(sizeof(State) % 4 == 0);

enum TableStart : std::uint32_t {
    kFactoryTable = 0,   // the factory table, mark included
    kUnmarkedTable = 1,  // the factory table with slot 147 zeroed
    kZeroTable = 2,      // 608 zero bytes
};

// Byte loops rather than <cstring>, which a freestanding build does not have.
inline void CopyBytes(void* to, const void* from, std::uint32_t n) {
    auto* d = static_cast<std::uint8_t*>(to);
    const auto* s = static_cast<const std::uint8_t*>(from);
    for (std::uint32_t i = 0; i < n; ++i) d[i] = s[i];
}

inline void ZeroBytes(void* to, std::uint32_t n) {
    auto* d = static_cast<std::uint8_t*>(to);
    for (std::uint32_t i = 0; i < n; ++i) d[i] = 0;
}

class CKeyboardModel {
public:
    // A keyboard as it starts: the factory table, nothing else held, nothing counted.
    // Constant, so that a kernel driver, which runs no constructors of its globals, can
    // hold one as a global (constinit).
    constexpr CKeyboardModel() : m_state{} {
        m_state.size = sizeof(State);
        m_state.table = kFactoryKeyTable;
    }

    const State& Inspect() const { return m_state; }

    // One request as the kernel driver gets it (buffered I/O): `buffer` holds the input and
    // takes the answer, `answered` says how many bytes of it go back. Every request is
    // counted and logged; a request that is not well formed fails with
    // kStatusInvalidParameter, an unknown code with kStatusInvalidDeviceRequest.
    std::int32_t Request(std::uint32_t code, std::uint8_t* buffer, std::uint32_t inSize, std::uint32_t outSize,
                         std::uint32_t& answered) {
        answered = 0;
        const RequestKind kind = KindOfCode(code);
        std::int32_t status;
        if (kind == kOther) {
            status = kStatusInvalidDeviceRequest;
        } else if (inSize != kRequestShapes[kind].inSize || outSize != kRequestShapes[kind].outSize) {
            status = kStatusInvalidParameter;
        } else {
            if (kind == kWriteKeyTable) LogTable(buffer);
            status = InjectFailure(code) ? kStatusIoDeviceError : Perform(kind, buffer, answered);
        }
        if (status != kStatusSuccess) answered = 0;
        Counter& c = m_state.counters[kind];
        ++(status == kStatusSuccess ? c.accepted : c.rejected);
        Log(code, inSize ? buffer : nullptr, inSize, outSize, status);
        return status;
    }

    // The same request as a caller of the device sees it, with its own input and output
    // buffers (they may be one): true when the keyboard accepted it. As with buffered I/O,
    // the output is written only on success; a buffer missing for a size is refused before
    // the keyboard sees the request.
    bool Control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out, std::uint32_t outSize) {
        if ((inSize && !in) || (outSize && !out)) return false;
        std::uint8_t buffer[kLargestRequest];
        // A request larger than any the keyboard knows is refused on its sizes; only its head is logged.
        CopyBytes(buffer, in, inSize < kLargestRequest ? inSize : kLargestRequest);
        std::uint32_t answered = 0;
        if (Request(code, buffer, inSize, outSize, answered) != kStatusSuccess) return false;
        CopyBytes(out, buffer, answered);
        return true;
    }

    // Handles of the keyboard device, as the kernel driver hears of them.
    void HandleOpened() {
        ++m_state.handlesOpened;
        ++m_state.handlesOpen;
    }
    void HandleClosed() {
        ++m_state.handlesClosed;
        if (m_state.handlesOpen) --m_state.handlesOpen;
    }

    // Starts over: the table as `start` says, macros, combination slots and rate zero.
    void Reset(TableStart start) {
        m_state.table = start == kZeroTable ? DeviceKeyTable{} : kFactoryKeyTable;
        if (start == kUnmarkedTable) m_state.table.slots[kMarkSlot] = KeyEntry{};
        ZeroBytes(m_state.macros, sizeof m_state.macros);
        ZeroBytes(m_state.combinations, sizeof m_state.combinations);
        m_state.reportRate = 0;
    }

    // Zeroes the counters, the handle counts, the injected failures and both logs; an armed
    // fault stays armed.
    void ClearCounters() {
        ZeroBytes(m_state.counters, sizeof m_state.counters);
        ZeroBytes(m_state.log, sizeof m_state.log);
        ZeroBytes(m_state.tableLog, sizeof m_state.tableLog);
        m_state.handlesOpened = m_state.handlesClosed = 0;
        m_state.logCount = 0;
        m_state.tablesReceived = 0;
        m_state.failInjected = 0;
        m_nextSequence = 1;
    }

    // Of the well-formed requests with `code` from now on, `skip` pass and the next `count`
    // fail (kFailAll: every one); count 0 cancels. Replaces any fault armed before.
    void FailRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count) {
        m_state.failCode = count ? code : 0;
        m_state.failSkip = count ? skip : 0;
        m_state.failRemaining = count;
    }

    // What a keyboard holds when it is found, without a request: for simulations that start
    // from an earlier state. A slot outside 0..8 is not there to hold anything.
    void HoldTable(const DeviceKeyTable& table) { m_state.table = table; }
    void HoldCombination(std::uint8_t slot, const std::uint8_t* keys) {
        if (slot > kMaxCombinationSlot) return;
        m_state.combinations[slot][0] = slot;
        CopyBytes(&m_state.combinations[slot][1], keys, kCombinationKeySize);
    }
    const std::uint8_t* CombinationKeysOf(std::uint8_t slot) const { return &m_state.combinations[slot][1]; }

private:
    std::int32_t Perform(RequestKind kind, std::uint8_t* buf, std::uint32_t& answered) {
        State& s = m_state;
        switch (kind) {
        case kSetReportRate:
            if (buf[0] != 1 && buf[0] != 2 && buf[0] != 8) return kStatusInvalidParameter;
            s.reportRate = buf[0];
            return kStatusSuccess;
        case kWriteKeyTable: CopyBytes(s.table.Bytes(), buf, kKeyTableSize); return kStatusSuccess;
        case kReadKeyTable:
            CopyBytes(buf, s.table.Bytes(), kKeyTableSize);
            answered = kKeyTableSize;
            return kStatusSuccess;
        case kWriteMacro:
            if (buf[0] > kMaxMacroNumber) return kStatusInvalidParameter;
            CopyBytes(s.macros[buf[0]], buf, kMacroRequestSize);
            answered = kMacroRequestSize;  // the record goes back as stored
            return kStatusSuccess;
        case kWriteCombination:
            if (buf[0] > kMaxCombinationSlot) return kStatusInvalidParameter;
            CopyBytes(s.combinations[buf[0]], buf, kCombinationRequestSize);
            return kStatusSuccess;
        case kReadCombination: {
            const std::uint8_t slot = buf[0];
            if (slot > kMaxCombinationSlot) return kStatusInvalidParameter;
            // The answer is the slot's eight key bytes, then a zero byte.
            CopyBytes(buf, &s.combinations[slot][1], kCombinationKeySize);
            buf[kCombinationKeySize] = 0;
            answered = kCombinationRequestSize;
            return kStatusSuccess;
        }
        default: return kStatusInvalidDeviceRequest;
        }
    }

    void Log(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize, std::uint32_t outSize,
             std::int32_t status) {
        State& s = m_state;
        if (s.logCount == kLogCapacity) {
            for (std::uint32_t i = 1; i < kLogCapacity; ++i) s.log[i - 1] = s.log[i];
            --s.logCount;
        }
        LogEntry& e = s.log[s.logCount++];
        ZeroBytes(&e, sizeof e);
        e.sequence = m_nextSequence++;
        e.code = code;
        e.inSize = inSize;
        e.outSize = outSize;
        e.status = status;
        if (in) CopyBytes(e.head, in, inSize < kLogHeadSize ? inSize : kLogHeadSize);
    }

    void LogTable(const std::uint8_t* table) {
        State& s = m_state;
        std::uint32_t at = s.tablesReceived;
        if (at >= kTableLogCapacity) {
            for (std::uint32_t i = 1; i < kTableLogCapacity; ++i) s.tableLog[i - 1] = s.tableLog[i];
            at = kTableLogCapacity - 1;
        }
        CopyBytes(s.tableLog[at].Bytes(), table, kKeyTableSize);
        ++s.tablesReceived;
    }

    // Whether the armed fault takes this well-formed request; counts it if so.
    bool InjectFailure(std::uint32_t code) {
        State& s = m_state;
        if (s.failRemaining == 0 || s.failCode != code) return false;
        if (s.failSkip != 0) {
            --s.failSkip;
            return false;
        }
        if (s.failRemaining != kFailAll) --s.failRemaining;
        ++s.failInjected;
        return true;
    }

    State m_state;
    std::uint32_t m_nextSequence = 1;
};

}  // namespace keyboard
