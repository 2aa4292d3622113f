// Stands in for the configuration program K7_Config.exe in the tray tests: each start
// releases the test's named semaphore once, so the test counts starts without polling.
#include <windows.h>

int wmain() {
    HANDLE started = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, L"K7ConfigStandInStarted");
    if (started == nullptr) return 1;
    const BOOL released = ReleaseSemaphore(started, 1, nullptr);
    CloseHandle(started);
    return released ? 0 : 2;
}
