#include "KeyboardUnderTest.h"
#include "driver/ModelDeviceIo.h"

namespace {
keyboard::CKeyboardModel& Model() {
    static keyboard::CKeyboardModel model;
    return model;
}
}  // namespace

IDeviceIo& KeyboardIoUnderTest() {
    static CModelDeviceIo io(Model());
    return io;
}

bool StartOverKeyboardUnderTest(keyboard::TableStart start) {
    Model().Reset(start);
    Model().FailRequests(0, 0, 0);
    Model().ClearCounters();
    return true;
}

bool ResetKeyboardUnderTest(keyboard::TableStart start) {
    Model().Reset(start);
    return true;
}

bool FailKeyboardRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count) {
    Model().FailRequests(code, skip, count);
    return true;
}

bool ClearKeyboardCountersUnderTest() {
    Model().ClearCounters();
    return true;
}

keyboard::State KeyboardStateUnderTest() { return Model().Inspect(); }
