// Shared steps of the agent's Windows tests: a running agent with a registered
// client, device notifications sent as the system sends them, and sequence checks.
#pragma once

#include "AgentProcess.h"
#include "ConfigClient.h"

#include <gtest/gtest.h>

#include <span>

inline constexpr DWORD kWaitMs = 10000;  // for anything that must happen
inline constexpr DWORD kQuietMs = 300;   // to see that nothing more happens

// Compares what the client's windows received with `expected` and prints both
// sequences on a mismatch; clears the record either way.
void ExpectReceived(configclient::CConfigClient& client, std::span<const configclient::Received> expected,
                    const char* context);

// WM_DEVICECHANGE with a device-interface record (type 5) carrying `path`, or a
// port record (type 3) with the same name when `interfaceRecord` is false.
bool SendDeviceChange(HWND agent, WPARAM event, const wchar_t* path, bool interfaceRecord = true);

inline constexpr wchar_t kKeyboardInterface[] =
    L"\\\\?\\USB#VID_04D9&PID_A059#6&1a2b3c4d&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
inline constexpr wchar_t kMouseInterface[] =
    L"\\\\?\\USB#VID_046D&PID_C077#6&1a2b3c4d&0&3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
