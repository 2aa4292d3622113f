// The running program's own file, by which it finds the files beside it.
#pragma once

#include <string>

std::u16string ModulePath();
