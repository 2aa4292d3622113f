#include "app/win32/CK7_SettingApp.h"

#include "app/Messages.h"
#include "app/ModulePath.h"
#include "app/win32/TaskWindow.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "xml/LanguageStrings.h"

namespace {

// Exit code of a start-up that did not lead to a running agent.
constexpr int kStartupFailed = 1;

}  // namespace

bool CK7_SettingApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    // Before the single-instance test: a second instance reads the file too.
    LoadLanguageStrings(SiblingFilePath(m_desktop.module.ModulePath(), u"language", u"xml"));

    m_hMutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(kMutexName));
    // An instance at another integrity level of the session holds a mutex this one may not
    // open: the system refuses it with ERROR_ACCESS_DENIED, and that instance runs all the same.
    const DWORD error = GetLastError();
    if (m_hMutex == nullptr ? error == ERROR_ACCESS_DENIED : error == ERROR_ALREADY_EXISTS) {
        if (m_hMutex != nullptr) CloseHandle(m_hMutex);
        m_hMutex = nullptr;
        m_nExitCode = kStartupFailed;
        return false;
    }

    m_pTask = std::make_unique<COrvexTask>(m_desktop, m_driver, m_registry, m_settings);
    // Without its window the agent could never be reached or ended: give up instead.
    if (CreateTaskWindow(m_hInstance, *m_pTask) == nullptr) {
        m_nExitCode = kStartupFailed;
        return false;
    }
    return true;
}

void CK7_SettingApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    m_nExitCode = got == 0 ? static_cast<int>(msg.wParam) : kStartupFailed;
}

int CK7_SettingApp::ExitInstance() {
    if (m_pTask) {
        // Ended by WM_QUIT from elsewhere: the window still runs its destruction sequence.
        if (m_pTask->Window() != 0) m_pTask->Destroy();
        m_pTask.reset();
    }
    if (m_hMutex != nullptr) {
        ReleaseMutex(m_hMutex);
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    if (m_gdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
    }
    return m_nExitCode;
}
