// The task window's platform side: its private window class and a procedure that
// forwards every message to COrvexTask.
#pragma once

#include "app/COrvexTask.h"

#include <windows.h>

// Creates the hidden task window for `task` (the creation sequence runs inside), then runs
// the requests that came during creation; null when the window could not be created.
HWND CreateTaskWindow(HINSTANCE instance, COrvexTask& task);
