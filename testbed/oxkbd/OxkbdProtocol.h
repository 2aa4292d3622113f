// The private protocol of the virtual K7 keyboard, shared by its kernel driver and the
// Windows test bed. The keyboard itself is \Device\oxkbd (\\.\oxkbd) and answers the six
// requests of the agent; a second device, \Device\oxkbdctl (\\.\oxkbdctl), answers only
// the two requests below, so that inspecting the keyboard neither opens a handle on it
// nor shows up in its counters or request log.
#pragma once

#include "keyboard/KeyboardModel.h"

#include <cstdint>

namespace oxkbd {

// The keyboard's state, requests and log are those of its model.
using namespace keyboard;

// Private requests, at function 0x800 and above.
inline constexpr std::uint32_t IOCTL_OXKBD_INSPECT = IoctlCode(0x800);  // out: State
inline constexpr std::uint32_t IOCTL_OXKBD_COMMAND = IoctlCode(0x801);  // in: Command

enum CommandAction : std::uint32_t {
    kFailNext = 1,       // let `skip` requests with code `code` pass, then fail `count` (kFailAll: all);
                         // count 0 cancels
    kResetState = 2,     // start over: table by `code` (a TableStart), macros, slots and rate zero
    kClearCounters = 3,  // zero counters, opened/closed counts and the log; faults are kept
};

struct Command {
    std::uint32_t action;
    std::uint32_t code;
    std::uint32_t count;
    std::uint32_t skip;
};
static_assert(sizeof(Command) == 16);

}  // namespace oxkbd
