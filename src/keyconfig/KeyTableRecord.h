// The key-table record lives with the keyboard's other records now; this name stays for
// the code that still includes it.
#pragma once

#include "keyboard/KeyTableRecord.h"
