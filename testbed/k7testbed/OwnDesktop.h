// A desktop of the caller's own. Under Wine it is a virtual desktop: its windows live
// inside one X window, so they come and go without waiting for a window manager (with
// none running, Wine waits 2 s for each top-level window it unmaps).
#pragma once

namespace k7testbed {

// Switches the calling thread, which must own no window yet, to the desktop `name`,
// creating it. Programs started with that name in STARTUPINFO.lpDesktop join it.
bool UseOwnDesktop(const wchar_t* name);

}  // namespace k7testbed
