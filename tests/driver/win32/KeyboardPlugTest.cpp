// The virtual keyboard as a Plug and Play device under Wine: plugging it in is announced to a
// window registered for USB device interfaces exactly as the agent registers, its HID
// interface is listed among the present ones, and pulling it out undoes both.
#include "driver/CUSBDriver.h"
#include "driver/win32/Win32DeviceIo.h"
#include "k7testbed/VirtualKeyboard.h"

#include <windows.h>
#include <dbt.h>
extern "C" {
#include <hidsdi.h>  // mingw's copy declares no C linkage
}
#include <setupapi.h>
#include <usbiodef.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <future>
#include <string>
#include <vector>

namespace {

bool HasPattern(std::wstring path) {
    for (wchar_t& c : path) c = static_cast<wchar_t>(std::towupper(c));
    return path.find(k7testbed::kKeyboardIdPattern) != std::wstring::npos;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// One WM_DEVICECHANGE as the window saw it.
struct Event {
    WPARAM event;
    DWORD deviceType;
    GUID classGuid;
    std::wstring path;
};

std::string Describe(const std::vector<Event>& events) {
    std::string text;
    char line[80];
    for (const Event& e : events) {
        std::snprintf(line, sizeof line, "  event %#llx type %lu ", static_cast<unsigned long long>(e.event),
                      static_cast<unsigned long>(e.deviceType));
        text += line + Narrow(e.path) + "\n";
    }
    return text.empty() ? "  (none)\n" : text;
}

std::vector<Event>* g_events;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_DEVICECHANGE) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // Every top-level window also gets DBT_DEVNODES_CHANGED, which carries no record.
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header) return 0;
    Event e{wParam, header->dbch_devicetype, {}, {}};
    if (e.deviceType == DBT_DEVTYP_DEVICEINTERFACE) {
        const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
        e.classGuid = iface->dbcc_classguid;
        e.path = iface->dbcc_name;
    }
    g_events->push_back(e);
    return 0;
}

// Present HID interfaces, listed the way the agent's presence test lists them.
std::vector<std::wstring> PresentHidPaths() {
    std::vector<std::wstring> paths;
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO list = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_NE(list, INVALID_HANDLE_VALUE) << GetLastError();
    if (list == INVALID_HANDLE_VALUE) return paths;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(list, nullptr, &hid, i, &iface); ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(list, &iface, nullptr, 0, &size, nullptr);
        std::vector<BYTE> buffer(size + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof *detail;
        if (SetupDiGetDeviceInterfaceDetailW(list, &iface, detail, size, nullptr, nullptr))
            paths.push_back(detail->DevicePath);
    }
    SetupDiDestroyDeviceInfoList(list);
    return paths;
}

int CountWithPattern(const std::vector<std::wstring>& paths) {
    int n = 0;
    for (const std::wstring& p : paths) n += HasPattern(p);
    return n;
}

