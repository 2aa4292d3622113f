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
//       one: \\.\oxkbd cannot be opened. Stopping a plugged keyboard unplugs it first (the
//       driver of a present Plug and Play device cannot be stopped). Its state survives a restart only in the sense
//       that a fresh start begins with the factory table again.
//   ReadKeyboardState
//       The whole state (key table, macros 0..11, combination slots 0..8, report rate),
//       a counter of accepted and rejected requests per request kind, the handles opened,
//       closed and open now, the armed fault and the failures it injected, the last
//       oxkbd::kLogCapacity requests and the last oxkbd::kTableLogCapacity key tables
//       sent (whole), oldest first.
//   FailRequests
//       Of the well-formed requests with control code `code` from now on, the first `skip`
//       pass and the next `count` fail (DeviceIoControl yields FALSE); count
//       oxkbd::kFailAll fails every one from there on, count 0 cancels. Arming replaces
//       any fault armed before. FailNextRequests(code, count) is FailRequests(code, 0, count).
//   ResetKeyboard
//       Starts over: the key table as `start` says, macros, combination slots and rate zero.
//   ClearKeyboardCounters
//       Zeroes the counters, the opened/closed handle counts, the injected failures and
//       the request and table logs; an armed fault stays armed.
//
//   PlugKeyboard / UnplugKeyboard
//       Plug the keyboard in as a Plug and Play device, or pull it out, and wait, at most
//       `timeoutMs`, until the platform lists its interfaces as present, or no longer does.
//       Plugging creates the root-enumerated device ROOT\VID_04D9&PID_A059\NNNN (hardware
//       id USB\VID_04D9&PID_A059) and installs the service oxkbd as its driver (starting it
//       if it was stopped); the driver then enables a GUID_DEVINTERFACE_USB_DEVICE and a HID
//       interface on it, so that windows registered for device-interface notifications get
//       DBT_DEVICEARRIVAL with paths containing kKeyboardIdPattern, and a present-interface
//       enumeration finds them. Unplugging removes the device (DBT_DEVICEREMOVECOMPLETE).
//       Plugging a plugged keyboard only waits. The driver and its state stay across an
//       unplug: \\.\oxkbd and the inspection keep working until StopKeyboard.
//   IsKeyboardPlugged
//       Whether such a device exists.
//   FindKeyboardInterface
//       Whether a present interface of that class has a path containing kKeyboardIdPattern
//       (any letter case), and that path.
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
bool FailRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count);
bool FailNextRequests(std::uint32_t code, std::uint32_t count);
bool ResetKeyboard(oxkbd::TableStart start = oxkbd::kFactoryTable);
bool ClearKeyboardCounters();
bool WaitForKeyboardHandles(std::uint32_t open, std::uint32_t timeoutMs = 2000);

// What the agent looks for in an interface path (upper case; compare without regard to case).
inline constexpr wchar_t kKeyboardIdPattern[] = L"VID_04D9&PID_A059";

enum class KeyboardInterface { kUsbDevice, kHid };

bool PlugKeyboard(std::uint32_t timeoutMs = kServiceTimeoutMs);
bool UnplugKeyboard(std::uint32_t timeoutMs = kServiceTimeoutMs);
bool IsKeyboardPlugged(bool& plugged);
bool FindKeyboardInterface(KeyboardInterface kind, bool& found, std::wstring* path = nullptr);

const std::string& KeyboardError();

}  // namespace k7testbed
