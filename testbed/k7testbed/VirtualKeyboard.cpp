#include "k7testbed/VirtualKeyboard.h"
#include "k7testbed/Failure.h"

#include <windows.h>

#include <cstdio>

namespace k7testbed {
namespace {

std::string g_error;

}  // namespace

bool Fail(const char* what) {
    const DWORD code = GetLastError();
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (error %lu)", what, static_cast<unsigned long>(code));
    g_error = text;
    return false;
}

namespace {

// Owns a service-manager handle.
struct ScHandle {
    SC_HANDLE h = nullptr;
    ~ScHandle() {
        if (h) CloseServiceHandle(h);
    }
};

bool OpenKeyboardService(ScHandle& manager, ScHandle& service) {
    manager.h = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager.h) return Fail("OpenSCManagerW");
    service.h = OpenServiceW(manager.h, L"oxkbd", SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!service.h) return Fail("OpenServiceW(oxkbd)");
    return true;
}

bool WaitForState(SC_HANDLE service, DWORD wanted, std::uint32_t timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status)) return Fail("QueryServiceStatus(oxkbd)");
        if (status.dwCurrentState == wanted) return true;
        if (GetTickCount64() >= deadline) {
            SetLastError(ERROR_TIMEOUT);
            return Fail(wanted == SERVICE_RUNNING ? "waiting for oxkbd to run" : "waiting for oxkbd to stop");
        }
        Sleep(10);
    }
}

// One private request on \\.\oxkbdctl; `returned` gets the byte count.
bool ControlRequest(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD& returned, const char* what) {
    HANDLE h = CreateFileW(L"\\\\.\\oxkbdctl", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail("opening \\\\.\\oxkbdctl");
    const BOOL ok = DeviceIoControl(h, code, in, inSize, out, outSize, &returned, nullptr);
    if (!ok) Fail(what);
    CloseHandle(h);
    return ok != FALSE;
}

bool Command(oxkbd::CommandAction action, std::uint32_t code, std::uint32_t count, std::uint32_t skip = 0) {
    oxkbd::Command command{action, code, count, skip};
    DWORD returned = 0;
    return ControlRequest(oxkbd::IOCTL_OXKBD_COMMAND, &command, sizeof command, nullptr, 0, returned,
                          "the keyboard command");
}

}  // namespace

bool StartKeyboard(std::uint32_t timeoutMs) {
    ScHandle manager, service;
    if (!OpenKeyboardService(manager, service)) return false;
    if (!StartServiceW(service.h, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return Fail("StartServiceW(oxkbd)");
    return WaitForState(service.h, SERVICE_RUNNING, timeoutMs);
}

bool StopKeyboard(std::uint32_t timeoutMs) {
    // A driver whose Plug and Play device is present cannot be stopped: pull it out first.
    bool plugged = false;
    if (!IsKeyboardPlugged(plugged) || (plugged && !UnplugKeyboard(timeoutMs))) return false;
    ScHandle manager, service;
    if (!OpenKeyboardService(manager, service)) return false;
    SERVICE_STATUS status{};
    if (!ControlService(service.h, SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return Fail("ControlService(oxkbd, stop)");
    return WaitForState(service.h, SERVICE_STOPPED, timeoutMs);
}

bool RestartKeyboard(std::uint32_t timeoutMs) { return StopKeyboard(timeoutMs) && StartKeyboard(timeoutMs); }

bool ReadKeyboardState(oxkbd::State& state) {
    DWORD returned = 0;
    if (!ControlRequest(oxkbd::IOCTL_OXKBD_INSPECT, nullptr, 0, &state, sizeof state, returned,
                        "the inspection request"))
        return false;
    if (returned != sizeof state || state.size != sizeof state) {
        SetLastError(ERROR_INVALID_DATA);
        return Fail("the inspection record (size differs: rebuild oxkbd.sys and the test bed)");
    }
    return true;
}

bool FailRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count) {
    return Command(oxkbd::kFailNext, code, count, skip);
}
bool FailNextRequests(std::uint32_t code, std::uint32_t count) { return FailRequests(code, 0, count); }
bool ResetKeyboard(oxkbd::TableStart start) { return Command(oxkbd::kResetState, start, 0); }
bool ClearKeyboardCounters() { return Command(oxkbd::kClearCounters, 0, 0); }

bool WaitForKeyboardHandles(std::uint32_t open, std::uint32_t timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    oxkbd::State state{};
    for (;;) {
        if (!ReadKeyboardState(state)) return false;
        if (state.handlesOpen == open) return true;
        if (GetTickCount64() >= deadline) {
            char text[96];
            std::snprintf(text, sizeof text, "%u handles of \\\\.\\oxkbd still open, not %u", state.handlesOpen, open);
            g_error = text;
            return false;
        }
        Sleep(10);
    }
}

const std::string& KeyboardError() { return g_error; }

}  // namespace k7testbed
