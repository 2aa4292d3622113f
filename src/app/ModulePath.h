// The running executable's path, and the files that lie beside it.
#pragma once

#include <string>
#include <string_view>

// The path with the drive and directory of `modulePath` and the given name and
// extension, e.g. ("C:\\K7\\K7_Setting.exe", "language", "xml") -> "C:\\K7\\language.xml".
std::u16string SiblingFilePath(std::u16string_view modulePath, std::u16string_view name, std::u16string_view extension);

// The file name of `modulePath` without its folder and extension, e.g. "K7_Setting".
std::u16string ModuleBaseName(std::u16string_view modulePath);

// K7_Config.exe in the folder of the executable's full path (either separator).
std::u16string ConfigProgramPath(std::u16string_view modulePath);

// Where the running executable lies (GetModuleFileNameW on Windows).
class IModulePath {
public:
    virtual ~IModulePath() = default;
    // Full path of the running executable.
    virtual std::u16string ModulePath() = 0;
};
