// K7_Config.exe beside the real agent and the virtual keyboard: the agent's keyboard fixture,
// the program as a process, its controls by identifier and its message boxes once in front.
#pragma once

#include "AgentOnKeyboard.h"
#include "ConfigProcess.h"
#include "ConfigTestSupport.h"
#include "config/win32/ConfigWindowClasses.h"

#include <string>

class ConfigWithAgent : public AgentOnKeyboard {
protected:
    void StartProgram() {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.Activate());
    }
    HWND Control(int id) const { return GetDlgItem(program.Window(), id); }
    HWND Status() const { return Control(IDC_STATUS); }
    // The program's message box, once it is up and in front: a click before then may land on
    // the window under it.
    HWND Box() const { return program.Dialog(); }

    CConfigProcess program;
};
