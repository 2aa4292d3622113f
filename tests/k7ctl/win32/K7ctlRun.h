// Running k7ctl.exe from a test, and the files and registry values it leaves.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A file beside the test program (and k7ctl.exe).
std::wstring BinPath(const wchar_t* name, const wchar_t* ext);

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out, err;  // with LF line ends
};

// Runs k7ctl.exe with the arguments and waits for it.
RunResult K7ctl(const std::wstring& args);

// Writes a profile beside the test program; returns its path.
std::wstring WriteProfileFile(const wchar_t* name, const std::string& text);
// examples/gaming.json, copied beside the test program.
std::wstring Example();

// A binary value under HKEY_CURRENT_USER; empty when missing.
std::vector<std::uint8_t> Stored(const wchar_t* name, const wchar_t* key = L"Software\\Orvex\\K7");
