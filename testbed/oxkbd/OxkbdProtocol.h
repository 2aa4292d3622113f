// The private protocol of the virtual K7 keyboard, shared by its kernel driver and the
// Windows test bed. The keyboard itself is \Device\oxkbd (\\.\oxkbd) and answers the six
// requests of the agent; a second device, \Device\oxkbdctl (\\.\oxkbdctl), answers only
// the two requests below, so that inspecting the keyboard neither opens a handle on it
// nor shows up in its counters or request log.
#pragma once

#include "driver/ControlCodes.h"
#include "keyconfig/KeyTableRecord.h"

#include <cstdint>

namespace oxkbd {

inline constexpr std::uint32_t kMacroCount = kMaxMacroNumber + 1;       // device macros 0..11
inline constexpr std::uint32_t kCombinationCount = kMaxCombinationSlot + 1;  // slots 0..8
inline constexpr std::uint32_t kLogCapacity = 64;
inline constexpr std::uint32_t kLogHeadSize = 12;
inline constexpr std::uint32_t kTableLogCapacity = 4;
inline constexpr std::uint32_t kFailAll = 0xFFFFFFFF;  // as a failure count: every request from there on

// Private requests, at function 0x800 and above.
inline constexpr std::uint32_t IOCTL_OXKBD_INSPECT = IoctlCode(0x800);  // out: State
inline constexpr std::uint32_t IOCTL_OXKBD_COMMAND = IoctlCode(0x801);  // in: Command

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
    "SET_REPORT_RATE", "WRITE_KEY_TABLE", "READ_KEY_TABLE", "WRITE_MACRO", "WRITE_COMBINATION", "READ_COMBINATION",
    "other"};

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

// One request seen by the keyboard device, accepted or not.
struct LogEntry {
    std::uint32_t sequence;  // 1 for the first request after start or a counter reset
    std::uint32_t code;
    std::uint32_t inSize;
    std::uint32_t outSize;
    std::int32_t status;     // NTSTATUS the request completed with
    std::uint8_t head[kLogHeadSize];  // first input bytes, zero-padded
};
static_assert(sizeof(LogEntry) == 32);

// The whole state of the virtual keyboard, as returned by IOCTL_OXKBD_INSPECT.
struct State {
    std::uint32_t size;        // sizeof(State), so that a stale test bed notices
    std::uint8_t reportRate;   // 0 until a rate is set
    std::uint8_t reserved[3];
    DeviceKeyTable table;
    std::uint8_t macros[kMacroCount][kMacroRequestSize];                  // as received, number first
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

enum CommandAction : std::uint32_t {
    kFailNext = 1,      // let `skip` requests with code `code` pass, then fail `count` (kFailAll: all);
                        // count 0 cancels
    kResetState = 2,    // start over: table by `code` (a TableStart), macros, slots and rate zero
    kClearCounters = 3, // zero counters, opened/closed counts and the log; faults are kept
};

enum TableStart : std::uint32_t {
    kFactoryTable = 0,   // the factory table, mark included
    kUnmarkedTable = 1,  // the factory table with slot 147 zeroed
    kZeroTable = 2,      // 608 zero bytes
};

struct Command {
    std::uint32_t action;
    std::uint32_t code;
    std::uint32_t count;
    std::uint32_t skip;
};
static_assert(sizeof(Command) == 16);

}  // namespace oxkbd
