#include "app/COrvexTask.h"

#include "app/Messages.h"
#include "app/ModulePath.h"
#include "keyconfig/DeviceRecords.h"
#include "keyconfig/SettingsStore.h"
#include "res/resource.h"
#include "ui/TrayCommands.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"

namespace {

// What the configuration program asks of the task window.
bool IsConfigRequest(std::uint32_t msg) {
    return msg == WM_APPLY_SETTINGS || msg == WM_RESTORE_FACTORY || msg == WM_SET_REPORT_RATE ||
           msg == WM_REGISTER_CONFIG_WINDOW || msg == WM_CLOSE;
}

}  // namespace

std::intptr_t COrvexTask::WindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    // The agent starts every destruction of its window itself; sent or posted by another program,
    // WM_DESTROY would run the destruction sequence with the window left alive, and WM_NCDESTROY
    // would end the message loop without it.
    if ((msg == WM_DESTROY || msg == WM_NCDESTROY) && !m_bDestroying) return 0;
    // The window can be found by its title while its creation waits on the notification area,
    // which lets sent messages in: a request then would run on tables not yet read or built.
    // It is answered now and runs when creation has ended, behind any that came before it.
    if (IsConfigRequest(msg) && (!m_bCreated || !m_deferred.empty())) {
        m_deferred.push_back({msg, wParam, lParam});
        return msg == WM_APPLY_SETTINGS ? 1 : 0;
    }
    const std::intptr_t result = Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) m_hWnd = 0;
    return result;
}

void COrvexTask::EndCreation() {
    m_bCreated = true;
    // A close among them ends the window, and with it the requests that came after the close.
    while (!m_deferred.empty() && m_hWnd != 0) {
        const Request request = m_deferred.front();
        m_deferred.erase(m_deferred.begin());
        Dispatch(request.msg, request.wParam, request.lParam);
    }
    m_deferred.clear();
}

void COrvexTask::Destroy() {
    m_bDestroying = true;
    m_desktop.windows.DestroyWindow(m_hWnd);
}

std::intptr_t COrvexTask::Dispatch(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (msg == WM_CLOSE) {
        // An open warning dialog would otherwise outlive its owner's state. Only the agent's own:
        // another program's window of that title is none of its business.
        for (const WindowHandle dialog : m_desktop.windows.OwnTopLevelWindows(kCombWarnTitle))
            m_desktop.windows.PostMessage(dialog, WM_CLOSE, 0, 0);
    }
    std::intptr_t result = 0;
    if (OnMessage(msg, wParam, lParam, result)) return result;
    return DefWindowProc(msg, wParam, lParam);
}

bool COrvexTask::OnMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t& result) {
    switch (msg) {
    case WM_CREATE: result = OnCreate(wParam, lParam); return true;
    case WM_DESTROY: OnDestroy(wParam, lParam); return true;
    case WM_TIMER:
        if (wParam == TIMER_DEVICE_RETRY) OnRetryTimer();
        if (wParam == TIMER_TRAY_RETRY) OnTrayRetryTimer();
        return true;
    case WM_DEVICECHANGE: OnDeviceChange(wParam, lParam); return true;
    case WM_TRAY_NOTIFY:
        result = OnTrayNotify(m_desktop.tray, m_desktop.presence, m_hWnd, wParam, lParam, TrayTexts());
        return true;
    case WM_APPLY_SETTINGS: result = OnApplySettings(); return true;
    case WM_COMMAND: return OnCommand(wParam);
    default: return false;
    }
}

std::intptr_t COrvexTask::DefWindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (msg) {
    case WM_REGISTER_CONFIG_WINDOW: OnRegisterConfigWindow(static_cast<WindowHandle>(wParam)); break;
    case WM_SET_REPORT_RATE: m_driver.SetReportRate(static_cast<std::uint8_t>(wParam & 0xFF)); break;
    case WM_RESTORE_FACTORY:
        // The apply waiting on the warning dialog would write its table, naming the macros and
        // combinations the restore clears, over the factory one: the restore follows it instead.
        if (m_nApplying > 0)
            m_bRestorePending = true;
        else
            RestoreFactoryState(m_driver, m_factoryTable, m_combCache);
        break;
    case WM_CLOSE:
        // The default processing destroys the window.
        m_bDestroying = true;
        break;
    default: break;
    }
    return m_desktop.windows.DefaultProcessing(m_hWnd, msg, wParam, lParam);
}

