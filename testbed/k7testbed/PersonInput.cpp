#include "k7testbed/PersonInput.h"

#include <vector>

namespace k7testbed {

namespace {

// The event at (x, y), with `button` (0: a move alone).
INPUT MouseAt(int x, int y, DWORD button) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    return input;
}

void Send(INPUT input) { SendInput(1, &input, sizeof input); }

}  // namespace

void ClickAt(int x, int y, int clicks) {
    // One call for all: its events carry one time, so two clicks make a double click under any
    // load. Every press and release carries the place too: Wine queues a call's events one by
    // one, and a pointer motion that another process's X connection reports late (the warp of
    // the click before) can come between them, so a bare press would land where that click was.
    std::vector<INPUT> inputs{MouseAt(x, y, 0)};
    for (int i = 0; i < clicks; ++i) {
        inputs.push_back(MouseAt(x, y, MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(MouseAt(x, y, MOUSEEVENTF_LEFTUP));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MoveTo(int x, int y) { Send(MouseAt(x, y, 0)); }
void PressAt(int x, int y) { Send(MouseAt(x, y, MOUSEEVENTF_LEFTDOWN)); }
void ReleaseAt(int x, int y) { Send(MouseAt(x, y, MOUSEEVENTF_LEFTUP)); }

void ClickCentre(HWND window, int clicks) {
    RECT r;
    GetWindowRect(window, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, clicks);
}

void Press(WORD vk) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void PressWith(WORD modifier, WORD vk) {
    INPUT inputs[4] = {};
    for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[3].ki.wVk = modifier;
    inputs[1].ki.wVk = inputs[2].ki.wVk = vk;
    inputs[2].ki.dwFlags = inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
}

}  // namespace k7testbed
