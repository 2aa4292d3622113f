// Clicks and key strokes as a person gives them, through the system's input queue: for the
// tests, the demo and the screenshots' posing.
#pragma once

#include <windows.h>

namespace k7testbed {

// `clicks` left clicks (2: a double click) at the screen point (x, y), after a move there.
void ClickAt(int x, int y, int clicks = 1);
// The same at the centre of `window`.
void ClickCentre(HWND window, int clicks = 1);
// One step of a drag with the left button: a move to (x, y), a press there, a release there.
// Each carries the place, as a click's events do.
void MoveTo(int x, int y);
void PressAt(int x, int y);
void ReleaseAt(int x, int y);
// A press and release of the virtual key `vk`.
void Press(WORD vk);
// `vk` while `modifier` is held (VK_CONTROL, VK_MENU).
void PressWith(WORD modifier, WORD vk);

}  // namespace k7testbed
