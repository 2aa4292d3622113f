#include "ui/win32/TrayWin32.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "app/Messages.h"
#include "ui/TrayCommands.h"

namespace {

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

void WriteText(const std::wstring& file, const std::wstring& text) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(h);
}

std::wstring ReadText(const std::wstring& file) {
    HANDLE h =
        CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::wstring text(GetFileSize(h, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(h);
    return text;
}

// Started as K7_Config.exe, this program only notes its command line beside itself, in a
// file of its own: two starts run at the same time and must not share one.
const bool g_startedAsConfigProgram = [] {
    const std::wstring self = ModulePath();
    if (self.size() < 13 || _wcsicmp(self.c_str() + self.size() - 13, L"K7_Config.exe") != 0) return false;
    // Written under another name first, so the test never reads a note half written.
    const std::wstring note = Folder(self) + L"started-" + std::to_wstring(GetCurrentProcessId());
    WriteText(note + L".tmp", GetCommandLineW());
    MoveFileW((note + L".tmp").c_str(), (note + L".txt").c_str());
    ExitProcess(0);
}();

// The command lines noted by the starts in `folder`, in no particular order; removes the notes.
std::vector<std::wstring> TakeStartNotes(const std::wstring& folder) {
    std::vector<std::wstring> notes;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"started-*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return notes;
    do {
        notes.push_back(ReadText(folder + found.cFileName));
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return notes;
}

std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

TEST(StartConfigProgram, StartsTheExactFileWithItsQuotedPathEachTime) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"k7 ui test\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"K7_Config.exe";
    TakeStartNotes(folder);
    ASSERT_TRUE(CopyFileW(ModulePath().c_str(), program.c_str(), FALSE));

    EXPECT_TRUE(CWin32TrayHost().StartProgram(U16(program)));
    EXPECT_TRUE(CWin32TrayHost().StartProgram(U16(program)));
    std::vector<std::wstring> notes;
    for (int i = 0; i < 100 && notes.size() < 2; ++i) {
        Sleep(100);
        for (std::wstring& note : TakeStartNotes(folder)) notes.push_back(std::move(note));
    }
    const std::wstring quoted = L"\"" + program + L"\"";
    EXPECT_EQ(notes, (std::vector<std::wstring>{quoted, quoted}));

    EXPECT_FALSE(CWin32TrayHost().StartProgram(U16(folder + L"missing.exe")));
    EXPECT_FALSE(CWin32TrayHost().StartProgram(u""));
}

TEST(AppMessageBox, ShowsTextAndTitleWithOnlyAnOkButton) {
    HWND owner = CreatePlainWindow(RECT{0, 0, 10, 10});
    std::wstring text;
    HWND cancel = reinterpret_cast<HWND>(1), ok = nullptr;
    HWND box = nullptr;
    ActWhenReady([&] {
        box = FindWindowW(L"#32770", L"K7_Setting");
        if (!box) return false;
        wchar_t buffer[256] = {};
        GetDlgItemTextW(box, 0xFFFF, buffer, 256);
        text = buffer;
        ok = GetDlgItem(box, IDOK);
        cancel = GetDlgItem(box, IDCANCEL);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    ActSoon(
        [] {
            if (HWND b = FindWindowW(L"#32770", L"K7_Setting")) PostMessageW(b, WM_CLOSE, 0, 0);
        },
        10000);
    CWin32TrayHost().ShowMessageBox(reinterpret_cast<WindowHandle>(owner), u"The keyboard is not connected.",
                                    u"K7_Setting");
    CancelPendingActions();
    ASSERT_TRUE(box);
    EXPECT_EQ(text, L"The keyboard is not connected.");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(cancel);
    DestroyWindow(owner);
}

// The notification area exists only while Wine's explorer runs a desktop.
class TrayIconTest : public testing::Test {
protected:
    void SetUp() override {
        if (!FindWindowW(L"Shell_TrayWnd", nullptr)) GTEST_SKIP() << "no notification area (explorer not running)";
        m_owner = CreatePlainWindow(RECT{0, 0, 1, 1}, nullptr, WS_POPUP);
    }
    void TearDown() override {
        if (m_owner) DestroyWindow(m_owner);
    }
    bool Exists() const {
        NOTIFYICONDATAW probe{};
        probe.cbSize = sizeof probe;
        probe.hWnd = m_owner;
        probe.uID = kTrayIconId;
        return Shell_NotifyIconW(NIM_MODIFY, &probe);
    }
    HWND m_owner = nullptr;
    CWin32TrayHost m_tray;
};

TEST_F(TrayIconTest, AddsAgainOverAnExistingIconAndRemoves) {
    const TrayIconData icon = MakeTrayIconData(reinterpret_cast<WindowHandle>(m_owner), std::u16string(300, u'K'));
    EXPECT_TRUE(m_tray.AddTrayIcon(icon));
    EXPECT_TRUE(Exists());
    EXPECT_TRUE(m_tray.AddTrayIcon(icon)) << "a re-add after a shell restart";
    m_tray.RemoveTrayIcon(reinterpret_cast<WindowHandle>(m_owner), kTrayIconId);
    EXPECT_FALSE(Exists());
    EXPECT_TRUE(m_tray.AddTrayIcon(icon));
    m_tray.RemoveTrayIcon(reinterpret_cast<WindowHandle>(m_owner), kTrayIconId);
    EXPECT_FALSE(Exists());
}

}  // namespace
