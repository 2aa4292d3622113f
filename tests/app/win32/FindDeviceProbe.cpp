// The presence test run once, for a test that watches its debug texts as its debugger:
// exit code 1 when the keyboard was found, 0 when not.
#include "driver/win32/CHidDevice.h"

int main() { return CHidDevice().FindDevice() ? 1 : 0; }
