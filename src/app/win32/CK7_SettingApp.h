// The application object: instance start-up, the message loop and instance exit.
#pragma once

#include "app/COrvexTask.h"

#include <windows.h>

#include <memory>

class CK7_SettingApp {
public:
    CK7_SettingApp(HINSTANCE instance, const DesktopRoles& desktop, CUSBDriver& driver, IRegistry& registry,
                   SettingBuffers& settings)
        : m_hInstance(instance), m_desktop(desktop), m_driver(driver), m_registry(registry), m_settings(settings) {}
    CK7_SettingApp(const CK7_SettingApp&) = delete;
    CK7_SettingApp& operator=(const CK7_SettingApp&) = delete;

    // False when the agent must not run: a second instance, or no task window.
    bool InitInstance();
    // Dispatches messages until the task window's end posts WM_QUIT.
    void Run();
    // Releases what start-up took; returns the process exit code.
    int ExitInstance();

    std::unique_ptr<COrvexTask> m_pTask;
    HANDLE m_hMutex = nullptr;
    ULONG_PTR m_gdiplusToken = 0;

private:
    HINSTANCE m_hInstance;
    DesktopRoles m_desktop;
    CUSBDriver& m_driver;
    IRegistry& m_registry;
    SettingBuffers& m_settings;
    int m_nExitCode = 0;
};
