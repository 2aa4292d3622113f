#include "ConfigProcess.h"

#include "AgentProcess.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <vector>

#include "config/ProgramData.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/DataFolder.h"
#include "k7testbed/StartProcess.h"
#include "xml/ButtonPositions.h"

namespace {

// The main window of exactly this process; its title names the profile, so the class finds it.
HWND MainWindowOf(DWORD process) {
    for (HWND w = FindWindowW(kConfigMainClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, kConfigMainClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process) return w;
    }
    return nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
}

CConfigProcess::~CConfigProcess() {
    if (m_info.hProcess == nullptr) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        // Closed as a person would; killed only when it does not go.
        if (m_hWindow != nullptr) PostMessageW(m_hWindow, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 10000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool CConfigProcess::Start(bool waitForWindow, const std::wstring& at, bool keepData) {
    if (!keepData) RemoveProgramData();
    const std::wstring exe = at.empty() ? BesideTestProgram(L"K7_Config.exe") : at;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!k7testbed::StartProcess(exe.c_str(), commandLine.data(), FALSE, 0, &startup, &m_info)) return false;
    m_pEvents = std::make_unique<CWindowEvents>(m_info.dwProcessId);
    if (!waitForWindow) return true;
    const bool found = WaitUntil([this] {
        m_hWindow = MainWindowOf(m_info.dwProcessId);
        return m_hWindow != nullptr || WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
    });
    // The window shows before its creation has ended; wait for the loop.
    return found && m_hWindow != nullptr && WaitForInputIdle(m_info.hProcess, 10000) == 0;
}

bool CConfigProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

HWND CConfigProcess::Keyboard() const { return GetDlgItem(m_hWindow, IDC_KEYBOARD); }
HWND CConfigProcess::Details() const { return GetDlgItem(m_hWindow, IDC_DETAILS); }
HWND CConfigProcess::Key(int record) const { return GetDlgItem(Keyboard(), IDC_FIRST_KEY + record); }

HWND CConfigProcess::AssignDialog() const {
    // The dialog class, owned by the main window.
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == m_hWindow && IsWindowVisible(w)) return w;
    return nullptr;
}

HWND CConfigProcess::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_hWindow, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool CConfigProcess::Activate() const {
    SetForegroundWindow(m_hWindow);
    return WaitUntil([this] { return GetForegroundWindow() == m_hWindow; });
}

HWND CConfigProcess::Dialog() const {
    HWND dialog = nullptr;
    WaitUntil([&] {
        HWND front = GetForegroundWindow();
        DWORD owner = 0;
        GetWindowThreadProcessId(front, &owner);
        wchar_t cls[16] = {};
        GetClassNameW(front, cls, 16);
        dialog = owner == m_info.dwProcessId && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(front) ? front : nullptr;
        // In front is not yet ready for keys: they go to the focus, which the dialog sets after.
        const HWND focus = Focus();
        return dialog != nullptr && (focus == dialog || IsChild(dialog, focus));
    });
    return dialog;
}

void Click(HWND window, bool twice) {
    // A click goes to whatever is at its place when it comes, a tip or a window on its way
    // included: the control must be what is there. A disabled one is passed through to its
    // parent, as tests of refused clicks want.
    RECT r;
    GetWindowRect(window, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND at = nullptr;
    EXPECT_TRUE(!IsWindowEnabled(window) || WaitUntil([&] {
        at = WindowFromPoint(centre);
        return at == window || IsChild(window, at);
    })) << DescribeWindow(at)
        << " is where " << DescribeWindow(window) << " is to be clicked";
    k7testbed::ClickCentre(window, twice ? 2 : 1);
}

void Strokes(std::initializer_list<KeyStroke> strokes) {
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(stroke.vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (stroke.up ? KEYEVENTF_KEYUP : 0) | (stroke.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring AccessibleName(HWND window) {
    IAccessible* accessible = nullptr;
    const HRESULT found =
        // __uuidof, not IID_IAccessible: liboleacc.a also exports that name as a function thunk
        // of oleacc.dll, and a plain reference links to the thunk's code instead of the GUID.
        AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
    if (FAILED(found)) return L"<no accessible object: " + std::to_wstring(static_cast<unsigned long>(found)) + L">";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT hr = accessible->get_accName(self, &name);
    accessible->Release();
    if (hr != S_OK || name == nullptr) return L"<none>";
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

void Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring ProgramDataFile(const wchar_t* name) { return DataFolderPath() + L"\\" + name; }

void RemoveProgramData() {
    for (const char16_t* name :
         {kRecentFileName, kDraftFileName, kClosedFileName, kPlacementFileName, u"draft.damaged.json"})
        DeleteFileW(ProgramDataFile(ToWide(name).c_str()).c_str());
}
