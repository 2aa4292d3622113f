// What an apply changed on the keyboard: the slots whose entry differs from the factory
// table, named by the layout's keys, and the macros and combinations it now holds.
#pragma once

#include "OxkbdProtocol.h"
#include "xml/ButtonPosTable.h"

#include <cstdio>

void PrintFactoryDiff(std::FILE* out, const oxkbd::State& state, const ButtonPosTable& layout);
