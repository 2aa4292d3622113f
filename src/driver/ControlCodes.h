// The control codes live with the keyboard's other records now; this name stays for the
// code that still includes it.
#pragma once

#include "keyboard/ControlCodes.h"
