// A task window over the recording desktop and the fake keyboard.
#pragma once

#include "FakeDesktop.h"
#include "FakeKeyboard.h"
#include "FakeRegistry.h"
#include "TaskHandles.h"
#include "app/COrvexTask.h"
#include "app/Messages.h"
#include "driver/CUSBDriver.h"
#include "xml/LanguageStrings.h"

#include <gtest/gtest.h>

class TaskFixture : public ::testing::Test {
protected:
    TaskFixture() {
        // The agent runs from the resource folder, beside the real ButtonPos.xml.
        desktop.m_modulePath = K7_RES_DIR u"/K7_Setting.exe";
        LoadLanguageStrings(K7_RES_DIR u"/language.xml");
        task.Attach(kTask);
        desktop.m_destroyMessages = [this](WindowHandle window) {
            if (window != kTask) return;
            Send(WM_DESTROY);
            Send(WM_NCDESTROY);
        };
    }

    std::intptr_t Send(std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        return task.WindowProc(msg, wParam, lParam);
    }
    // Runs the creation sequence to its end and forgets what it recorded.
    void Create() {
        ASSERT_EQ(Send(WM_CREATE), 0);
        task.EndCreation();
        trace.Clear();
    }
    // A live configuration window registered with the task window.
    void RegisterConfig(WindowHandle window = kConfig) {
        desktop.m_windowProcess[window] = kConfigProcess;
        Send(WM_REGISTER_CONFIG_WINDOW, window);
        trace.Clear();
    }

    Trace trace;
    CFakeDesktop desktop{trace};
    CFakeKeyboard keyboard{trace};
    CUSBDriver driver{keyboard};
    FakeRegistry registry;
    SettingBuffers settings{};
    COrvexTask task{desktop.Roles(), driver, registry, settings};
};

// A key table as a keyboard might hold it: the factory content with a few changes.
DeviceKeyTable CustomTable(bool marked);

inline Event Posted(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    return {Ev::Post, to, msg, wParam, lParam};
}
inline Event Default(std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    return {Ev::Default, kTask, msg, wParam, lParam};
}
inline Event Control(std::uint32_t code, std::uint32_t inSize = 0, std::uint8_t first = 0) {
    return {Ev::DevControl, 0, code, inSize, first};
}
inline Event TrayAdded() { return {Ev::AddTray, kTask, 128, 7, WM_TRAY_NOTIFY, str_title}; }
inline const Event kTrayRemoved{Ev::RemoveTray, kTask, 128};
inline const Event kOpen{.kind = Ev::DevOpen, .text = DEVICE_PATH};
inline const Event kClose{Ev::DevClose};
inline const Event kReadTable = Control(IOCTL_READ_KEY_TABLE);
inline const Event kWriteTable = Control(IOCTL_WRITE_KEY_TABLE, 608, 0);
