// The tray icon's addition, and its retry while the notification area does not take it
// (at log-on the agent can start before the area accepts icons).
#include "app/COrvexTask.h"

#include "app/Messages.h"
#include "ui/TrayCommands.h"
#include "xml/LanguageStrings.h"

#include <algorithm>

void COrvexTask::ShowTrayIcon() {
    if (AddTrayIcon(m_desktop.tray, m_hWnd, str_title)) {
        StopTrayRetry();
        return;
    }
    // A retry under way keeps its wait and the time it has left.
    if (m_nTrayRetryMs != 0) return;
    m_nTrayRetryMs = kTrayRetryFirstMs;
    m_nTrayWaitedMs = 0;
    m_desktop.windows.SetTimer(m_hWnd, TIMER_TRAY_RETRY, m_nTrayRetryMs);
}

void COrvexTask::OnTrayRetryTimer() {
    // A tick queued before the timer stopped.
    if (m_nTrayRetryMs == 0) return;
    m_nTrayWaitedMs += m_nTrayRetryMs;
    const std::uint32_t next = std::min(2 * m_nTrayRetryMs, kTrayRetryLongestMs);
    if (AddTrayIcon(m_desktop.tray, m_hWnd, str_title) || m_nTrayWaitedMs + next > kTrayRetryForMs) {
        StopTrayRetry();
        return;
    }
    m_nTrayRetryMs = next;
    // Setting a running timer again gives it the new period.
    m_desktop.windows.SetTimer(m_hWnd, TIMER_TRAY_RETRY, m_nTrayRetryMs);
}

void COrvexTask::StopTrayRetry() {
    if (m_nTrayRetryMs == 0) return;
    m_desktop.windows.KillTimer(m_hWnd, TIMER_TRAY_RETRY);
    m_nTrayRetryMs = 0;
}