class KeyboardPlug : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::IsKeyboardPlugged(s_wasPlugged)) << k7testbed::KeyboardError();
    }
    // The keyboard is left as the suite found it.
    static void TearDownTestSuite() {
        if (s_wasPlugged)
            k7testbed::PlugKeyboard();
        else
            k7testbed::UnplugKeyboard();
    }

    void SetUp() override {
        ASSERT_TRUE(k7testbed::UnplugKeyboard()) << k7testbed::KeyboardError();
        g_events = &m_events;
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"K7PlugTestWindow";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
        m_notify = RegisterDeviceNotificationW(m_hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        ASSERT_NE(m_notify, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (m_notify) UnregisterDeviceNotification(m_notify);
        if (m_hwnd) DestroyWindow(m_hwnd);
        g_events = nullptr;
    }

    // Runs `change` on another thread (the notification is sent to this one, which must keep
    // pumping), then pumps until `expected` events of our kind arrived and a little longer,
    // so that a stray duplicate would be seen too.
    bool Change(bool (*change)(std::uint32_t), std::size_t expected) {
        auto done = std::async(std::launch::async, change, k7testbed::kServiceTimeoutMs);
        const ULONGLONG deadline = GetTickCount64() + 10000;
        ULONGLONG settle = 0;
        while (GetTickCount64() < deadline && (!settle || GetTickCount64() < settle)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            if (!settle && m_events.size() >= expected &&
                done.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
                settle = GetTickCount64() + 300;
        }
        return done.get();
    }

    // The events so far equal `expected` (event codes), each an interface record of the USB
    // device class whose path holds the keyboard's pattern.
    void ExpectEvents(const std::vector<WPARAM>& expected) {
        bool same = m_events.size() == expected.size();
        for (std::size_t i = 0; same && i < expected.size(); ++i) {
            const Event& e = m_events[i];
            same = e.event == expected[i] && e.deviceType == DBT_DEVTYP_DEVICEINTERFACE &&
                   IsEqualGUID(e.classGuid, GUID_DEVINTERFACE_USB_DEVICE) && HasPattern(e.path);
        }
        EXPECT_TRUE(same) << "WM_DEVICECHANGE seen:\n" << Describe(m_events);
    }

    static bool s_wasPlugged;
    std::vector<Event> m_events;
    HWND m_hwnd = nullptr;
    HDEVNOTIFY m_notify = nullptr;
};

bool KeyboardPlug::s_wasPlugged = false;

TEST_F(KeyboardPlug, PluggingAndUnpluggingAreAnnouncedWithTheKeyboardsPath) {
    ASSERT_TRUE(Change(k7testbed::PlugKeyboard, 1)) << k7testbed::KeyboardError();
    ExpectEvents({DBT_DEVICEARRIVAL});
    ASSERT_TRUE(Change(k7testbed::UnplugKeyboard, 2)) << k7testbed::KeyboardError();
    ExpectEvents({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE});
    if (m_events.size() == 2) {
        EXPECT_EQ(m_events[0].path, m_events[1].path);
    }

    // A second plug is announced again.
    ASSERT_TRUE(Change(k7testbed::PlugKeyboard, 3)) << k7testbed::KeyboardError();
    ExpectEvents({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEARRIVAL});
}

TEST_F(KeyboardPlug, TheHidInterfaceIsPresentExactlyWhilePlugged) {
    EXPECT_EQ(CountWithPattern(PresentHidPaths()), 0);
    ASSERT_TRUE(Change(k7testbed::PlugKeyboard, 1)) << k7testbed::KeyboardError();
    EXPECT_EQ(CountWithPattern(PresentHidPaths()), 1);
    bool found = false;
    std::wstring path;
    EXPECT_TRUE(k7testbed::FindKeyboardInterface(k7testbed::KeyboardInterface::kUsbDevice, found, &path));
    EXPECT_TRUE(found && HasPattern(path)) << Narrow(path);

    ASSERT_TRUE(Change(k7testbed::UnplugKeyboard, 2)) << k7testbed::KeyboardError();
    EXPECT_EQ(CountWithPattern(PresentHidPaths()), 0);
    EXPECT_TRUE(k7testbed::FindKeyboardInterface(k7testbed::KeyboardInterface::kUsbDevice, found));
    EXPECT_FALSE(found);
}

TEST_F(KeyboardPlug, ThePluggedKeyboardAnswersTheAgentAndKeepsItsStateAcrossAnUnplug) {
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kUnmarkedTable)) << k7testbed::KeyboardError();
    ASSERT_TRUE(Change(k7testbed::PlugKeyboard, 1)) << k7testbed::KeyboardError();
    {
        CWin32DeviceIo io;
        CUSBDriver driver(io);
        ASSERT_TRUE(driver.Open());
        DeviceKeyTable table{};
        ASSERT_TRUE(driver.ReadKeyTable(table));
        EXPECT_EQ(table.slots[kMarkSlot], KeyEntry{});  // what was set before the plug
        EXPECT_TRUE(driver.SetReportRate(8));
    }
    ASSERT_TRUE(Change(k7testbed::UnplugKeyboard, 2)) << k7testbed::KeyboardError();
    oxkbd::State state{};
    ASSERT_TRUE(k7testbed::ReadKeyboardState(state)) << k7testbed::KeyboardError();
    EXPECT_EQ(state.reportRate, 8);
    ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
}

}  // namespace
