#include "KeyboardUnderTest.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"

IDeviceIo& KeyboardIoUnderTest() {
    static CWin32DeviceIo io;
    return io;
}

bool StartOverKeyboardUnderTest(keyboard::TableStart start) {
    // The harness starts the keyboard before any test program; a test before may have
    // stopped it. Its handles are gone before the counts start again: Wine hands a closed
    // handle to the driver only after CloseHandle has returned.
    const bool ok = k7testbed::StartKeyboard() && k7testbed::WaitForKeyboardHandles(0) &&
                    k7testbed::ResetKeyboard(start) && k7testbed::FailNextRequests(0, 0) &&
                    k7testbed::ClearKeyboardCounters();
    EXPECT_TRUE(ok) << k7testbed::KeyboardError();
    return ok;
}

bool ResetKeyboardUnderTest(keyboard::TableStart start) {
    const bool ok = k7testbed::ResetKeyboard(start);
    EXPECT_TRUE(ok) << k7testbed::KeyboardError();
    return ok;
}

bool FailKeyboardRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count) {
    const bool ok = k7testbed::FailRequests(code, skip, count);
    EXPECT_TRUE(ok) << k7testbed::KeyboardError();
    return ok;
}

bool ClearKeyboardCountersUnderTest() {
    const bool ok = k7testbed::ClearKeyboardCounters();
    EXPECT_TRUE(ok) << k7testbed::KeyboardError();
    return ok;
}

keyboard::State KeyboardStateUnderTest() {
    keyboard::State s{};
    EXPECT_TRUE(k7testbed::ReadKeyboardState(s)) << k7testbed::KeyboardError();
    return s;
}
