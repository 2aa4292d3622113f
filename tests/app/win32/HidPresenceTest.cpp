// The presence test behind the tray's configuration command, on the system's real
// HID enumeration, with the keyboard unplugged as the harness leaves it (AgentPresenceTest
// covers it plugged in).
#include "driver/win32/CHidDevice.h"

#include <gtest/gtest.h>

namespace {

TEST(HidPresence, NoKeyboardInterfaceMeansAbsent) {
    EXPECT_FALSE(CHidDevice().FindDevice());
    // Asking again gives the same answer: the enumeration list is released each time.
    EXPECT_FALSE(CHidDevice().FindDevice());
}

}  // namespace
