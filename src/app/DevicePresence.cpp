// Keyboard arrival and removal, the retry timer and resynchronisation.
#include "app/COrvexTask.h"

#include "app/DeviceBroadcast.h"
#include "app/Messages.h"
#include "driver/KeyboardId.h"

void COrvexTask::OnDeviceChange(std::uintptr_t event, std::intptr_t lParam) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const std::u16string path = DeviceInterfacePath(reinterpret_cast<const void*>(lParam));
    if (!ContainsKeyboardId(path)) return;

    if (event == DBT_DEVICEARRIVAL) {
        if (m_driver.IsOpen()) return;
        if (m_driver.Open()) {
            // A retry still running would open a second handle on its next tick.
            if (m_bRetryTimer) StopRetryTimer();
            ResynchroniseDevice();
        } else {
            StartRetryTimer();
        }
        return;
    }
    if (m_driver.IsOpen()) m_driver.Close();
    // Nothing is there to open until the next arrival, which starts the retry again: ticks
    // meanwhile would only wake the agent ten times a second for as long as the keyboard is away.
    if (m_bRetryTimer) StopRetryTimer();
    CloseConfigWindow();
}

void COrvexTask::OnRetryTimer() {
    // A tick queued before the timer stopped (after a removal: for a keyboard that is not there).
    if (!m_bRetryTimer) return;
    // An arrival may have opened the channel since the timer started: never hold two handles.
    if (!m_driver.IsOpen()) {
        if (!m_driver.Open()) return;
        ResynchroniseDevice();
    }
    StopRetryTimer();
}

void COrvexTask::ResynchroniseDevice() {
    DeviceKeyTable table{};
    // The mark is repaired only in a table that was read: an unread one would wipe the keyboard.
    if (m_driver.ReadKeyTable(table) && EnsureTableMark(table)) m_driver.WriteKeyTable(table);
    ReadWorkTable();
    BuildFactoryTable(m_factoryTable, m_usageSlotMap);
}

void COrvexTask::StartRetryTimer() {
    m_desktop.windows.SetTimer(m_hWnd, TIMER_DEVICE_RETRY, kDeviceRetryPeriodMs);
    m_bRetryTimer = true;
}

void COrvexTask::StopRetryTimer() {
    m_desktop.windows.KillTimer(m_hWnd, TIMER_DEVICE_RETRY);
    m_bRetryTimer = false;
}
