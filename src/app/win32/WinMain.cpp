// K7_Setting.exe: the resident agent of the K7 keyboard.
#include "app/win32/CK7_SettingApp.h"
#include "app/win32/Win32Desktop.h"
#include "driver/win32/Win32DeviceIo.h"
#include "keyconfig/win32/Win32Registry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The driver channel, the desktop and the setting buffers are process-wide and
    // outlive the task window.
    static CWin32DeviceIo deviceIo;
    static CUSBDriver driver(deviceIo);
    static CWin32Desktop desktop;
    static CWin32Registry registry;
    static SettingBuffers settings{};

    CK7_SettingApp app(instance, desktop, driver, registry, settings);
    if (app.InitInstance()) app.Run();
    return app.ExitInstance();
}
