// The test bed's hold on the virtual K7 keyboard (oxkbd.sys), for Windows tests under Wine.
//
// The test bed's Wine harness (testbed/wine/k7wine) installs the keyboard as the kernel
// service "oxkbd" and starts it before any test program runs, so a test begins with the
// keyboard present; its state then is whatever earlier programs left, so a test that
// relies on the content calls ResetKeyboard first.
//
//   StartKeyboard / StopKeyboard / RestartKeyboard
//       Start or stop the service through the Service Control Manager and wait, at most
//       `timeoutMs`, until it reports RUNNING or STOPPED. A stopped keyboard is an absent
//       one: \\.\oxkbd cannot be opened. Its state survives a restart only in the sense
//       that a fresh start begins with the factory table again.
//   ReadKeyboardState
//       The whole state (key table, macros 0..11, combination slots 0..8, report rate),
//       a counter of accepted and rejected requests per request kind, the handles opened,
//       closed and open now, and the last oxkbd::kLogCapacity requests, oldest first.
//   FailNextRequests
//       The next `count` well-formed requests with control code `code` fail
//       (DeviceIoControl yields FALSE); count 0 cancels.
//   ResetKeyboard
//       Starts over: the key table as `start` says, macros, combination slots and rate zero.
//   ClearKeyboardCounters
//       Zeroes the counters, the opened/closed handle counts and the request log.
//
//   WaitForKeyboardHandles
//       Waits, at most `timeoutMs`, until exactly `open` handles of \\.\oxkbd are open.
//       Under Wine the driver hears of a closed handle (IRP_MJ_CLOSE) only after
//       CloseHandle has returned, so the handle counts settle a moment later.
//
// Every function returns whether it succeeded; on failure KeyboardError() says why, with
// the Windows error code. None of them opens \\.\oxkbd itself: the inspection goes through
// the keyboard's second device \\.\oxkbdctl, so it never shows in the counters or the log.
#pragma once

#include "OxkbdProtocol.h"

#include <cstdint>
#include <string>

namespace k7testbed {

inline constexpr std::uint32_t kServiceTimeoutMs = 10000;

bool StartKeyboard(std::uint32_t timeoutMs = kServiceTimeoutMs);
bool StopKeyboard(std::uint32_t timeoutMs = kServiceTimeoutMs);
bool RestartKeyboard(std::uint32_t timeoutMs = kServiceTimeoutMs);

bool ReadKeyboardState(oxkbd::State& state);
bool FailNextRequests(std::uint32_t code, std::uint32_t count);
bool ResetKeyboard(oxkbd::TableStart start = oxkbd::kFactoryTable);
bool ClearKeyboardCounters();
bool WaitForKeyboardHandles(std::uint32_t open, std::uint32_t timeoutMs = 2000);

const std::string& KeyboardError();

}  // namespace k7testbed