std::intptr_t COrvexTask::OnCreate(std::uintptr_t wParam, std::intptr_t lParam) {
    if (m_desktop.windows.DefaultProcessing(m_hWnd, WM_CREATE, wParam, lParam) == -1) {
        // The system destroys a window whose creation failed.
        m_bDestroying = true;
        return -1;
    }
    m_hIcon = m_desktop.tray.LoadAppIcon(IDI_APP);
    m_desktop.tray.SetWindowIcon(m_hWnd, m_hIcon);
    LoadButtonPositions(SiblingFilePath(m_desktop.module.ModulePath(), u"ButtonPos", u"xml"));
    LoadSettings(m_registry, g_buttonPosTable, m_settings, m_nReportRate);
    m_driver.Open();
    m_desktop.windows.RegisterSessionNotification(m_hWnd);
    ShowTrayIcon();
    m_desktop.windows.RegisterDeviceNotification(m_hWnd);
    ReadWorkTable();
    BuildFactoryTable(m_factoryTable, m_usageSlotMap);
    return 0;
}

void COrvexTask::OnDestroy(std::uintptr_t wParam, std::intptr_t lParam) {
    m_desktop.windows.DefaultProcessing(m_hWnd, WM_DESTROY, wParam, lParam);
    CloseConfigWindow();
    m_driver.Close();
    StopRetryTimer();
    StopTrayRetry();
    m_desktop.windows.UnregisterSessionNotification(m_hWnd);
    m_desktop.windows.UnregisterDeviceNotification();
    RemoveTrayIcon(m_desktop.tray, m_hWnd);
}

std::intptr_t COrvexTask::OnApplySettings() {
    // Progress to no registered window is dropped rather than posted to the thread.
    auto progress = [this](std::intptr_t percent) {
        if (m_hConfigWnd != 0) m_desktop.windows.PostMessage(m_hConfigWnd, WM_APPLY_PROGRESS, 0, percent);
    };
    progress(25);
    ++m_nApplying;
    ReloadSettings(m_registry, m_settings, m_nReportRate);
    TranslateAssignments(KeyConfig(), *this);
    progress(50);
    if (m_driver.IsOpen()) m_driver.WriteKeyTable(m_workTable);
    progress(100);
    if (--m_nApplying == 0 && m_bRestorePending) {
        m_bRestorePending = false;
        RestoreFactoryState(m_driver, m_factoryTable, m_combCache);
    }
    return 1;
}

void COrvexTask::OnRegisterConfigWindow(WindowHandle window) {
    m_hConfigWnd = window;
    m_dwConfigProcess = window != 0 ? m_desktop.windows.WindowProcessId(window) : 0;
}

void COrvexTask::CloseConfigWindow() {
    if (m_hConfigWnd == 0) return;
    // A handle reused by another program after the configuration program ended must not be closed.
    const std::uint32_t owner = m_desktop.windows.WindowProcessId(m_hConfigWnd);
    if (owner != 0 && owner == m_dwConfigProcess) m_desktop.windows.PostMessage(m_hConfigWnd, WM_CLOSE, 0, 0);
}

bool COrvexTask::OnCommand(std::uintptr_t wParam) {
    // Menu commands carry notification code 0 in the high word.
    if ((wParam >> 16 & 0xFFFF) != 0) return false;
    switch (wParam & 0xFFFF) {
    case ID_TRAY_CONFIGURE: OnConfigure(m_desktop.tray, m_desktop.presence, m_hWnd, TrayTexts()); return true;
    case ID_TRAY_EXIT: Destroy(); return true;
    default: return false;
    }
}

void COrvexTask::OnTaskbarCreated() { ShowTrayIcon(); }

TrayContent COrvexTask::TrayTexts() {
    const std::u16string modulePath = m_desktop.module.ModulePath();
    return {str_config, str_exit, str_msg4, ModuleBaseName(modulePath), ConfigProgramPath(modulePath)};
}

KeyConfigState COrvexTask::KeyConfig() {
    return {m_workTable, m_factoryTable, m_usageSlotMap, m_combCache, m_settings, m_driver};
}

void COrvexTask::ShowCombinationWarning() { m_desktop.warning.ShowCombWarnDialog(m_hConfigWnd, m_hWnd); }

void COrvexTask::PostAssignmentReset(std::uint8_t vk) {
    if (m_hConfigWnd != 0) m_desktop.windows.PostMessage(m_hConfigWnd, WM_ASSIGNMENT_RESET, m_hWnd, vk);
}

void COrvexTask::ReadWorkTable() {
    m_workTable = DeviceKeyTable{};
    if (m_driver.IsOpen() && !m_driver.ReadKeyTable(m_workTable)) m_workTable = FactoryKeyTable();
    ReadBackCombinations(m_driver, m_workTable, m_combCache);
}
