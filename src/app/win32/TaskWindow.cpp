#include "app/win32/TaskWindow.h"

#include "app/Messages.h"
#include "ui/win32/TrayMenuWin32.h"

#include <cwchar>

namespace {

COrvexTask* TaskOf(HWND hwnd) { return reinterpret_cast<COrvexTask*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

HHOOK g_hPostFilter = nullptr;

// The system sends the destruction messages; posted ones come from another program. The task
// window and the warning dialog know their own destructions; the thread's other windows (the tray
// menu's, the message box) are the system's and do not. Every message loop of the thread (the
// dialog's and the menu's too) gets them as WM_NULL.
LRESULT CALLBACK FilterPostedMessage(int code, WPARAM removal, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && msg->hwnd != nullptr && (msg->message == WM_DESTROY || msg->message == WM_NCDESTROY))
        msg->message = WM_NULL;
    return CallNextHookEx(nullptr, code, removal, lParam);
}

LRESULT CALLBACK TaskWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A restarted notification area announces itself with this registered message.
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    // Creation messages come only from CreateWindowExW on this thread; another program can send
    // them too, with a creation record (and parameter) of its own.
    if ((msg == WM_NCCREATE || msg == WM_CREATE) && InSendMessage()) return 0;
    if (msg == WM_NCCREATE) {
        auto* task = static_cast<COrvexTask*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(task));
        task->Attach(reinterpret_cast<WindowHandle>(hwnd));
    }
    COrvexTask* task = TaskOf(hwnd);
    if (task == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);

    if (msg == WM_MEASUREITEM || msg == WM_DRAWITEM) {
        LRESULT result = 0;
        if (RouteMenuOwnerDraw(hwnd, msg, wParam, lParam, &result)) return result;
    }
    if (taskbarCreated != 0 && msg == taskbarCreated) {
        task->OnTaskbarCreated();
        return 0;
    }
    const LRESULT result = task->WindowProc(msg, wParam, static_cast<std::intptr_t>(lParam));
    if (msg == WM_NCDESTROY && task->Window() == 0) {
        // The task window is the main window: its end ends the message loop.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (g_hPostFilter != nullptr) UnhookWindowsHookEx(g_hPostFilter);
        g_hPostFilter = nullptr;
        PostQuitMessage(0);
    }
    return result;
}

}  // namespace

HWND CreateTaskWindow(HINSTANCE instance, COrvexTask& task) {
    // The class name only has to be unique; nothing looks for it.
    wchar_t className[48];
    std::swprintf(className, std::size(className), L"K7Task:%p", static_cast<void*>(instance));
    WNDCLASSW wc{};
    wc.lpfnWndProc = TaskWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    if (RegisterClassW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    if (g_hPostFilter == nullptr)
        g_hPostFilter = SetWindowsHookExW(WH_GETMESSAGE, FilterPostedMessage, nullptr, GetCurrentThreadId());
    HWND window = CreateWindowExW(0, className, reinterpret_cast<const wchar_t*>(kTaskWindowTitle), WS_POPUP, 1, 1, 1,
                                  1, nullptr, nullptr, instance, &task);
    if (window != nullptr) task.EndCreation();
    return window;
}
