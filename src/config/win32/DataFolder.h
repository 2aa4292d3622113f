// The program's own folder in the user's profile (%APPDATA%\K7\Config) and its files, each
// replaced whole: a crash or a full disk in the middle of a write leaves the old file, never
// half of a new one.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The folder, created when missing; empty when the user's profile has no roaming folder.
std::wstring DataFolderPath();

// The whole file; ERROR_SUCCESS or the system's error (ERROR_FILE_NOT_FOUND when it is not there).
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes a temporary file beside `path`, flushes it to the disk, then puts it in the place of
// `path`; ERROR_SUCCESS or the system's error, the old file untouched then.
DWORD ReplaceWholeFile(const std::wstring& path, std::string_view bytes);

inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string ToUtf16(std::wstring_view text) { return {text.begin(), text.end()}; }
