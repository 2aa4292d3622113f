// The keyboard the shared keyboard tests run against: the model natively, the virtual
// keyboard oxkbd.sys under Wine through the Win32 device I/O. Each test starts from the
// factory state with nothing counted and no fault armed.
#pragma once

#include "driver/DeviceIo.h"
#include "keyboard/KeyboardModel.h"

#include <gtest/gtest.h>

#include <cstdint>

IDeviceIo& KeyboardIoUnderTest();
// Each says whether it reached the keyboard, and why not as a test failure.
bool StartOverKeyboardUnderTest(keyboard::TableStart start = keyboard::kFactoryTable);
bool ResetKeyboardUnderTest(keyboard::TableStart start);
bool FailKeyboardRequests(std::uint32_t code, std::uint32_t skip, std::uint32_t count);
bool ClearKeyboardCountersUnderTest();
keyboard::State KeyboardStateUnderTest();
