// What the tray and the warning dialog need of the desktop, with the tray's identifiers and
// the warning dialog's title. ui/win32 implements both roles; the agent only hands them on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using WindowHandle = std::uintptr_t;  // 0 = none
using IconHandle = std::uintptr_t;    // 0 = none

// The tray icon's callback message and the tray menu's two commands.
inline constexpr std::uint32_t WM_TRAY_NOTIFY = 0x0600;
inline constexpr std::uint32_t ID_TRAY_CONFIGURE = 0x6000;
inline constexpr std::uint32_t ID_TRAY_EXIT = 0x6001;

// The warning dialog's window title, by which the agent finds its own open one.
inline constexpr char16_t kCombWarnTitle[] = u"CCombWarnDlg";

// The fields of the notification-area record that the agent fills.
struct TrayIconData {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::uint32_t iconResource = 0;
    std::u16string tip;  // at most 127 characters reach the platform
};

// The notification area, the tray menu, the message box and the start of a program.
class ITrayHost {
public:
    virtual ~ITrayHost() = default;

    // An icon resource of the program's own module, and setting it as a window's big icon.
    virtual IconHandle LoadAppIcon(std::uint32_t resource) = 0;
    virtual void SetWindowIcon(WindowHandle window, IconHandle icon) = 0;
    virtual bool AddTrayIcon(const TrayIconData& icon) = 0;
    virtual void RemoveTrayIcon(WindowHandle owner, std::uint32_t id) = 0;
    // Shows the two-item owner-drawn tray menu at the cursor and returns when it closes;
    // a chosen item arrives afterwards as WM_COMMAND.
    virtual void ShowTrayMenu(WindowHandle owner, std::u16string_view configText, std::u16string_view exitText) = 0;
    // OK button and exclamation icon; returns when the user closes it.
    virtual void ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view title) = 0;
    virtual bool StartProgram(std::u16string_view path) = 0;
};

// The combination-key warning dialog.
class IWarningDialog {
public:
    virtual ~IWarningDialog() = default;
    // Runs the dialog modally over `reference`, owned by `parent`; IDOK (1) or IDCANCEL (2).
    virtual int ShowCombWarnDialog(WindowHandle reference, WindowHandle parent) = 0;
};
