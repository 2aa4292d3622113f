// The hidden task window: its state, the table of messages it accepts and the
// sequences behind them. Portable: it reaches the desktop only through its roles and
// the keyboard only through CUSBDriver and the stored settings through IRegistry; the
// platform window procedure forwards to WindowProc.
#pragma once

#include "app/Desktop.h"
#include "driver/CUSBDriver.h"
#include "keyconfig/CombinationCache.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/Registry.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/Translation.h"
#include "ui/TrayCommands.h"

#include <cstdint>
#include <vector>

class COrvexTask : private ITranslationHost {
public:
    // The driver channel, the registry and the setting buffers are process-wide and
    // outlive the task window.
    COrvexTask(const DesktopRoles& desktop, CUSBDriver& driver, IRegistry& registry, SettingBuffers& settings)
        : m_desktop(desktop), m_driver(driver), m_registry(registry), m_settings(settings) {}
    COrvexTask(const COrvexTask&) = delete;
    COrvexTask& operator=(const COrvexTask&) = delete;

    // Binds the object to its platform window before the window's first message.
    void Attach(WindowHandle window) { m_hWnd = window; }
    WindowHandle Window() const { return m_hWnd; }

    // The window's message procedure: destruction messages only from the agent's own
    // destructions, the configuration program's requests held while creation runs, then the
    // WM_CLOSE pre-step and the message table. After WM_NCDESTROY the object is detached
    // (Window() is 0).
    std::intptr_t WindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // The creation sequence has ended (the window exists): the configuration program's
    // requests that reached the window during it run now, in the order they came.
    void EndCreation();
    // The agent's own end of its window (the tray's exit command, instance exit).
    void Destroy();

    // The notification area was (re)started: the tray icon is added again.
    void OnTaskbarCreated();

    std::int32_t m_nReportRate = 8;
    WindowHandle m_hConfigWnd = 0;
    IconHandle m_hIcon = 0;
    CombinationCache m_combCache{};
    DeviceKeyTable m_workTable{};
    DeviceKeyTable m_factoryTable{};
    UsageSlotMap m_usageSlotMap;

private:
    struct Request {
        std::uint32_t msg;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    // The WM_CLOSE pre-step, then the message table.
    std::intptr_t Dispatch(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // The message table; false when no row takes the message.
    bool OnMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result);
    // Messages no row took: the three private requests, then the system's default.
    std::intptr_t DefWindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    std::intptr_t OnCreate(std::uintptr_t wParam, std::intptr_t lParam);
    void OnDestroy(std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t OnApplySettings();
    void OnRegisterConfigWindow(WindowHandle window);
    bool OnCommand(std::uintptr_t wParam);
    // What the tray shows and starts, from the language strings and the agent's folder.
    TrayContent TrayTexts();
    KeyConfigState KeyConfig();

    // What the translation asks of the task window.
    void ShowCombinationWarning() override;
    void PostAssignmentReset(std::uint8_t vk) override;

    // Device presence.
    void OnDeviceChange(std::uintptr_t event, std::intptr_t lParam);
    void OnRetryTimer();
    void ResynchroniseDevice();
    void StartRetryTimer();
    void StopRetryTimer();
    // Reads the keyboard's table into m_workTable (the factory table stands in for a
    // failed read), then refills the combination cache from the references in it.
    void ReadWorkTable();

    // Posts WM_CLOSE to the registered configuration window while that handle still
    // names a window of the process that registered it.
    void CloseConfigWindow();

    // The tray icon (TrayIcon.cpp): a failed addition starts TIMER_TRAY_RETRY, whose ticks
    // try again with a growing wait until the icon is in or the retry time is over.
    void ShowTrayIcon();
    void OnTrayRetryTimer();
    void StopTrayRetry();

    DesktopRoles m_desktop;
    CUSBDriver& m_driver;
    IRegistry& m_registry;
    SettingBuffers& m_settings;
    WindowHandle m_hWnd = 0;
    std::uint32_t m_dwConfigProcess = 0;  // owner of m_hConfigWnd when it was registered
    bool m_bRetryTimer = false;
    std::uint32_t m_nTrayRetryMs = 0;   // the running wait of TIMER_TRAY_RETRY; 0 = not retrying
    std::uint32_t m_nTrayWaitedMs = 0;  // waited since the first failed addition
    // Applies under way: a nested one can run inside the warning dialog of another.
    std::int32_t m_nApplying = 0;
    // A factory restore asked for while an apply waited on the warning dialog.
    bool m_bRestorePending = false;
    // Requests of the configuration program held until the creation sequence has ended.
    bool m_bCreated = false;
    std::vector<Request> m_deferred;
    // Set on the paths by which the agent itself destroys its window.
    bool m_bDestroying = false;
};
