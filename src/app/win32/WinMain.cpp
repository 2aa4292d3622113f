// K7_Setting.exe: the resident agent of the K7 keyboard.
#include "app/win32/CK7_SettingApp.h"
#include "app/win32/Win32WindowSystem.h"
#include "driver/win32/CHidDevice.h"
#include "driver/win32/Win32DeviceIo.h"
#include "keyconfig/win32/Win32Registry.h"
#include "ui/win32/CombWarnDlg.h"
#include "ui/win32/TrayWin32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The driver channel, the desktop's roles and the setting buffers are process-wide and
    // outlive the task window.
    static CWin32DeviceIo deviceIo;
    static CUSBDriver driver(deviceIo);
    static CWin32WindowSystem windows;
    static CWin32TrayHost tray;
    static CWin32WarningDialog warning;
    static CHidDevice presence;
    static CWin32ModulePath module;
    static CWin32Registry registry;
    static SettingBuffers settings{};

    const DesktopRoles desktop{windows, tray, warning, presence, module};
    CK7_SettingApp app(instance, desktop, driver, registry, settings);
    if (app.InitInstance()) app.Run();
    return app.ExitInstance();
}
