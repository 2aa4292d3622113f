// Files on Windows, opened by their UTF-16 path; the error text is the first line
// of the system's message.
#include "xml/FileBytes.h"

#include <windows.h>

#include <memory>

namespace {

std::u16string LastErrorText() {
    DWORD error = GetLastError();
    wchar_t buffer[100];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer, 100,
                             nullptr);
    std::u16string text;
    for (DWORD i = 0; i < n && buffer[i] != L'\r' && buffer[i] != L'\n'; ++i) text += static_cast<char16_t>(buffer[i]);
    return text;
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::vector<std::uint8_t>& bytes, std::u16string& errorText) {
    bytes.clear();
    std::wstring name(path.begin(), path.end());
    // An editor may hold the file open for writing (or keep a handle it may rename or delete
    // through); sharing all three lets the agent still read what the file holds.
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errorText = LastErrorText();
        return false;
    }
    std::unique_ptr<void, HandleCloser> file(h);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) {
        errorText = LastErrorText();
        return false;
    }
    if (size.QuadPart > 0x7FFFFFFF) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        errorText = LastErrorText();
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr)) {
            errorText = LastErrorText();
            bytes.resize(done);
            return false;
        }
        if (n == 0) break;
        done += n;
    }
    bytes.resize(done);
    return true;
}
