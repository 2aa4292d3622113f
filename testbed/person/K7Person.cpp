// k7person: a person at the desktop, for the demo and the screenshots.
//   k7person open     the tray icon's double click: WM_TRAY_NOTIFY with WM_LBUTTONDBLCLK to the
//                     agent, as the shell posts it; waits for K7_Config.exe's window
//   k7person assign KEY  a double click on the key and, from the keyboard, the media function
//                     Mute in its assignment dialog
//   k7person apply    a click on the window's Apply button; waits for the result and prints it
//   k7person press    the same click, without waiting
//   k7person shown    waits for the agent's combination warning to show
//   k7person warning  the same, then answers it (Enter: OK)
//   k7person result   waits for the window's result and prints it
//   k7person close    closes the window and waits until it has gone
//   k7person where    prints the window's rectangle on the screen as WxH+X+Y
// Exit code 0 on success, 1 when what was waited for did not come within 30 s.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/Messages.h"
#include "config/win32/ConfigWindowClasses.h"
#include "k7testbed/PersonInput.h"

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr wchar_t kApplying[] = L"Applying";

bool WaitFor(const std::function<bool()>& done) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

HWND ConfigWindow() { return FindWindowW(kConfigMainClass, nullptr); }

std::wstring Status() {
    wchar_t text[512] = {};
    GetWindowTextW(GetDlgItem(ConfigWindow(), IDC_STATUS), text, 512);
    return text;
}

void ClickAt(HWND control) {
    HWND window = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; });
    k7testbed::ClickCentre(control);
}

int Result(const std::wstring& before) {
    std::wstring status;
    const bool ended = WaitFor([&] {
        status = Status();
        return !status.empty() && status != before && !status.starts_with(kApplying);
    });
    std::printf("%ls\n", ended ? status.c_str() : L"(no result)");
    return ended ? 0 : 1;
}

int Press(bool wait) {
    HWND window = ConfigWindow();
    if (window == nullptr) return std::fprintf(stderr, "k7person: no configuration window\n"), 1;
    const std::wstring before = Status();
    ClickAt(GetDlgItem(window, IDC_APPLY));
    if (!WaitFor([&] { return Status() != before; })) return 1;
    return wait ? Result(before) : 0;
}

// The key window named `name` in the keyboard view.
HWND KeyWindow(HWND window, const std::wstring& name) {
    for (HWND view = FindWindowExW(window, nullptr, kKeyboardViewClass, nullptr); view != nullptr;) {
        for (HWND key = FindWindowExW(view, nullptr, kKeyClass, nullptr); key != nullptr;
             key = FindWindowExW(view, key, kKeyClass, nullptr)) {
            wchar_t text[64] = {};
            GetWindowTextW(key, text, 64);
            if (name == text) return key;
        }
        break;
    }
    return nullptr;
}

// The assignment dialog: a dialog owned by the configuration program's window.
HWND AssignDialog(HWND window) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == window && IsWindowVisible(w)) return w;
    return nullptr;
}

// A double click on the key opens its assignment dialog; from the keyboard alone: the third
// kind (media functions), Tab to its list, the eighth function (Mute), Enter for OK.
int AssignMute(const std::wstring& name) {
    HWND window = ConfigWindow();
    HWND key = window != nullptr ? KeyWindow(window, name) : nullptr;
    if (key == nullptr) return std::fprintf(stderr, "k7person: no key %ls in the window\n", name.c_str()), 1;
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; });
    k7testbed::ClickCentre(key, 2);
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = AssignDialog(window)) != nullptr; })) return 1;
    HWND kinds = GetDlgItem(dialog, IDC_ASSIGN_KIND), list = GetDlgItem(dialog, IDC_ASSIGN_LIST);
    WaitFor([&] { return GetForegroundWindow() == dialog; });
    k7testbed::Press(VK_HOME);
    for (int i = 0; i < 2; ++i) k7testbed::Press(VK_DOWN);
    if (!WaitFor([&] { return SendMessageW(kinds, CB_GETCURSEL, 0, 0) == 2; })) return 1;
    k7testbed::Press(VK_TAB);
    k7testbed::Press(VK_HOME);
    for (int i = 0; i < 7; ++i) k7testbed::Press(VK_DOWN);
    if (!WaitFor([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 7; })) return 1;
    if (!WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; })) return 1;
    k7testbed::Press(VK_RETURN);
    if (!WaitFor([&] { return !IsWindow(dialog); })) return 1;
    std::printf("%ls: Mute\n", name.c_str());
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"open") {
        HWND agent = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
        if (agent == nullptr) return std::fprintf(stderr, "k7person: the agent is not running\n"), 1;
        PostMessageW(agent, WM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
        if (!WaitFor([] { return ConfigWindow() != nullptr && IsWindowVisible(ConfigWindow()); })) return 1;
        std::printf("the configuration program's window is up\n");
        return 0;
    }
    if (command == L"apply" || command == L"press") return Press(command == L"apply");
    if (command == L"warning" || command == L"shown") {
        HWND dialog = nullptr;
        if (!WaitFor([&] {
                return (dialog = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kCombWarnTitle))) &&
                       IsWindowVisible(dialog);
            }))
            return 1;
        if (command == L"shown") return 0;
        // Enter, as on its default button OK.
        SetForegroundWindow(dialog);
        WaitFor([&] { return GetForegroundWindow() == dialog; });
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        return WaitFor([&] { return !IsWindow(dialog); }) ? 0 : 1;
    }
    if (command == L"result") return Result(L"");
    if (command == L"assign" && argc > 2) return AssignMute(argv[2]);
    if (command == L"where") {
        RECT r;
        if (!GetWindowRect(ConfigWindow(), &r)) return 1;
        std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        return 0;
    }
    if (command == L"close") {
        HWND window = ConfigWindow();
        if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor([] { return ConfigWindow() == nullptr; }) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: k7person open|assign KEY|apply|press|shown|warning|result|close|where\n");
    return 2;
}
