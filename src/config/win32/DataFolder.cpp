#include "config/win32/DataFolder.h"

#include <shlobj.h>

#include "config/ProgramData.h"

namespace {

// A profile or a data file is small; a larger file is no file of this program's.
constexpr LONGLONG kLargestFile = 16 << 20;

class CHandle {
public:
    explicit CHandle(HANDLE handle) : m_h(handle) {}
    ~CHandle() {
        if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE Get() const { return m_h; }
    void Close() {
        CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_h;
};

}  // namespace

std::wstring DataFolderPath() {
    PWSTR appData = nullptr;
    // Roaming: the recent files and kept edits follow the user as the stored settings in
    // HKEY_CURRENT_USER do.
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &appData))) return {};
    std::wstring folder = std::wstring(appData) + L"\\" + ToWide(kDataFolder);
    CoTaskMemFree(appData);
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS && created != ERROR_FILE_EXISTS) return {};
    return folder;
}

DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return GetLastError();
    if (size.QuadPart > kLargestFile) return ERROR_FILE_TOO_LARGE;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return GetLastError();
    bytes.resize(got);
    return ERROR_SUCCESS;
}

DWORD ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring temporary = path + L".new";
    CHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD written = 0;
    const bool ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file.Get());
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    file.Close();
    if (!ok) {
        DeleteFileW(temporary.c_str());
        return error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error;
    }
    // The move replaces the old file in one step on the same volume; WRITE_THROUGH returns only
    // once the new name is on the disk.
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD moveError = GetLastError();
        DeleteFileW(temporary.c_str());
        return moveError;
    }
    return ERROR_SUCCESS;
}
