// Where K7_Config.exe runs from: its files (ButtonPos.xml, the language files) lie beside it.
#pragma once

#include <string>

std::u16string ProgramPath();
// The folder, without a closing backslash.
std::u16string ProgramFolder();
