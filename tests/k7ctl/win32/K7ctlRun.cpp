#include "K7ctlRun.h"

#include "app/ModulePath.h"
#include "k7testbed/StartProcess.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::wstring BinPath(const wchar_t* name, const wchar_t* ext) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::u16string p =
        SiblingFilePath(reinterpret_cast<const char16_t*>(module), reinterpret_cast<const char16_t*>(name),
                        reinterpret_cast<const char16_t*>(ext));
    return std::wstring(p.begin(), p.end());
}

namespace {

std::string ReadAll(const std::wstring& path) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A console program's redirected output has CRLF line ends; the expectations are written with LF.
std::string WithoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

}  // namespace

// Output goes to two files.
RunResult K7ctl(const std::wstring& args) {
    // Fresh files each time: Wine's console host of the previous run may still hold the old ones.
    static int run = 0;
    const std::wstring n = std::to_wstring(++run);
    const std::wstring outPath = BinPath((L"k7ctl-out-" + n).c_str(), L"txt");
    const std::wstring errPath = BinPath((L"k7ctl-err-" + n).c_str(), L"txt");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    si.hStdInput = nullptr;
    std::wstring command = L"\"" + BinPath(L"k7ctl", L"exe") + L"\" " + args;
    PROCESS_INFORMATION pi{};
    RunResult r;
    if (k7testbed::StartProcess(nullptr, command.data(), TRUE, CREATE_NO_WINDOW, &si, &pi)) {
        // Keep this thread's messages moving: the stand-in agent lives on another thread.
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    r.out = WithoutCr(ReadAll(outPath));
    r.err = WithoutCr(ReadAll(errPath));
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return r;
}

std::wstring WriteProfileFile(const wchar_t* name, const std::string& text) {
    const std::wstring path = BinPath(name, L"json");
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
    return path;
}

std::wstring Example() {
    std::ifstream f(K7_EXAMPLE_PROFILE, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return WriteProfileFile(L"gaming", s.str());
}

std::vector<std::uint8_t> Stored(const wchar_t* name, const wchar_t* key) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_BINARY, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::vector<std::uint8_t> bytes(size);
    RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_BINARY, nullptr, bytes.data(), &size);
    return bytes;
}
